// Conversions between UTF-16 and Shift-JIS (code page 932) and Shift-JIS resource strings.
#include "framework/CodePage932.h"
#include "framework/Module.h"

#include <climits>

namespace {
constexpr UINT kShiftJis = 932;
}

std::string ToShiftJis(std::wstring_view text)
{
    if (text.empty() || text.size() > INT_MAX / 2)
        return {};
    const int wideLength = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(kShiftJis, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(kShiftJis, 0, text.data(), wideLength, result.data(), length, nullptr, nullptr);
    return result;
}

std::wstring ToWide(std::string_view text)
{
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int narrowLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(kShiftJis, 0, text.data(), narrowLength, nullptr, 0);
    std::wstring result(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(kShiftJis, 0, text.data(), narrowLength, result.data(), length);
    return result;
}

std::string LoadResourceString(UINT id)
{
    // With a zero buffer size LoadStringW hands out a read-only pointer into
    // the resource itself, so strings of any length load without a buffer.
    const wchar_t* resource = nullptr;
    const int length = LoadStringW(ThisModule(), id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || resource == nullptr)
        return {};
    return ToShiftJis(std::wstring_view(resource, static_cast<size_t>(length)));
}
