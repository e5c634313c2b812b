// A remote file opened on an FTP connection (FtpOpenFileA), read or written in chunks.
#include "framework/InternetFile.h"

#include "framework/InternetException.h"

#include <wininet.h>

#include <utility>

namespace {

// The first digit of the thread's last server reply (2 completion, 4 and 5
// errors), or 0 when there is none.
char LastReplyClass()
{
    char reply[1024] = "";
    DWORD error = 0;
    DWORD length = sizeof reply;
    if (!InternetGetLastResponseInfoA(&error, reply, &length))
        return 0;
    const char* line = reply;
    while (*line == '\r' || *line == '\n')
        ++line;
    const bool numbered = line[0] >= '1' && line[0] <= '5' && line[1] >= '0' && line[1] <= '9' && line[2] >= '0'
        && line[2] <= '9';
    return numbered ? line[0] : 0;
}

}  // namespace

CInternetFile::CInternetFile(HINTERNET file, std::string fileName, DWORD_PTR context)
    : CFile(std::move(fileName)), m_hFile(file), m_dwContext(context)
{
}

CInternetFile::CInternetFile(CInternetFile&& other) noexcept
    : CFile(std::move(other)),
      m_hFile(std::exchange(other.m_hFile, nullptr)),
      m_dwContext(other.m_dwContext),
      m_ullRead(other.m_ullRead),
      m_llExpected(other.m_llExpected)
{
}

CInternetFile& CInternetFile::operator=(CInternetFile&& other) noexcept
{
    if (this != &other) {
        Abort();
        CFile::operator=(std::move(other));
        m_hFile = std::exchange(other.m_hFile, nullptr);
        m_dwContext = other.m_dwContext;
        m_ullRead = other.m_ullRead;
        m_llExpected = other.m_llExpected;
    }
    return *this;
}

CInternetFile::~CInternetFile()
{
    if (m_hFile)
        InternetCloseHandle(m_hFile);
}

UINT CInternetFile::Read(void* buffer, UINT count)
{
    DWORD read = 0;
    if (!InternetReadFile(m_hFile, buffer, count, &read))
        CInternetException::Throw(GetLastError(), m_dwContext);
    m_ullRead += read;
    return read;
}

void CInternetFile::Write(const void* buffer, UINT count)
{
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        DWORD written = 0;
        if (!InternetWriteFile(m_hFile, bytes, count, &written))
            CInternetException::Throw(GetLastError(), m_dwContext);
        // Success without progress would loop for ever: the connection is gone.
        if (written == 0)
            CInternetException::Throw(ERROR_INTERNET_CONNECTION_ABORTED, m_dwContext);
        bytes += written;
        count -= written < count ? written : count;
    }
}

void CInternetFile::Close()
{
    if (!m_hFile)
        return;
    if (!InternetCloseHandle(std::exchange(m_hFile, nullptr)))
        CInternetException::Throw(GetLastError(), m_dwContext);
    const char reply = LastReplyClass();
    if (reply == '4' || reply == '5')
        CInternetException::Throw(ERROR_INTERNET_EXTENDED_ERROR, m_dwContext);
    if (reply != '2' && m_llExpected >= 0 && m_ullRead < static_cast<ULONGLONG>(m_llExpected))
        CInternetException::Throw(ERROR_INTERNET_CONNECTION_ABORTED, m_dwContext);
}

void CInternetFile::Abort()
{
    if (m_hFile)
        InternetCloseHandle(std::exchange(m_hFile, nullptr));
}
