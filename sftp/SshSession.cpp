// One SSH session with its SFTP channel: the connection, the server's host key, the login, and the bounded wait of every call.
#include "sftp/SshSession.h"

#include "net/ServerCertificate.h"
#include "net/SocketAddress.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// libssh2 and OpenSSL keep a little state of their own for the process;
// set up once, whichever thread opens the first session. OpenSSL would
// register its clean-up with the C library's atexit, which runs after the
// control's module is unloaded: it is told not to, and its memory goes with
// the process.
void InitialiseLibrary()
{
    static const int initialised = OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr) + libssh2_init(0);
    (void)initialised;
}

std::string HexOf(const char* bytes, size_t count)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (size_t index = 0; index < count; ++index) {
        const unsigned char byte = static_cast<unsigned char>(bytes[index]);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

const char* HostKeyAlgorithm(int type)
{
    switch (type) {
    case LIBSSH2_HOSTKEY_TYPE_RSA:
        return "ssh-rsa";
    case LIBSSH2_HOSTKEY_TYPE_DSS:
        return "ssh-dss";
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_256:
        return "ecdsa-sha2-nistp256";
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_384:
        return "ecdsa-sha2-nistp384";
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_521:
        return "ecdsa-sha2-nistp521";
    case LIBSSH2_HOSTKEY_TYPE_ED25519:
        return "ssh-ed25519";
    default:
        return "ssh";
    }
}

// The text OpenSSH's sftp client shows for a status.
std::string StatusText(unsigned long status)
{
    switch (status) {
    case LIBSSH2_FX_EOF:
        return "End of file";
    case LIBSSH2_FX_NO_SUCH_FILE:
    case LIBSSH2_FX_NO_SUCH_PATH:
        return "No such file or directory";
    case LIBSSH2_FX_PERMISSION_DENIED:
    case LIBSSH2_FX_WRITE_PROTECT:
        return "Permission denied";
    case LIBSSH2_FX_FILE_ALREADY_EXISTS:
        return "File exists";
    case LIBSSH2_FX_DIR_NOT_EMPTY:
        return "Directory not empty";
    case LIBSSH2_FX_NOT_A_DIRECTORY:
        return "Not a directory";
    case LIBSSH2_FX_INVALID_FILENAME:
        return "Invalid file name";
    case LIBSSH2_FX_NO_SPACE_ON_FILESYSTEM:
    case LIBSSH2_FX_QUOTA_EXCEEDED:
        return "No space left";
    case LIBSSH2_FX_OP_UNSUPPORTED:
        return "Operation unsupported";
    default:
        return "Failure";
    }
}

}  // namespace

CSshSession::CSshSession(const CFtpOptions& options, CNetworkWaitHook* standingHook)
    : m_options(options), m_standingHook(standingHook)
{
    if (m_options.timeoutMilliseconds == 0)
        m_options.timeoutMilliseconds = kDefaultTimeoutSeconds * 1000;
    InitialiseLibrary();
}

CSshSession::~CSshSession()
{
    Close();
}

CNetworkWait CSshSession::Wait() const
{
    return {SystemClock().Now() + m_options.timeoutMilliseconds, m_hook ? m_hook : m_standingHook};
}

void CSshSession::Trace(const std::string& line) const
{
    if (m_options.watcher)
        m_options.watcher->ProtocolTrace(line);
}

FtpError CSshSession::Open(const std::string& host, const std::string& user, const std::string& password)
{
    m_host = host;
    m_user = user;
    m_password = password;
    return Connect();
}

