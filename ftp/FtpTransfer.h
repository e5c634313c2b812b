// One data transfer of an FTP session: its data connection, its pace, its end.
#pragma once
#include "ftp/FtpError.h"
#include "ftp/TransferPace.h"
#include "net/ByteStream.h"

#include <memory>

class CFtpSession;

// Made by CFtpSession::OpenTransfer. Each read or write waits at most one
// window of the session's timeout and the transfer must keep
// CTransferPace's minimum rate. A transfer that runs out of time or loses
// its connection fails and leaves the session broken (the server may be
// gone); one that the wait hook cancels fails as cancelled and leaves the
// session in step. A transfer not finished is abandoned when it goes.
class CFtpTransfer {
public:
    CFtpTransfer(CFtpSession& session, std::unique_ptr<CByteStream> data, bool completedAlready);
    CFtpTransfer(const CFtpTransfer&) = delete;
    CFtpTransfer& operator=(const CFtpTransfer&) = delete;
    ~CFtpTransfer();

    // Asked while this transfer waits, until it ends (null: nobody).
    void SetWaitHook(CNetworkWaitHook* hook);

    // Fills buffer unless the data ends first; read 0 at the end.
    FtpError Read(char* buffer, size_t size, size_t& read);
    // Sends all of data.
    FtpError Write(const char* data, size_t size);
    // Ends the transfer: the data connection is closed (its sending end
    // first, which ends an upload) and the server's final reply read. Every
    // read and write may have succeeded and the transfer still have failed:
    // an error reply (4xx or 5xx, such as "426 transfer aborted") is refused
    // with the reply; no reply at all is the session's failure. A
    // completion (2xx) is trusted even for fewer bytes: a listed length can
    // be that of a link rather than of the file.
    FtpError Finish();
    // Ends the transfer early (ABOR), ignoring any error: for clean-up.
    void Abandon();

private:
    FtpError Fail(const FtpError& error);
    void EndData();

    CFtpSession& m_session;
    std::unique_ptr<CByteStream> m_data;
    CTransferPace m_pace;
    bool m_bCompleted;    // the server confirmed the transfer when it started
    bool m_bOpen = true;
};
