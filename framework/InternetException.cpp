// A failed Internet library call: the Internet error number and the call's context.
#include "framework/InternetException.h"

#include <wininet.h>

#include <cstdio>
#include <string>

CInternetException::CInternetException(DWORD error, DWORD_PTR context)
    : m_dwError(error), m_dwContext(context)
{
}

BOOL CInternetException::GetErrorMessage(char* buffer, UINT size, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    char text[1024] = "";
    const HMODULE wininet = GetModuleHandleA("wininet.dll");
    DWORD length = 0;
    if (wininet) {
        length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, wininet,
                                m_dwError, 0, text, sizeof text, nullptr);
    }
    if (length == 0)
        std::snprintf(text, sizeof text, "インターネット エラー %lu", static_cast<unsigned long>(m_dwError));
    std::string message = text;
    if (m_dwError == ERROR_INTERNET_EXTENDED_ERROR) {
        char reply[1024] = "";
        DWORD replyError = 0;
        DWORD replyLength = sizeof reply;
        if (InternetGetLastResponseInfoA(&replyError, reply, &replyLength) && reply[0] != '\0')
            message += reply;
    }
    return CopyMessage(message.c_str(), buffer, size);
}

void CInternetException::Throw(DWORD error, DWORD_PTR context)
{
    throw CInternetException(error, context);
}