FtpError CSshSession::Connect()
{
    Free();
    ++m_generation;
    m_broken = false;
    m_stopped = false;
    Trace("--- 接続 " + m_host + ":" + std::to_string(m_options.port));
    CSocketAddress peer;
    if (const NetError error = m_socket.ConnectToHost(m_host, m_options.port, peer, Wait()); error != NetError::none)
        return Break(NetworkFailure(error));
    m_session = libssh2_session_init_ex(nullptr, nullptr, nullptr, this);
    if (!m_session)
        return Break({FtpErrorCode::tooLarge, {}});
    libssh2_session_set_blocking(m_session, 0);
    m_buffers.Clear();
    libssh2_session_callback_set2(m_session, LIBSSH2_CALLBACK_RECV, reinterpret_cast<libssh2_cb_generic*>(&ReceiveFor));
    libssh2_session_callback_set2(m_session, LIBSSH2_CALLBACK_SEND, reinterpret_cast<libssh2_cb_generic*>(&SendFor));
    const auto socket = static_cast<libssh2_socket_t>(m_socket.Handle());
    if (Run([&] { return libssh2_session_handshake(m_session, socket); }) != 0)
        return Break(Failure());
    if (const char* banner = libssh2_session_banner_get(m_session))
        Trace(banner);
    Trace(std::string("--- ") + libssh2_session_methods(m_session, LIBSSH2_METHOD_KEX) + " "
          + libssh2_session_methods(m_session, LIBSSH2_METHOD_CRYPT_CS) + " "
          + libssh2_session_methods(m_session, LIBSSH2_METHOD_MAC_CS));
    // Nothing more goes to a server whose key was refused.
    if (const FtpError error = JudgeHostKey()) {
        Free();
        return Break(error);
    }
    if (const FtpError error = LogIn())
        return Break(error);
    m_sftp = Run([&] { return libssh2_sftp_init(m_session); });
    if (!m_sftp)
        return Break(Failure());
    Trace("--- SFTP");
    if (m_options.keepAliveMilliseconds != 0)
        libssh2_keepalive_config(m_session, 1, std::max(1u, static_cast<unsigned>(m_options.keepAliveMilliseconds / 1000)));
    return {};
}

FtpError CSshSession::JudgeHostKey()
{
    size_t length = 0;
    int type = 0;
    const char* key = libssh2_session_hostkey(m_session, &length, &type);
    const char* hash = libssh2_hostkey_hash(m_session, LIBSSH2_HOSTKEY_HASH_SHA256);
    if (!key || !hash)
        return {FtpErrorCode::secureChannel, {}};
    m_lastFingerprint = HexOf(hash, 32);
    Trace(std::string("--- ホスト鍵 ") + HostKeyAlgorithm(type) + " " + m_lastFingerprint);
    const CServerCertificate certificate(m_lastFingerprint, HostKeyAlgorithm(type));
    // A reconnect meets the server accepted before, however it was accepted.
    if (!m_acceptedFingerprint.empty()) {
        if (m_options.judge)
            m_options.judge->CertificateMet(certificate);
        return m_lastFingerprint == m_acceptedFingerprint ? FtpError{}
                                                          : FtpError{FtpErrorCode::untrustedCertificate, {}};
    }
    // No authority vouches for a host key: without a pin it is unknown, and
    // only the host can accept it.
    const CertificateProblem problem = !m_options.certificatePin.empty() && m_lastFingerprint == m_options.certificatePin
        ? CertificateProblem::none
        : CertificateProblem::unknownAuthority;
    const bool accepted = m_options.judge ? m_options.judge->AcceptCertificate(certificate, problem)
                                          : problem == CertificateProblem::none;
    if (!accepted)
        return {FtpErrorCode::untrustedCertificate, {}};
    m_acceptedFingerprint = m_lastFingerprint;
    return {};
}

void CSshSession::AnswerPrompts(const char*, int, const char*, int, int count, const LIBSSH2_USERAUTH_KBDINT_PROMPT*,
                                LIBSSH2_USERAUTH_KBDINT_RESPONSE* responses, void** abstract)
{
    // Every question is answered with the password; libssh2 frees the
    // answers with the C library's free.
    const std::string& password = static_cast<CSshSession*>(*abstract)->m_password;
    for (int index = 0; index < count; ++index) {
        char* text = static_cast<char*>(std::malloc(password.size() + 1));
        if (!text)
            continue;
        std::memcpy(text, password.c_str(), password.size() + 1);
        responses[index].text = text;
        responses[index].length = static_cast<unsigned>(password.size());
    }
}

