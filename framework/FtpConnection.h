// A logged-in FTP connection (InternetConnectA): directories, renames, deletions and remote files.
#pragma once
#include "framework/InternetFile.h"
#include "framework/InternetHandle.h"

#include <string>

// Owns the connection handle (move-only). The directory and file operations
// return FALSE on failure and leave the platform's error for the caller,
// which reads it with GetLastError and, for a server's error reply,
// InternetGetLastResponseInfoA. Opening a remote file throws instead.
class CFtpConnection {
public:
    // Values of OpenFile's access argument (GENERIC_READ, GENERIC_WRITE) and
    // flags (FTP_TRANSFER_TYPE_*), for code that does not include wininet.h.
    static constexpr DWORD accessRead = 0x80000000;
    static constexpr DWORD accessWrite = 0x40000000;
    static constexpr DWORD transferAscii = 1;
    static constexpr DWORD transferBinary = 2;

    CFtpConnection(HINTERNET connection, std::string serverName);
    CFtpConnection(CFtpConnection&& other) noexcept;
    CFtpConnection& operator=(CFtpConnection&& other) noexcept;
    CFtpConnection(const CFtpConnection&) = delete;
    CFtpConnection& operator=(const CFtpConnection&) = delete;
    virtual ~CFtpConnection();

    HINTERNET GetHandle() const { return m_hConnection; }
    const std::string& GetServerName() const { return m_strServerName; }

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
    // with the platform's error when the server refuses it.
    CInternetFile OpenFile(const char* fileName, DWORD access = accessRead, DWORD flags = transferBinary,
                           DWORD_PTR context = 1);
    void Close();

private:
    HINTERNET m_hConnection = nullptr;
    std::string m_strServerName;
};
