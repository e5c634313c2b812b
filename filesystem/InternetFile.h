// A remote file of an FTP connection, read or written in chunks over its data connection, resumed where the network broke it.
#pragma once
#include "filesystem/RemoteConnection.h"
#include "ftp/FtpError.h"

#include <windows.h>

#include <memory>
#include <string>

class CFtpConnection;
class CFtpTransfer;
class CNetworkWaitHook;

// Made by CFtpConnection, which outlives it; owns its transfer.
// A CFile, so the copy loop moves data between local and remote files
// alike. Every failure is raised as CInternetException (see CFtpTransfer
// for the deadlines, and for what Close confirms with the server).
class CInternetFile : public CRemoteFile {
public:
    enum class Direction { download, upload };
    // Opens the transfer of wirePath; size: a download's known size (-1 none).
    CInternetFile(CFtpConnection& connection, std::string wirePath, Direction direction, LONGLONG size,
                  std::string fileName);
    CInternetFile(const CInternetFile&) = delete;
    CInternetFile& operator=(const CInternetFile&) = delete;
    ~CInternetFile() override;

    // Fills buffer unless the file ends first; returns the number of bytes
    // read, 0 at the end.
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    // Ends the transfer and reads the server's final reply: an error reply
    // raises 12003 with it, no reply the connection's error.
    void Close() override;
    // Ends the transfer early, ignoring any error: for clean-up.
    void Abort() override;
    // After the last failure raised, when the network broke the transfer
    // (or cut it short) and the connection reconnects or is still in step.
    bool CanResume() const override;
    // Goes on from offset: a download from there, or from the start where
    // the server refuses; an upload from what the server holds up to there.
    // Returns where it goes on. A transfer open at offset is kept.
    ULONGLONG ResumeAt(ULONGLONG offset) override;
    void SetWaitHook(CNetworkWaitHook* hook) override;

private:
    // Opens the transfer from offset; returns where it starts.
    ULONGLONG Open(ULONGLONG offset);
    // Remembers error for CanResume and raises it.
    [[noreturn]] void Raise(const FtpError& error);

    CFtpConnection* m_connection;
    std::string m_wirePath;
    Direction m_direction;
    LONGLONG m_size;
    CNetworkWaitHook* m_hook = nullptr;
    FtpError m_failure;
    std::unique_ptr<CFtpTransfer> m_transfer;
};