FtpError CSshSession::LogIn()
{
    const auto userLength = static_cast<unsigned>(m_user.size());
    const char* methods = Run([&] { return libssh2_userauth_list(m_session, m_user.c_str(), userLength); });
    if (!methods) {
        // A server may let the user in without asking anything.
        if (libssh2_userauth_authenticated(m_session))
            return {};
        return Failure();
    }
    const std::string offered = std::string(",") + methods + ",";
    const auto offers = [&offered](const char* method) {
        return offered.find(std::string(",") + method + ",") != std::string::npos;
    };
    if (!m_options.privateKeyFile.empty()) {
        if (!offers("publickey"))
            return {FtpErrorCode::noLoginMethod, {}};
        Trace("--- 認証 publickey " + m_user);
        const int result = Run([&] {
            return libssh2_userauth_publickey_fromfile_ex(m_session, m_user.c_str(), userLength, nullptr,
                                                          m_options.privateKeyFile.c_str(), m_password.c_str());
        });
        if (result == LIBSSH2_ERROR_FILE)
            return {FtpErrorCode::keyFileUnreadable, {}};
        if (result == LIBSSH2_ERROR_AUTHENTICATION_FAILED || result == LIBSSH2_ERROR_PUBLICKEY_UNVERIFIED)
            return {FtpErrorCode::keyRefused, {}};
        return result == 0 ? FtpError{} : Failure();
    }
    int result = 0;
    if (offers("password")) {
        Trace("--- 認証 password " + m_user);
        result = Run([&] {
            return libssh2_userauth_password_ex(m_session, m_user.c_str(), userLength, m_password.c_str(),
                                                static_cast<unsigned>(m_password.size()), nullptr);
        });
    } else if (offers("keyboard-interactive")) {
        Trace("--- 認証 keyboard-interactive " + m_user);
        result = Run([&] {
            return libssh2_userauth_keyboard_interactive_ex(m_session, m_user.c_str(), userLength, &AnswerPrompts);
        });
    } else {
        return {FtpErrorCode::noLoginMethod, {}};
    }
    if (result == LIBSSH2_ERROR_AUTHENTICATION_FAILED || result == LIBSSH2_ERROR_PASSWORD_EXPIRED)
        return {FtpErrorCode::loginRefused, {}};
    return result == 0 ? FtpError{} : Failure();
}

bool CSshSession::WouldBlock(long long result) const
{
    return result == LIBSSH2_ERROR_EAGAIN;
}

bool CSshSession::WouldBlock(const void* handle) const
{
    return !handle && libssh2_session_last_errno(m_session) == LIBSSH2_ERROR_EAGAIN;
}

ssize_t CSshSession::ReceiveFor(libssh2_socket_t, void* buffer, size_t length, int, void** abstract)
{
    return static_cast<CSshSession*>(*abstract)->m_buffers.Receive(buffer, length);
}

ssize_t CSshSession::SendFor(libssh2_socket_t, const void* data, size_t length, int, void** abstract)
{
    return static_cast<CSshSession*>(*abstract)->m_buffers.Send(data, length);
}

bool CSshSession::SendGathered()
{
    return !m_buffers.HasOutput() || WaitEnded(m_buffers.Flush(Wait()));
}

bool CSshSession::WaitForSocket()
{
    // What the peer may be waiting for goes first; libssh2 itself waits
    // to send only for room in the buffers, which that makes.
    if (!SendGathered())
        return false;
    const bool sending = (libssh2_session_block_directions(m_session) & LIBSSH2_SESSION_BLOCK_OUTBOUND) != 0;
    if (sending || m_buffers.HasInput())
        return true;
    return WaitEnded(m_socket.WaitUntil(false, Wait()));
}

bool CSshSession::WaitEnded(NetError error)
{
    if (error == NetError::none)
        return true;
    // libssh2 takes no other call in the middle of one: the session is
    // done, whether the network failed or the hook stopped it.
    m_waitFailure = NetworkFailure(error);
    Break(m_waitFailure);
    m_stopped = error == NetError::cancelled;
    return false;
}

unsigned long CSshSession::LastStatus() const
{
    if (!m_session || !m_sftp || libssh2_session_last_errno(m_session) != LIBSSH2_ERROR_SFTP_PROTOCOL)
        return 0;
    return libssh2_sftp_last_error(m_sftp);
}

