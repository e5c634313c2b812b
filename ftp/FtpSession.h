// One FTP session: the control connection, its commands and replies, the names on the wire, and its data connections.
#pragma once
#include "ftp/FtpError.h"
#include "ftp/FtpOptions.h"
#include "ftp/ReplyAssembler.h"
#include "ftp/WireText.h"
#include "net/Connector.h"

#include <memory>
#include <optional>
#include <set>
#include <string>

class CFtpTransfer;

// Every call returns what failed, or nothing. A server's refusal is
// FtpErrorCode::refused with its reply. A call that ran out of time, lost
// the connection, met "421" (the server is closing it) or a server that
// speaks no FTP leaves the session broken: every later call fails at once
// with the same error instead of waiting on a connection that is out of
// step, unless the options allow a reconnect: then the next command first
// connects and logs in again with the same settings (the certificate
// accepted before, the encoding, the working directory), trying with
// growing pauses until the options' time since the break has passed. A
// session the server dropped while it was idle is noticed before a command
// goes. One transfer (or listing) at a time: while one is open, commands
// fail as busy.
class CFtpSession {
public:
    // A timeout of 0 is the default.
    CFtpSession(const CFtpOptions& options, std::unique_ptr<CConnector> connector,
                const CClock& clock = SystemClock());
    CFtpSession(const CFtpSession&) = delete;
    CFtpSession& operator=(const CFtpSession&) = delete;
    ~CFtpSession();

    // Connects, reads the greeting, asks for the server's features, logs in
    // and agrees on the encoding.
    FtpError Open(const std::string& host, const std::string& user, const std::string& password);
    // Says goodbye (briefly) and closes; the session is broken afterwards.
    void Close();

    // Sends one command line (without CR LF) and reads its final reply
    // (preliminary 1xx replies of a command without data go before it).
    FtpError Command(const std::string& line, FtpReply& reply);
    // Command, and the reply must be a completion (2xx) or expected;
    // otherwise refused with the reply.
    FtpError Expect(const std::string& line, int expected = 0);
    // The last reply read, in the control's text.
    const FtpReply& LastReply() const { return m_lastReply; }

    // CWD path; remembers an absolute path as the working directory.
    FtpError ChangeDirectory(const std::string& path);
    // The working directory in the control's text: the last absolute path
    // entered, or the server's PWD answer.
    FtpError WorkingDirectory(std::string& directory);
    // Asks the server (PWD), whatever was entered last.
    FtpError AskWorkingDirectory(std::string& directory);

    // The SHA-256 fingerprint of the last server certificate seen ("" none).
    const std::string& LastCertificateFingerprint() const { return m_lastFingerprint; }
    bool IsSecure() const { return m_options.security != CFtpOptions::none; }
    CFtpOptions::Security SecurityMode() const { return m_options.security; }

    // Whether the server listed feature (an upper-case name such as "MLST",
    // "MDTM") in its FEAT reply.
    bool Offers(const std::string& feature) const;

    // How far the times of the server's LIST lines are ahead of UTC, once
    // learned for this session (the listing reader learns it).
    std::optional<LONGLONG>& ListingOffsetSeconds() { return m_listingOffsetSeconds; }

    // The session's names on the wire, in the encoding agreed at login.
    CWireNames& Names() { return m_names; }
    const CWireNames& Names() const { return m_names; }

    // The size the server gives for path (wire text), asked in binary mode,
    // where SIZE counts bytes; empty when it gives none (a directory, a
    // refusal). A server that does not know the command is not asked again.
    FtpError FileSize(const std::string& wirePath, std::optional<ULONGLONG>& size);

    // The representation type: 'I' (binary) or 'A' (text).
    FtpError SetType(char type);
    // Opens the data connection of command (RETR, STOR, APPE, LIST; its
    // argument already wire text) in type 'I' or 'A', sends the command and
    // waits for the server to start. restartAt: the offset in the file where
    // the transfer starts (REST); a server that refuses it refuses the
    // transfer and stays in step. The transfer must end before the session does.
    FtpError OpenTransfer(const std::string& command, char type, std::unique_ptr<CFtpTransfer>& transfer,
                          ULONGLONG restartAt = 0);

    bool IsBroken() const { return static_cast<bool>(m_broken); }
    // Whether the next command will try to bring this broken session back.
    bool WillReconnect() const;
    // Between calls: NOOP when the control connection has been silent for
    // the options' keep-alive time (nothing while a transfer is open, or on
    // a broken session), without waiting for its reply; replies come in are
    // read, and a dropped connection noticed.
    FtpError KeepAlive();

    // Asked while this session waits, before the standing hook (null: the
    // standing one); a transfer sets its own while it is open.
    void SetWaitHook(CNetworkWaitHook* hook) { m_hook = hook; }
    // Whether a failure that breaks this session is followed by a reconnect.
    bool Reconnects() const { return m_options.reconnectMilliseconds != 0 && !m_closed; }

