// One data transfer of an FTP session: its data connection, its pace, its end.
#pragma once
#include "ftp/FtpError.h"
#include "ftp/ReplyAssembler.h"
#include "ftp/TransferPace.h"
#include "net/ByteStream.h"

#include <memory>
#include <string>

class CFtpSession;

// Made by CFtpSession::OpenTransfer. Each read or write waits at most one
// window of the session's timeout and the transfer must keep
// CTransferPace's minimum rate. A transfer that runs out of time or loses
// its connection fails and leaves the session broken (the server may be
// gone); one that the wait hook cancels fails as cancelled and leaves the
// session in step. A transfer not finished is abandoned when it goes.
// While it runs, NOOP keeps a control connection alive that has been silent
// for the session's keep-alive time; Finish reads those replies with the
// transfer's own, in whichever order the server sends them.
class CFtpTransfer {
public:
    // start: the server's first reply to the command (1xx, or 2xx when the
    // transfer was complete at once).
    CFtpTransfer(CFtpSession& session, std::unique_ptr<CByteStream> data, const FtpReply& start);
    // A resumed transfer: its first byte is the file's at offset, and the
    // counts of the size checks include the bytes before it.
    void StartsAt(ULONGLONG offset);
    CFtpTransfer(const CFtpTransfer&) = delete;
    CFtpTransfer& operator=(const CFtpTransfer&) = delete;
    ~CFtpTransfer();

    // A download counts only with as many bytes as the server named when it
    // started the transfer ("150 ... (1234 bytes)"; not for a resumed one,
    // where servers name the whole file or the rest), or else as size, known
    // before it (SIZE, a listing; -1: nothing known, the final reply alone
    // decides). A server confirms a transfer cut short when its data fitted
    // in the sockets' buffers before the cut.
    void ExpectDownloadOf(LONGLONG size);
    // An upload counts only when the server, asked with SIZE after confirming
    // it, holds as many bytes at wirePath as were sent (where it answers SIZE):
    // its sends may all have gone into buffers before a cut.
    void VerifyUploadTo(std::string wirePath);

    // The file's offset reached: where the transfer started and every byte
    // moved since.
    ULONGLONG Position() const { return m_moved; }
    bool IsOpen() const { return m_open; }

    // Asked while this transfer waits, until it ends (null: nobody).
    void SetWaitHook(CNetworkWaitHook* hook);

    // Fills buffer unless the data ends first; read 0 at the end.
    FtpError Read(char* buffer, size_t size, size_t& read);
    // Sends all of data.
    FtpError Write(const char* data, size_t size);
    // Ends the transfer: the data connection is closed (its sending end
    // first, which ends an upload) and the server's final reply read. Every
    // read and write may have succeeded and the transfer still have failed:
    // an error reply (4xx or 5xx, such as "426 transfer aborted") is
    // brokenOff with the reply; no reply at all is the session's failure; a completion
    // (2xx) with another count of bytes than the size checks above expect is
    // sizeMismatch, and the session stays in step.
    FtpError Finish();
    // Ends the transfer early (ABOR), ignoring any error: for clean-up.
    void Abandon();

private:
    FtpError Fail(const FtpError& error);
    void EndData();
    // After the server's completion: the size checks asked for.
    FtpError CheckSize();
    // The end of the next wait for data: the pace's, or the next keep-alive's.
    ULONGLONG WaitDeadline() const;
    // NOOP on a control connection silent too long.
    FtpError KeepControlAlive();
    // The final reply among the keep-alives' replies.
    FtpError ReadFinalReply();

    CFtpSession& m_session;
    std::unique_ptr<CByteStream> m_data;
    CTransferPace m_pace;
    bool m_completed;    // the server confirmed the transfer when it started
    bool m_open = true;
    ULONGLONG m_moved = 0;         // the file's bytes: where it started, and those read or written since
    LONGLONG m_announcedSize = -1;  // named in the first reply of a transfer from the start, -1 none
    LONGLONG m_expectedSize = -1;   // a download's, -1 unchecked
    std::string m_uploadPath;       // an upload's, "" unchecked
};