FtpError CSshSession::Failure()
{
    if (m_waitFailure)
        return std::exchange(m_waitFailure, {});
    if (m_broken)
        return m_breakage;
    if (const unsigned long status = LastStatus())
        return {FtpErrorCode::refused, StatusText(status)};
    char* message = nullptr;
    const int code = libssh2_session_last_error(m_session, &message, nullptr, 0);
    if (message && *message)
        Trace(std::string("--- ") + message);
    switch (code) {
    case LIBSSH2_ERROR_TIMEOUT:
    case LIBSSH2_ERROR_SOCKET_TIMEOUT:
        return Break({FtpErrorCode::timedOut, {}});
    case LIBSSH2_ERROR_ALLOC:
        return Break({FtpErrorCode::tooLarge, {}});
    case LIBSSH2_ERROR_KEX_FAILURE:
    case LIBSSH2_ERROR_HOSTKEY_INIT:
    case LIBSSH2_ERROR_HOSTKEY_SIGN:
    case LIBSSH2_ERROR_DECRYPT:
    case LIBSSH2_ERROR_INVALID_MAC:
    case LIBSSH2_ERROR_METHOD_NOT_SUPPORTED:
        return Break({FtpErrorCode::secureChannel, {}});
    default:
        return Break({FtpErrorCode::connectionLost, {}});
    }
}

FtpError CSshSession::Break(FtpError error)
{
    if (!m_broken) {
        m_broken = true;
        m_breakage = error;
        m_brokenAt = SystemClock().Now();
        Trace("--- 切断");
    }
    return error;
}

bool CSshSession::WillReconnect() const
{
    if (!m_broken || m_host.empty())
        return false;
    if (m_stopped)
        return true;
    return m_options.reconnectMilliseconds != 0 && IsNetworkBreak(m_breakage)
        && SystemClock().Now() < m_brokenAt + m_options.reconnectMilliseconds;
}

FtpError CSshSession::Revive()
{
    if (!m_broken)
        return {};
    if (!WillReconnect())
        return m_breakage;
    // A session the user stopped is opened again at once: the network is fine.
    if (m_stopped)
        return Connect();
    // The window counts from the first break, however many tries fail.
    const ULONGLONG brokenAt = m_brokenAt;
    const ULONGLONG until = brokenAt + m_options.reconnectMilliseconds;
    ULONGLONG pause = 250;
    for (int attempt = 1;; ++attempt) {
        const FtpError reason = m_breakage;
        if (m_options.watcher)
            m_options.watcher->Reconnecting(attempt, reason);
        const FtpError error = Connect();
        if (!error)
            return {};
        m_brokenAt = brokenAt;
        if (!IsNetworkBreak(error) || SystemClock().Now() + pause >= until)
            return error;
        // The pause lets the hook answer and stop, as a wait does.
        CNetworkWaitHook* hook = m_hook ? m_hook : m_standingHook;
        for (const ULONGLONG end = SystemClock().Now() + pause; SystemClock().Now() < end;) {
            Sleep(20);
            if (hook && !hook->KeepWaiting())
                return {FtpErrorCode::cancelled, {}};
        }
        pause = std::min<ULONGLONG>(pause * 2, 4000);
    }
}

void CSshSession::KeepAlive()
{
    if (m_broken || !m_session || m_options.keepAliveMilliseconds == 0)
        return;
    int next = 0;
    if (Run([&] { return libssh2_keepalive_send(m_session, &next); }) != 0)
        Failure();
}

void CSshSession::Close()
{
    if (m_session && !m_broken) {
        // A short goodbye: a server that does not answer is left as it is.
        m_options.timeoutMilliseconds = std::min<DWORD>(m_options.timeoutMilliseconds, 1000);
        if (m_sftp && Run([&] { return libssh2_sftp_shutdown(m_sftp); }) == 0)
            m_sftp = nullptr;
        if (!m_broken)
            Run([&] { return libssh2_session_disconnect(m_session, "bye"); });
    }
    Free();
    m_broken = true;
    m_breakage = {FtpErrorCode::connectionLost, {}};
    m_host.clear();
}

void CSshSession::Free()
{
    // With the socket closed first, freeing sends nothing and cannot wait.
    m_socket.Close();
    if (m_session) {
        for (int tries = 0; tries < 10 && libssh2_session_free(m_session) == LIBSSH2_ERROR_EAGAIN; ++tries) {
        }
    }
    m_session = nullptr;
    m_sftp = nullptr;
}
