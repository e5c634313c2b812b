// A logged-in FTP connection: directories, renames, deletions and remote files.
#include "framework/FtpConnection.h"

#include "framework/InternetException.h"

#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

static_assert(CFtpConnection::accessRead == GENERIC_READ && CFtpConnection::accessWrite == GENERIC_WRITE);
static_assert(CFtpConnection::transferAscii == FTP_TRANSFER_TYPE_ASCII
              && CFtpConnection::transferBinary == FTP_TRANSFER_TYPE_BINARY);

namespace {

BOOL Failed(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// The path of a "257" reply: between the first quote and the quote that
// closes it, a doubled quote standing for one.
bool QuotedPath(const std::string& reply, std::string& path)
{
    const size_t open = reply.find('"');
    if (open == std::string::npos)
        return false;
    path.clear();
    for (size_t at = open + 1; at < reply.size(); ++at) {
        if (reply[at] != '"') {
            path += reply[at];
            continue;
        }
        if (at + 1 < reply.size() && reply[at + 1] == '"') {
            path += '"';
            ++at;
            continue;
        }
        return true;
    }
    return false;
}

}  // namespace

CFtpConnection::CFtpConnection(std::unique_ptr<CFtpControlChannel> channel, std::string serverName,
                               INTERNET_PORT port)
    : m_pChannel(std::move(channel)), m_strServerName(std::move(serverName)), m_nPort(port)
{
}

std::string CFtpConnection::GetUrlPrefix() const
{
    const std::string prefix = "ftp://" + m_strServerName;
    return m_nPort == defaultPort ? prefix : prefix + ":" + std::to_string(m_nPort);
}

CFtpConnection::~CFtpConnection()
{
    Close();
}

void CFtpConnection::SetWaitHook(CNetworkWaitHook* hook)
{
    if (m_pChannel)
        m_pChannel->SetWaitHook(hook);
}

BOOL CFtpConnection::PathCommand(const char* verb, const char* path, int expected) const
{
    if (!m_pChannel)
        return Failed(ERROR_INVALID_HANDLE);
    std::string wire;
    if (const DWORD error = m_pChannel->ToWire(path ? path : "", wire))
        return Failed(error);
    if (const DWORD error = m_pChannel->Expect(std::string(verb) + " " + wire, expected))
        return Failed(error);
    return TRUE;
}

BOOL CFtpConnection::SetCurrentDirectory(const char* directory)
{
    return PathCommand("CWD", directory);
}

BOOL CFtpConnection::GetCurrentDirectory(std::string& directory) const
{
    if (!m_pChannel)
        return Failed(ERROR_INVALID_HANDLE);
    if (const DWORD error = m_pChannel->Expect("PWD"))
        return Failed(error);
    // The reply is already in the control's text (converted from UTF-8).
    if (!QuotedPath(m_pChannel->Reply(), directory))
        return Failed(ERROR_INTERNET_EXTENDED_ERROR);
    return TRUE;
}

BOOL CFtpConnection::GetCurrentDirectoryAsURL(std::string& url) const
{
    std::string directory;
    if (!GetCurrentDirectory(directory))
        return FALSE;
    url = GetUrlPrefix();
    if (directory.empty() || directory[0] != '/')
        url += '/';
    url += directory;
    return TRUE;
}

BOOL CFtpConnection::CreateDirectory(const char* directory)
{
    return PathCommand("MKD", directory);
}

BOOL CFtpConnection::RemoveDirectory(const char* directory)
{
    return PathCommand("RMD", directory);
}

BOOL CFtpConnection::GetFileSize(const char* fileName, ULONGLONG& size)
{
    // SIZE counts bytes only in binary mode; some servers refuse it otherwise.
    if (!m_pChannel || m_pChannel->SetType('I') || !PathCommand("SIZE", fileName))
        return FALSE;
    const std::string& reply = m_pChannel->Reply();
    if (reply.compare(0, 4, "213 ") != 0)
        return FALSE;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(reply.c_str() + 4, &end, 10);
    if (end == reply.c_str() + 4)
        return FALSE;
    size = value;
    return TRUE;
}

BOOL CFtpConnection::Remove(const char* fileName)
{
    return PathCommand("DELE", fileName);
}

BOOL CFtpConnection::Rename(const char* oldName, const char* newName)
{
    // Both names are checked before RNFR: a refused new name must not leave
    // the server waiting for the RNTO of a rename that will not come.
    std::string wire;
    if (!m_pChannel)
        return Failed(ERROR_INVALID_HANDLE);
    if (const DWORD error = m_pChannel->ToWire(newName ? newName : "", wire))
        return Failed(error);
    return PathCommand("RNFR", oldName, 350) && PathCommand("RNTO", newName);
}

CInternetFile CFtpConnection::OpenFile(const char* fileName, DWORD access, DWORD flags, DWORD_PTR context)
{
    if (!m_pChannel)
        CInternetException::Throw(ERROR_INVALID_HANDLE, context);
    std::string wire;
    if (const DWORD error = m_pChannel->ToWire(fileName ? fileName : "", wire))
        CInternetException::Throw(error, context);
    const bool writing = access == accessWrite;
    const char type = flags == transferAscii ? 'A' : 'I';
    CSocket data;
    if (const DWORD error = m_pChannel->OpenData((writing ? "STOR " : "RETR ") + wire, type, data))
        CInternetException::Throw(error, context);
    return CInternetFile(m_pChannel.get(), std::move(data), writing, fileName ? fileName : "", context);
}

void CFtpConnection::Close()
{
    if (m_pChannel)
        m_pChannel->Close();
}
