// A logged-in FTP connection (InternetConnectA): directories, renames, deletions and remote files.
#include "framework/FtpConnection.h"

#include "framework/CodePage932.h"
#include "framework/InternetException.h"

#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

static_assert(CFtpConnection::accessRead == GENERIC_READ && CFtpConnection::accessWrite == GENERIC_WRITE);
static_assert(CFtpConnection::transferAscii == FTP_TRANSFER_TYPE_ASCII
              && CFtpConnection::transferBinary == FTP_TRANSFER_TYPE_BINARY);

CFtpConnection::CFtpConnection(HINTERNET connection, std::string serverName)
    : m_hConnection(connection), m_strServerName(std::move(serverName))
{
}

CFtpConnection::CFtpConnection(CFtpConnection&& other) noexcept
    : m_hConnection(std::exchange(other.m_hConnection, nullptr)), m_strServerName(std::move(other.m_strServerName))
{
}

CFtpConnection& CFtpConnection::operator=(CFtpConnection&& other) noexcept
{
    if (this != &other) {
        Close();
        m_hConnection = std::exchange(other.m_hConnection, nullptr);
        m_strServerName = std::move(other.m_strServerName);
    }
    return *this;
}

CFtpConnection::~CFtpConnection()
{
    Close();
}

BOOL CFtpConnection::SetCurrentDirectory(const char* directory)
{
    return FtpSetCurrentDirectoryA(m_hConnection, directory);
}

BOOL CFtpConnection::GetCurrentDirectory(std::string& directory) const
{
    // The wide call, converted here with code page 932: the 8-bit call of
    // Wine cuts names with double-byte characters short (it budgets one
    // byte per character) and leaves them unterminated.
    // Start with room for any ordinary path and grow while the platform
    // says the buffer is too small, so a long directory is never cut.
    std::vector<wchar_t> buffer(1024);
    for (int attempt = 0; attempt < 16; ++attempt) {
        DWORD length = static_cast<DWORD>(buffer.size());
        if (FtpGetCurrentDirectoryW(m_hConnection, buffer.data(), &length)) {
            buffer.back() = L'\0';
            directory = ToShiftJis(buffer.data());
            return TRUE;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return FALSE;
        buffer.resize(std::max<size_t>(static_cast<size_t>(length) + 1, buffer.size() * 2));
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
}

BOOL CFtpConnection::GetCurrentDirectoryAsURL(std::string& url) const
{
    std::string directory;
    if (!GetCurrentDirectory(directory))
        return FALSE;
    url = "ftp://" + m_strServerName;
    if (directory.empty() || directory[0] != '/')
        url += '/';
    url += directory;
    return TRUE;
}

BOOL CFtpConnection::CreateDirectory(const char* directory)
{
    return FtpCreateDirectoryA(m_hConnection, directory);
}

BOOL CFtpConnection::RemoveDirectory(const char* directory)
{
    return FtpRemoveDirectoryA(m_hConnection, directory);
}

BOOL CFtpConnection::GetFileSize(const char* fileName, ULONGLONG& size)
{
    // SIZE counts bytes only in binary mode; some servers refuse it otherwise.
    const std::string command = std::string("SIZE ") + fileName;
    if (!FtpCommandA(m_hConnection, FALSE, FTP_TRANSFER_TYPE_BINARY, "TYPE I", 0, nullptr)
        || !FtpCommandA(m_hConnection, FALSE, FTP_TRANSFER_TYPE_BINARY, command.c_str(), 0, nullptr))
        return FALSE;
    char reply[256] = "";
    DWORD error = 0;
    DWORD length = sizeof reply;
    if (!InternetGetLastResponseInfoA(&error, reply, &length))
        return FALSE;
    const char* text = reply;
    while (*text == '\r' || *text == '\n')
        ++text;
    if (std::strncmp(text, "213 ", 4) != 0)
        return FALSE;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text + 4, &end, 10);
    if (end == text + 4)
        return FALSE;
    size = value;
    return TRUE;
}

BOOL CFtpConnection::Remove(const char* fileName)
{
    return FtpDeleteFileA(m_hConnection, fileName);
}

BOOL CFtpConnection::Rename(const char* oldName, const char* newName)
{
    return FtpRenameFileA(m_hConnection, oldName, newName);
}

CInternetFile CFtpConnection::OpenFile(const char* fileName, DWORD access, DWORD flags, DWORD_PTR context)
{
    const HINTERNET file = FtpOpenFileA(m_hConnection, fileName, access, flags, context);
    if (!file)
        CInternetException::Throw(GetLastError(), context);
    return CInternetFile(file, fileName ? fileName : "", context);
}

void CFtpConnection::Close()
{
    if (m_hConnection)
        InternetCloseHandle(std::exchange(m_hConnection, nullptr));
}
