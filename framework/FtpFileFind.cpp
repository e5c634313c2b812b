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

namespace {

// The first digit of the server's last reply line ('2' for 226), or '\0'
// when the library holds no reply.
char LastReplyClass()
{
    DWORD code = 0;
    char reply[1024] = {};
    DWORD size = sizeof reply - 1;
    if (!InternetGetLastResponseInfoA(&code, reply, &size))
        return '\0';
    char last = '\0';
    bool lineStart = true;
    for (const char* c = reply; *c; ++c) {
        if (*c == '\r' || *c == '\n') {
            lineStart = true;
        } else {
            if (lineStart)
                last = *c;
            lineStart = false;
        }
    }
    return last;
}

}  // namespace

void* CFtpFileFind::OpenSearch(const char* pattern, DWORD flags, WIN32_FIND_DATAA& first)
{
    if (!m_pConnection || !m_pConnection->GetHandle()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    m_bCutOff = false;
    void* search = FtpFindFirstFileA(m_pConnection->GetHandle(), pattern, &first, flags, m_dwContext);
    if (!search)
        return nullptr;
    // The library reads the whole listing here, and the server's reply
    // that ends it; it hands out what arrived whatever that reply says. A
    // listing counts only when the server confirmed it (2xx).
    const char replyClass = LastReplyClass();
    if (replyClass != '2' && replyClass != '\0') {
        InternetCloseHandle(search);
        m_bCutOff = true;
        SetLastError(ERROR_INTERNET_EXTENDED_ERROR);
        return nullptr;
    }
    return search;
}

BOOL CFtpFileFind::SearchNext(void* search, WIN32_FIND_DATAA& next)
{
    return InternetFindNextFileA(search, &next);
}

void CFtpFileFind::CloseSearch(void* search)
{
    InternetCloseHandle(search);
}