    // Asked while this session waits and no transfer has a hook of its own:
    // a session that works for another thread ends its waits when that
    // thread is told to stop (null: nobody).
    void SetStandingHook(CNetworkWaitHook* hook) { m_standingHook = hook; }

private:
    // A transfer waits with the session's clock, timeout and hook, and
    // breaks the session when its data connection fails.
    friend class CFtpTransfer;
    friend class CReplyWatch;

    DWORD Timeout() const { return m_options.timeoutMilliseconds; }
    // A wait until deadline, with the hook.
    CNetworkWait WaitFor(ULONGLONG deadline) const { return {deadline, ActiveHook(), &m_clock}; }
    CNetworkWaitHook* ActiveHook() const { return m_hook ? m_hook : m_standingHook; }
    // A wait of one timeout from now.
    CNetworkWait WaitOneTimeout() const { return WaitFor(m_clock.Now() + Timeout()); }
    // Breaks the session with error unless it is broken already; returns
    // the session's error.
    FtpError Break(const FtpError& error);
    // Before a command: a server's "421" or the end of the connection
    // waiting unread breaks the session; a broken one is reconnected when
    // the options allow.
    FtpError Ready();
    // Reads what came unasked while the session was idle: "421" or the end
    // of the connection breaks it.
    void NoticeDrop();
    // Connects and logs in again until the reconnect time since the break
    // has passed; fails with the break's error.
    FtpError Reconnect();
    // Waits until when, asking the hook; false when it says stop.
    bool Pause(ULONGLONG until) const;
    // The greeting, TLS, features, login and encoding of Open.
    FtpError Start();
    void Trace(const std::string& line) const;
    // A transfer that has watched the control connection stay silent
    // too long sends NOOP; its reply is read with the transfer's.
    FtpError SendKeepAlive();
    bool KeepAliveDue() const;

    FtpError Login(const std::string& user, const std::string& password);
    // TLS on the control connection, the certificate judged; nothing more
    // is sent after a refusal.
    FtpError SecureControl();
    // Command, and the reply must be a completion: a refusal ends the
    // session (what the session cannot go on without: AUTH TLS, PROT P).
    FtpError Require(const std::string& line);
    FtpError JudgeCertificate(const CServerCertificate& certificate);
    // TLS on a data connection of this session, once the server has
    // started the transfer.
    FtpError SecureData(std::unique_ptr<CByteStream>& data, const CNetworkWait& wait);
    // FEAT; false when the server wants a login first.
    FtpError AskFeatures(bool& answered);
    FtpError SendLine(const std::string& line);
    // Reads one reply by deadline (0: one timeout from now); keepingAlive:
    // a transfer's, during which a silent control connection gets NOOP.
    FtpError ReadReply(FtpReply& reply, ULONGLONG deadline = 0, bool keepingAlive = false);
    // Reads replies until a final one (not 1xx); "421" breaks the session.
    FtpError ReadFinalReply(FtpReply& reply, bool keepingAlive = false);
    FtpError PrepareData(std::unique_ptr<CByteStream>& data, std::unique_ptr<CListener>& listener);
    FtpError AcceptData(CListener& listener, std::unique_ptr<CByteStream>& data, const CNetworkWait& wait);
    // The data connection of a secure session: accepted (active mode) and
    // secured while the server's first reply to the command is watched for,
    // since servers answer before or after the handshake, and a refusal
    // comes instead of either; reply becomes that reply.
    FtpError StartSecureData(CListener* listener, std::unique_ptr<CByteStream>& data, FtpReply& reply);
    // The transfer has ended; commands may go again.
    void TransferEnded() { m_transferOpen = false; }
    // After a transfer ended early: ABOR and every reply up to NOOP's.
    void Resynchronise();
    // Ends a transfer that failed with error (its data connection closed
    // first) and returns error: a cancelled one is put back in step, any
    // other failure breaks the session, since the server may be gone.
    FtpError EndFailedTransfer(const FtpError& error);

    // Declared first, so its sockets' users go before it.
    std::unique_ptr<CConnector> m_connector;
    const CClock& m_clock;
    CFtpOptions m_options;
    CNetworkWaitHook* m_hook = nullptr;
    CNetworkWaitHook* m_standingHook = nullptr;
    std::unique_ptr<CByteStream> m_control;
    CSocketAddress m_peer;
    std::string m_host;  // as the host gave it: the name the certificate must hold
    std::string m_user;
    std::string m_password;
    bool m_closed = false;       // by Close: never reconnected
    bool m_reconnecting = false;
    bool m_established = false;  // logged in once: a break may be reconnected
    std::string m_acceptedFingerprint;  // what a reconnect must meet
    ULONGLONG m_lastTraffic = 0;        // when the control connection last moved a byte
    int m_noopsInFlight = 0;            // keep-alives whose replies are still to come
    std::string m_lastFingerprint;
    CReplyAssembler m_replies;
    FtpReply m_lastReply;
    FtpError m_broken;
    CWireNames m_names;
    std::string m_workingDirectory;  // "" until known
    std::set<std::string> m_features;  // names only, upper case
    std::optional<LONGLONG> m_listingOffsetSeconds;
    bool m_transferOpen = false;
    char m_type = 0;
    bool m_sizeUnknown = false;  // the server does not know SIZE
};
