// UTF-8 text for the reference: from UTF-16, and from the type library's Shift-JIS strings.
#include "tools/reference/Utf8Text.h"

#include <climits>
#include <stdexcept>

namespace {
constexpr UINT kShiftJis = 932;

std::string Narrow(UINT codePage, std::wstring_view text, bool* lossy)
{
    if (text.empty())
        return {};
    const int wideLength = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    // UTF-8 and UTF-7 take no default character and report no loss.
    BOOL* usedDefaultSlot = (codePage == CP_UTF8 || codePage == CP_UTF7 || !lossy) ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(codePage, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, text.data(), wideLength, result.data(), length, nullptr, usedDefaultSlot);
    if (lossy)
        *lossy = usedDefault || length <= 0;
    return result;
}

std::wstring Widen(UINT codePage, std::string_view text)
{
    if (text.empty())
        return {};
    const int narrowLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), narrowLength, nullptr, 0);
    if (length <= 0)
        throw std::runtime_error("text of the type library is not valid Shift-JIS: " + std::string(text));
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), narrowLength, result.data(), length);
    return result;
}

}  // namespace

std::string Utf8FromWide(std::wstring_view text)
{
    return Narrow(CP_UTF8, text, nullptr);
}

std::string Utf8FromLibraryText(BSTR text)
{
    const std::wstring_view decoded(text ? text : L"", text ? SysStringLen(text) : 0);
    const UINT systemCodePage = GetACP();
    if (systemCodePage == kShiftJis)
        return Utf8FromWide(decoded);
    if (systemCodePage == CP_UTF8)
        throw std::runtime_error("the system code page is UTF-8: the type library's Shift-JIS strings cannot be "
                                 "recovered; run with a Shift-JIS or single-byte system code page (LC_ALL=ja_JP.UTF-8)");
    bool lossy = false;
    const std::string bytes = Narrow(systemCodePage, decoded, &lossy);
    if (lossy)
        throw std::runtime_error("a string of the type library does not survive the system code page "
                                 + std::to_string(systemCodePage) + "; run with LC_ALL=ja_JP.UTF-8");
    return Utf8FromWide(Widen(kShiftJis, bytes));
}
