// Names between the control's Shift-JIS and a server's UTF-8.
#include "ftp/WireText.h"

#include "framework/CodePage932.h"

#include <windows.h>

namespace {

std::wstring Utf8ToWide(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

std::string Utf8ToShiftJis(std::string_view text, bool& lossy)
{
    lossy = false;
    const std::wstring wide = Utf8ToWide(text);
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < wide.size();) {
        // One character at a time (a surrogate pair is one), so that each
        // one missing from the code page gets its own visible mark.
        const bool pair = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
        const int units = pair ? 2 : 1;
        char bytes[8];
        BOOL usedDefault = FALSE;
        const int length = wide[i] == 0xFFFD ? 0
            : WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data() + i, units, bytes, sizeof bytes, nullptr,
                                  &usedDefault);
        if (length <= 0 || usedDefault) {
            result += kReplacementMark;
            lossy = true;
        } else {
            result.append(bytes, static_cast<size_t>(length));
        }
        i += static_cast<size_t>(units);
    }
    return result;
}

std::string ShiftJisToUtf8(std::string_view text)
{
    const std::wstring wide = ToWide(text);
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

FtpError CWireNames::ToWire(const std::string& name, std::string& wire) const
{
    if (name.find_first_of("\r\n") != std::string::npos)
        return {FtpErrorCode::invalidName, {}};
    if (!m_utf8) {
        wire = name;
        return {};
    }
    size_t start = 0;
    while (start <= name.size()) {
        const size_t slash = name.find('/', start);
        const std::string part = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (m_lossyNames.count(part))
            return {FtpErrorCode::invalidName, {}};
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    wire = ShiftJisToUtf8(name);
    return {};
}

std::string CWireNames::FromWire(const std::string& wire)
{
    if (!m_utf8)
        return wire;
    bool lossy = false;
    std::string name = Utf8ToShiftJis(wire, lossy);
    if (lossy)
        m_lossyNames.insert(name);
    return name;
}

std::string CWireNames::ReplyText(const std::string& wire) const
{
    bool lossy = false;
    return m_utf8 ? Utf8ToShiftJis(wire, lossy) : wire;
}
