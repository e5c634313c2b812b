// A failed Internet library call: the Internet error number and the call's context.
#include "framework/InternetException.h"

#include "framework/FtpReplyState.h"

#include <wininet.h>

#include <cstdio>

CInternetException::CInternetException(DWORD error, DWORD_PTR context)
    : m_dwError(error), m_dwContext(context)
{
    if (m_dwError != ERROR_INTERNET_EXTENDED_ERROR)
        return;
    m_strServerReply = GetLastFtpReply();
}

BOOL CInternetException::GetErrorMessage(char* buffer, UINT size, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    if (!m_strServerReply.empty())
        return CopyMessage(m_strServerReply.c_str(), buffer, size);
    char text[1024] = "";
    // The platform's Internet library holds the texts of these numbers; it
    // is opened for its messages only.
    const HMODULE wininet = LoadLibraryExA("wininet.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    DWORD length = 0;
    if (wininet) {
        length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, wininet,
                                m_dwError, 0, text, sizeof text, nullptr);
        FreeLibrary(wininet);
    }
    if (length == 0)
        std::snprintf(text, sizeof text, "インターネット エラー %lu", static_cast<unsigned long>(m_dwError));
    return CopyMessage(text, buffer, size);
}

void CInternetException::Throw(DWORD error, DWORD_PTR context)
{
    throw CInternetException(error, context);
}
