// How a session talks to its server: time limits, data connection mode, the encoding of names.
#pragma once
#include "ftp/FtpError.h"
#include "net/ServerCertificate.h"

#include <windows.h>

#include <string>

// Asked about the server's certificate of a secure session, after the
// platform's check (or the pin's), before anything more is sent.
class CCertificateJudge {
public:
    // Whether to go on; the judge of a session without one accepts a
    // certificate without a problem only.
    virtual bool AcceptCertificate(const CServerCertificate& certificate, CertificateProblem problem) = 0;
    // Told of the certificate a reconnect met, which is held against the
    // one accepted before instead of being judged again.
    virtual void CertificateMet(const CServerCertificate&) {}

protected:
    ~CCertificateJudge() = default;
};

// Told what a session says and hears and when it reconnects, on the
// session's own thread.
class CSessionWatcher {
public:
    // One line: a command sent (a password as "PASS ****"), a line of a
    // reply received, or a connection made, secured or closed ("--- ...").
    virtual void ProtocolTrace(const std::string& line) = 0;
    // A broken session tries again; attempt counts from 1, reason is what
    // broke it.
    virtual void Reconnecting(int attempt, const FtpError& reason) = 0;

protected:
    ~CSessionWatcher() = default;
};

// The protocol's port, the wait after which a silent server ends an
// operation, and the user of an anonymous login.
inline constexpr WORD kFtpPort = 21;
inline constexpr WORD kSshPort = 22;
inline constexpr DWORD kDefaultTimeoutSeconds = 60;
inline constexpr const char* kAnonymousUser = "anonymous";

// How the connections of one session are made; the control builds it from
// its properties.
struct CFtpOptions {
    // FTP, or SFTP over SSH (which reads only the port, the timeout, the
    // pin, the key file, the reconnect and keep-alive times, the judge and
    // the watcher; names are UTF-8 on its wire).
    enum Protocol { ftp = 0, sftp = 1 } protocol = ftp;
    WORD port = kFtpPort;  // 0: none a server can have, which no connection accepts
    // The longest wait for a connect or a reply, and the window of the
    // slowest transfer allowed (see CTransferPace); 0: the default.
    DWORD timeoutMilliseconds = 0;
    bool passive = false;
    // How names travel: Shift-JIS as they are, UTF-8 converted, or UTF-8
    // when the server takes "OPTS UTF8 ON".
    enum Encoding { shiftJis = 0, utf8 = 1, automatic = 2 } encoding = shiftJis;
    // TLS: none, AUTH TLS on the ordinary connection (explicit), or TLS
    // from the first byte (implicit); every data connection is protected
    // in both.
    enum Security { none = 0, explicitTls = 1, implicitTls = 2 } security = none;
    // The SHA-256 fingerprint the server's certificate must have (64 hex
    // digits, upper case); empty: the platform's chain check decides.
    std::string certificatePin;
    // SFTP: the private key to log in with (OpenSSH or PEM form, its
    // passphrase the password); empty: the password.
    std::string privateKeyFile;
    // How long a broken session tries to reconnect, from the break; 0:
    // never (a broken session stays broken).
    DWORD reconnectMilliseconds = 0;
    // How long the control connection may stay silent while a transfer runs
    // before NOOP goes on it (and between calls, see KeepAlive); 0: never.
    DWORD keepAliveMilliseconds = 0;
    // Not owned; may be null.
    CCertificateJudge* judge = nullptr;
    CSessionWatcher* watcher = nullptr;
};
