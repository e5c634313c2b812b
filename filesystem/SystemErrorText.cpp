// The text of a platform error number: the server's reply a failure carries, or the system message table.
#include "filesystem/SystemErrorText.h"

#include "framework/InternetException.h"

namespace {
constexpr DWORD kMessageBufferSize = 1024;
}

DWORD FormatSystemErrorText(DWORD& code, char* buffer, DWORD size)
{
    if (code == 0xFFFFFFFF)
        code = GetLastError();
    if (buffer == nullptr || size == 0)
        return 0;
    buffer[0] = '\0';

    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                        MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), buffer, size, nullptr);
    if (length == 0)
        buffer[0] = '\0';
    return length;
}

std::string DescribeSystemError(const CException& error, DWORD& number, UINT& helpContext)
{
    char text[kMessageBufferSize] = "";
    const auto* internetError = dynamic_cast<const CInternetException*>(&error);
    if (internetError && !internetError->m_strServerReply.empty())
        error.GetErrorMessage(text, sizeof text, &helpContext);
    else
        FormatSystemErrorText(number, text, sizeof text);
    if (text[0] == '\0')
        error.GetErrorMessage(text, sizeof text, &helpContext);
    return text;
}
