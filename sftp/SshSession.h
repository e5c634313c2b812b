// One SSH session with its SFTP channel: the connection, the server's host key, the login, and the bounded wait of every call.
#pragma once
#include "ftp/FtpError.h"
#include "ftp/FtpOptions.h"
#include "net/NetworkWait.h"
#include "net/Socket.h"
#include "net/WinsockUse.h"
#include "sftp/SshSocketBuffers.h"

#include <libssh2.h>
#include <libssh2_sftp.h>

#include <string>
#include <type_traits>

// libssh2 runs without blocking: a call that must wait for the network
// returns at once, the session waits for the socket itself (Run) and calls
// again. So every wait ends by the timeout of silence or when the hook says
// stop, like the waits of an FTP session.
//
// A call that timed out, lost the connection or was stopped mid-way leaves
// the session broken (libssh2 cannot take another call then): the next
// Revive reconnects with the same settings and the host key accepted
// before, when the options allow a reconnect or the session was only
// stopped (the network is fine, the user aborted).
class CSshSession {
public:
    CSshSession(const CFtpOptions& options, CNetworkWaitHook* standingHook);
    CSshSession(const CSshSession&) = delete;
    CSshSession& operator=(const CSshSession&) = delete;
    ~CSshSession();

    // Connects, checks the server's host key (the pin, else the judge),
    // logs in (a key file, the password, or keyboard-interactive answered
    // with the password) and opens the SFTP channel. Nothing that
    // authenticates goes before the host key was accepted.
    FtpError Open(const std::string& host, const std::string& user, const std::string& password);
    // Says goodbye (briefly) and closes.
    void Close();
    // Before a call: a broken session that may reconnect does; then whether
    // the session is usable (the failure that broke it when not).
    FtpError Revive();
    bool IsBroken() const { return m_broken; }
    // Whether a broken session reconnects (see the class comment).
    bool WillReconnect() const;
    // Counts the sessions opened: a file of an older one is gone.
    unsigned Generation() const { return m_generation; }

    LIBSSH2_SESSION* Raw() const { return m_session; }
    LIBSSH2_SFTP* Sftp() const { return m_sftp; }

    // Calls call (a libssh2 call on this session) until it no longer asks
    // to wait for the socket; returns its last result. When a wait ends
    // first, the result is a failure and Failure() tells which.
    template <class Call>
    auto Run(Call call) -> decltype(call())
    {
        using Result = decltype(call());
        m_waitFailure = {};
        if (!m_streaming)
            m_buffers.AskAgain();  // a stream asked when it began
        for (;;) {
            const Result result = call();
            if (!WouldBlock(result)) {
                if (!m_streaming)
                    SendGathered();
                return result;
            }
            m_buffers.AskAgain();
            if (!WaitForSocket()) {
                if constexpr (std::is_pointer_v<Result>)
                    return nullptr;
                else
                    return static_cast<Result>(LIBSSH2_ERROR_SOCKET_TIMEOUT);
            }
        }
    }
    // While one lives, the session's calls are one stream (the many calls
    // that an upload's confirmations take, each returning one): what they
    // write stays gathered past the end of a call, and a socket found empty
    // is asked again only once a call must wait. End() sends what is left.
    class CStream {
    public:
        explicit CStream(CSshSession& session) : m_session(session)
        {
            m_session.m_streaming = true;
            m_session.m_buffers.AskAgain();
        }
        CStream(const CStream&) = delete;
        CStream& operator=(const CStream&) = delete;
        ~CStream() { m_session.m_streaming = false; }
        // Sends what the calls gathered; false when that failed (the
        // session is broken then, Failure() tells why).
        bool End()
        {
            m_session.m_streaming = false;
            return m_session.SendGathered();
        }

    private:
        CSshSession& m_session;
    };

    // Why the last call failed: a wait that ended, the connection (which
    // breaks the session), or the SFTP server's status (refused, with its
    // text).
    FtpError Failure();
    // The SFTP status of the last refusal (LIBSSH2_FX_*), 0 for none.
    unsigned long LastStatus() const;

    // Asked while a transfer waits (the copy loop's), instead of the
    // standing hook; null: the standing hook again.
    void SetWaitHook(CNetworkWaitHook* hook) { m_hook = hook; }
    // The SHA-256 fingerprint of the last host key seen ("" none).
    const std::string& LastFingerprint() const { return m_lastFingerprint; }
    const std::string& AcceptedFingerprint() const { return m_acceptedFingerprint; }
    // Sends a keep-alive when the session has been silent for the options'
    // interval.
    void KeepAlive();
    // One line for the watcher's trace.
    void Trace(const std::string& line) const;

private:
    bool WouldBlock(long long result) const;
    bool WouldBlock(const void* handle) const;
    // Waits for the direction libssh2 waits for; false when the wait ended
    // (the session is broken then).
    bool WaitForSocket();
    // Sends what libssh2 wrote and the buffers still hold; false when that
    // failed (the session is broken then).
    bool SendGathered();
    // Whether a wait ended as it should; else the session breaks.
    bool WaitEnded(NetError error);
    static ssize_t ReceiveFor(libssh2_socket_t, void* buffer, size_t length, int, void** abstract);
    static ssize_t SendFor(libssh2_socket_t, const void* data, size_t length, int, void** abstract);
    FtpError Connect();
    FtpError JudgeHostKey();
    FtpError LogIn();
    // Marks the session broken by error and returns it.
    FtpError Break(FtpError error);
    void Free();
    CNetworkWait Wait() const;
    static void AnswerPrompts(const char* name, int nameLength, const char* instruction, int instructionLength,
                              int count, const LIBSSH2_USERAUTH_KBDINT_PROMPT* prompts,
                              LIBSSH2_USERAUTH_KBDINT_RESPONSE* responses, void** abstract);

    CFtpOptions m_options;
    CNetworkWaitHook* m_standingHook;
    CNetworkWaitHook* m_hook = nullptr;
    CWinsockUse m_winsock;
    CSocket m_socket;
    CSshSocketBuffers m_buffers{m_socket};
    LIBSSH2_SESSION* m_session = nullptr;
    LIBSSH2_SFTP* m_sftp = nullptr;
    std::string m_host;
    std::string m_user;
    std::string m_password;
    std::string m_lastFingerprint;
    std::string m_acceptedFingerprint;
    bool m_broken = false;
    bool m_stopped = false;  // broken by the hook, not by the network
    bool m_streaming = false;  // a CStream lives
    FtpError m_breakage;
    FtpError m_waitFailure;
    unsigned m_generation = 0;
    ULONGLONG m_brokenAt = 0;
};
