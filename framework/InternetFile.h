// A remote file opened on an FTP connection, read or written in chunks over its data connection.
#pragma once
#include "framework/File.h"
#include "framework/FtpControlChannel.h"

#include <string>

// Made by CFtpConnection::OpenFile; owns the data connection (move-only).
// Every failure throws CInternetException by value. A CFile, so a copy loop
// moves data between local and remote files alike.
//
// Each read or write waits at most one window of the connection's timeout
// and the transfer must keep CTransferPace's minimum rate; a transfer that
// runs out of time fails with ERROR_INTERNET_TIMEOUT and leaves the
// connection broken (the server may be gone), while one that the wait
// hook cancels fails with ERROR_INTERNET_OPERATION_CANCELLED and leaves the
// connection usable.
class CInternetFile : public CFile {
public:
    CInternetFile(CFtpControlChannel* channel, CSocket data, bool writing, std::string fileName,
                  DWORD_PTR context);
    CInternetFile(CInternetFile&& other) noexcept;
    CInternetFile& operator=(CInternetFile&&) = delete;
    ~CInternetFile() override;

    // Fills buffer unless the file ends first; returns the number of bytes
    // read, 0 at the end.
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    // Closing ends the transfer and brings the server's final reply. Every
    // read and write may have succeeded and the transfer still have failed:
    // - an error reply (4xx or 5xx, such as "426 transfer aborted") throws
    //   CInternetException 12003, the reply being the last response;
    // - no reply at all throws the connection's error (12030 when the
    //   server closed it, 12002 when it said nothing in time).
    // A completion reply (2xx) is trusted even for fewer bytes: a listed
    // length can be that of a link rather than of the file.
    void Close() override;
    // Ends the transfer early, ignoring any error: for clean-up.
    void Abort() override;
    void SetWaitHook(CNetworkWaitHook* hook) override;

private:
    [[noreturn]] void Fail(DWORD error);

    CFtpControlChannel* m_pChannel;
    CSocket m_data;
    bool m_bWriting;
    DWORD_PTR m_dwContext;
    CTransferPace m_pace;
    bool m_bOpen = true;
};
