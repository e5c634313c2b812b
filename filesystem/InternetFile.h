// A remote file of an FTP connection, read or written in chunks over its data connection.
#pragma once
#include "framework/File.h"

#include <memory>
#include <string>

class CFtpTransfer;
class CNetworkWaitHook;

// Made by CFtpConnection; owns its transfer (move-only). A CFile, so the
// copy loop moves data between local and remote files alike. Every failure
// is raised as CInternetException (see CFtpTransfer for the deadlines, and
// for what Close confirms with the server).
class CInternetFile : public CFile {
public:
    CInternetFile(std::unique_ptr<CFtpTransfer> transfer, std::string fileName);
    CInternetFile(CInternetFile&& other) noexcept;
    CInternetFile& operator=(CInternetFile&&) = delete;
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
    // Asked while this file waits for its peer (see CNetworkWaitHook).
    void SetWaitHook(CNetworkWaitHook* hook);

private:
    std::unique_ptr<CFtpTransfer> m_transfer;
};
