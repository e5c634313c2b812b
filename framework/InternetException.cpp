// A failed Internet operation: the Internet library's error number, and the server's reply when one explains it.
#include "framework/InternetException.h"

#include <cstdio>
#include <utility>

CInternetException::CInternetException(DWORD error, std::string serverReply)
    : m_dwError(error), m_strServerReply(std::move(serverReply))
{
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
