// A directory finder on an FTP connection (FtpFindFirstFileA): one listing of the server.
#include "framework/FtpFileFind.h"

#include "framework/FtpConnection.h"

#include <wininet.h>

static_assert(CFtpFileFind::reload == INTERNET_FLAG_RELOAD);

CFtpFileFind::CFtpFileFind(CFtpConnection* connection, DWORD_PTR context)
    : m_pConnection(connection), m_dwContext(context)
{
}

CFtpFileFind::~CFtpFileFind()
{
    // Close here, while the search is still known to be an FTP one.
    Close();
}

BOOL CFtpFileFind::FindFile(const char* pattern, DWORD flags)
{
    return CFileFind::FindFile(pattern ? pattern : "*", flags);
}

void* CFtpFileFind::OpenSearch(const char* pattern, DWORD flags, WIN32_FIND_DATAA& first)
{
    if (!m_pConnection || !m_pConnection->GetHandle()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return FtpFindFirstFileA(m_pConnection->GetHandle(), pattern, &first, flags, m_dwContext);
}

BOOL CFtpFileFind::SearchNext(void* search, WIN32_FIND_DATAA& next)
{
    return InternetFindNextFileA(search, &next);
}

void CFtpFileFind::CloseSearch(void* search)
{
    InternetCloseHandle(search);
}
