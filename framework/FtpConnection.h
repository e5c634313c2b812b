// A logged-in FTP connection: directories, renames, deletions and remote files.
#pragma once
#include "framework/FtpControlChannel.h"
#include "framework/InternetFile.h"
#include "framework/InternetHandle.h"

#include <memory>
#include <string>

// Owns the control connection. The directory and file operations return
// FALSE on failure and leave the error for the caller, which reads it with
// GetLastError and, for a server's error reply (ERROR_INTERNET_EXTENDED_ERROR),
// GetLastFtpReply. Opening a remote file throws instead.
class CFtpConnection {
public:
    // Values of OpenFile's access argument (GENERIC_READ, GENERIC_WRITE) and
    // flags (FTP_TRANSFER_TYPE_*), for code that does not include wininet.h.
    static constexpr DWORD accessRead = 0x80000000;
    static constexpr DWORD accessWrite = 0x40000000;
    static constexpr DWORD transferAscii = 1;
    static constexpr DWORD transferBinary = 2;

    static constexpr INTERNET_PORT defaultPort = 21;

    CFtpConnection(std::unique_ptr<CFtpControlChannel> channel, std::string serverName,
                   INTERNET_PORT port = defaultPort);
    CFtpConnection(const CFtpConnection&) = delete;
    CFtpConnection& operator=(const CFtpConnection&) = delete;
    virtual ~CFtpConnection();

    // The control connection, for the finder and remote files made on it.
    CFtpControlChannel* GetChannel() const { return m_pChannel.get(); }
    const std::string& GetServerName() const { return m_strServerName; }
    // "ftp://server", with ":port" when the port is not the protocol's own:
    // the start of every ftp URL of this connection.
    std::string GetUrlPrefix() const;
    // Asked while this connection waits (null: nobody); see CNetworkWaitHook.
    void SetWaitHook(CNetworkWaitHook* hook);

    BOOL SetCurrentDirectory(const char* directory);
    // The server's working directory, whatever its length.
    BOOL GetCurrentDirectory(std::string& directory) const;
    // The same as "ftp://" + server + directory.
    BOOL GetCurrentDirectoryAsURL(std::string& url) const;
    BOOL CreateDirectory(const char* directory);
    BOOL RemoveDirectory(const char* directory);
    BOOL Remove(const char* fileName);
    BOOL Rename(const char* oldName, const char* newName);
    // The size the server gives for a file (the SIZE command, in binary
    // mode); FALSE when it gives none.
    BOOL GetFileSize(const char* fileName, ULONGLONG& size);

    // Opens a remote file for reading or writing; throws CInternetException
    // when the server refuses it.
    CInternetFile OpenFile(const char* fileName, DWORD access = accessRead, DWORD flags = transferBinary,
                           DWORD_PTR context = 1);
    void Close();

private:
    // Sends verb with a path argument; expected is a reply number that also
    // counts as success (350 for RNFR).
    BOOL PathCommand(const char* verb, const char* path, int expected = 0) const;

    std::unique_ptr<CFtpControlChannel> m_pChannel;
    std::string m_strServerName;
    INTERNET_PORT m_nPort;
};
