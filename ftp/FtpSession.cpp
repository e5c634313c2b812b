// One FTP session: the control connection, its commands and replies, the names on the wire, and its data connections.
#include "ftp/FtpSession.h"

#include "ftp/FtpTransfer.h"
#include "ftp/ReplyParsers.h"
#include "ftp/WireText.h"

#include <algorithm>
#include <cstdio>

namespace {

// Leaving: the server's goodbye is not waited for long.
constexpr ULONGLONG kQuitMilliseconds = 1000;
// How long a secure server's reason for a broken data connection is waited for.
constexpr ULONGLONG kReasonMilliseconds = 2000;
// ABOR brings a varying count of replies; more than this and the server is
// out of step for good.
constexpr int kMostRepliesAfterAbort = 8;
// The pauses between attempts to reconnect double from the first up to the longest.
constexpr ULONGLONG kFirstReconnectPause = 250;
constexpr ULONGLONG kLongestReconnectPause = 4000;
// A pause asks the wait hook this often.
constexpr ULONGLONG kPauseSlice = 20;
// "421": the server is closing the control connection.
constexpr int kClosing = 421;

FtpError Refused(const FtpReply& reply)
{
    return {FtpErrorCode::refused, reply.text};
}

}  // namespace

CFtpSession::CFtpSession(const CFtpOptions& options, std::unique_ptr<CConnector> connector, const CClock& clock)
    : m_connector(std::move(connector)), m_clock(clock), m_options(options)
{
    if (m_options.timeoutMilliseconds == 0)
        m_options.timeoutMilliseconds = kDefaultTimeoutSeconds * 1000;
}

CFtpSession::~CFtpSession()
{
    Close();
}

FtpError CFtpSession::Break(const FtpError& error)
{
    if (!m_broken) {
        m_broken = error;
        if (m_control) {
            m_control->Close();
            Trace("--- 切断");
        }
    }
    return m_broken;
}

void CFtpSession::Close()
{
    if (m_control && !m_broken) {
        const std::string quit = "QUIT";
        Trace(quit);
        m_control->WriteAll((quit + "\r\n").data(), quit.size() + 2,
                            {m_clock.Now() + kQuitMilliseconds, nullptr, &m_clock});
        m_control->Close();
        Trace("--- 切断");
    } else if (m_control) {
        m_control->Close();
    }
    m_closed = true;
    m_broken = {FtpErrorCode::connectionLost, {}};
}

void CFtpSession::Trace(const std::string& line) const
{
    if (m_options.watcher)
        m_options.watcher->ProtocolTrace(line);
}

FtpError CFtpSession::Open(const std::string& host, const std::string& user, const std::string& password)
{
    m_host = host;
    m_user = user;
    m_password = password;
    return Start();
}

FtpError CFtpSession::Start()
{
    if (const NetError error = m_connector->ConnectToHost(m_host, m_options.port, m_control, m_peer, WaitOneTimeout());
        error != NetError::none)
        return Break(NetworkFailure(error));
    m_lastTraffic = m_clock.Now();
    Trace("--- 接続 " + m_host + ":" + std::to_string(m_options.port));
    if (m_options.security == CFtpOptions::implicitTls) {
        if (const FtpError error = SecureControl())
            return error;
    }
    // "120 ready in a moment" may come before the greeting itself.
    FtpReply greeting;
    if (const FtpError error = ReadFinalReply(greeting))
        return error;
    if (greeting.Kind() != 2)
        return Break(Refused(greeting));
    // A server that refuses TLS ends the session: nothing goes in clear.
    if (m_options.security == CFtpOptions::explicitTls) {
        if (const FtpError error = Require("AUTH TLS"))
            return error;
        if (const FtpError error = SecureControl())
            return error;
    }
    // Features are asked before the login, as most servers allow: a server
    // that then falls silent is met before the password goes.
    bool answered = false;
    if (const FtpError error = AskFeatures(answered))
        return error;
    if (const FtpError error = Login(m_user, m_password))
        return error;
    if (!answered) {
        if (const FtpError error = AskFeatures(answered))
            return error;
    }
    // Data connections protected too, or no session.
    if (IsSecure()) {
        for (const char* command : {"PBSZ 0", "PROT P"}) {
            if (const FtpError error = Require(command))
                return error;
        }
    }
    if (m_options.encoding != CFtpOptions::shiftJis) {
        FtpReply reply;
        if (const FtpError error = Command("OPTS UTF8 ON", reply))
            return error;
        // A server that lists UTF8 speaks it, whatever it answers to OPTS.
        m_names.SpeakUtf8(m_options.encoding == CFtpOptions::utf8 || Offers("UTF8") || reply.Kind() == 2);
    }
    m_acceptedFingerprint = m_lastFingerprint;
    m_established = true;
    return {};
}

bool CFtpSession::WillReconnect() const
{
    return m_broken && m_established && !m_closed && !m_reconnecting && m_options.reconnectMilliseconds > 0
        && IsNetworkBreak(m_broken);
}

void CFtpSession::NoticeDrop()
{
    // Nothing is due between commands but the replies of keep-alives: the
    // end of the connection, or the server's goodbye ("421 timeout"), which
    // it closes after.
    while (!m_broken && m_established && !m_reconnecting && m_control->HasInput()) {
        FtpReply unasked;
        if (ReadReply(unasked))
            return;
        if (unasked.code == kClosing) {
            Break(Refused(unasked));
            return;
        }
        if (m_noopsInFlight > 0)
            --m_noopsInFlight;
    }
}

FtpError CFtpSession::Ready()
{
    NoticeDrop();
    // The replies of keep-alives sent between calls come before this command's.
    for (FtpReply reply; !m_broken && m_noopsInFlight > 0; --m_noopsInFlight) {
        if (ReadFinalReply(reply))
            break;
    }
    if (WillReconnect())
        return Reconnect();
    return m_broken;
}

FtpError CFtpSession::Reconnect()
{
    const FtpError cause = m_broken;
    const std::string directory = m_workingDirectory;
    const ULONGLONG giveUp = m_clock.Now() + m_options.reconnectMilliseconds;
    ULONGLONG pause = kFirstReconnectPause;
    m_reconnecting = true;
    FtpError outcome = cause;
    for (int attempt = 1;; ++attempt) {
        if (m_options.watcher)
            m_options.watcher->Reconnecting(attempt, cause);
        // Nothing of the old connection carries over but its settings.
        m_control.reset();
        m_replies = CReplyAssembler();
        m_broken = {};
        m_transferOpen = false;
        m_type = 0;
        m_noopsInFlight = 0;
        m_workingDirectory.clear();
        FtpError error = Start();
        // A directory removed meanwhile leaves the session where it logged in.
        if (!error && !directory.empty() && ChangeDirectory(directory) && m_broken)
            error = m_broken;
        if (!error) {
            outcome = {};
            break;
        }
        Break(error);
        if (!IsNetworkBreak(error) || m_clock.Now() >= giveUp)
            break;
        if (!Pause(std::min(m_clock.Now() + pause, giveUp))) {
            outcome = {FtpErrorCode::cancelled, {}};
            break;
        }
        pause = std::min(pause * 2, kLongestReconnectPause);
    }
    m_reconnecting = false;
    if (outcome)
        m_broken = cause;
    return outcome;
}

bool CFtpSession::Pause(ULONGLONG until) const
{
    for (ULONGLONG now = m_clock.Now(); now < until; now = m_clock.Now()) {
        if (CNetworkWaitHook* hook = ActiveHook(); hook && !hook->KeepWaiting())
            return false;
        Sleep(static_cast<DWORD>(std::min(until - now, kPauseSlice)));
    }
    return true;
}

FtpError CFtpSession::SecureControl()
{
    CServerCertificate certificate;
    if (const NetError error = m_connector->Secure(m_control, m_host, certificate, WaitOneTimeout());
        error != NetError::none)
        return Break(NetworkFailure(error));
    if (const FtpError error = JudgeCertificate(certificate))
        return Break(error);
    Trace("--- TLS");
    return {};
}

FtpError CFtpSession::JudgeCertificate(const CServerCertificate& certificate)
{
    if (!certificate)
        return {FtpErrorCode::secureChannel, {}};
    m_lastFingerprint = certificate.Fingerprint();
    // A reconnect meets the server accepted before, however it was accepted.
    if (m_reconnecting && !m_acceptedFingerprint.empty()) {
        if (m_options.judge)
            m_options.judge->CertificateMet(certificate);
        return m_lastFingerprint == m_acceptedFingerprint ? FtpError{}
                                                          : FtpError{FtpErrorCode::untrustedCertificate, {}};
    }
    // A pin stands for the whole check: a self-signed server works.
    const CertificateProblem problem = m_options.certificatePin.empty()
        ? certificate.Check(m_host)
        : (m_lastFingerprint == m_options.certificatePin ? CertificateProblem::none
                                                          : CertificateProblem::unknownAuthority);
    const bool accepted = m_options.judge ? m_options.judge->AcceptCertificate(certificate, problem)
                                          : problem == CertificateProblem::none;
    if (accepted)
        return {};
    switch (problem) {
    case CertificateProblem::nameMismatch:
        return {FtpErrorCode::certificateNameMismatch, {}};
    case CertificateProblem::notInPeriod:
        return {FtpErrorCode::certificateOutOfPeriod, {}};
    case CertificateProblem::otherFailure:
        return {FtpErrorCode::secureChannel, {}};
    case CertificateProblem::none:
    case CertificateProblem::unknownAuthority:
        break;
    }
    return {FtpErrorCode::untrustedCertificate, {}};
}

FtpError CFtpSession::SecureData(std::unique_ptr<CByteStream>& data, const CNetworkWait& wait)
{
    CServerCertificate certificate;
    if (const NetError error = m_connector->Secure(data, m_host, certificate, wait); error != NetError::none)
        return NetworkFailure(error);
    // The data connection must come from the server the control one judged.
    if (!certificate || certificate.Fingerprint() != m_lastFingerprint)
        return {FtpErrorCode::secureChannel, {}};
    return {};
}

// Reads the server's first reply to a transfer command as soon as it
// arrives while the data connection is being made; a reply that is not
// preliminary ends the wait.
class CReplyWatch : public CNetworkWaitHook {
public:
    explicit CReplyWatch(CFtpSession& session) : m_session(session), m_outer(session.ActiveHook()) {}

    bool KeepWaiting() override
    {
        if (m_outer && !m_outer->KeepWaiting())
            return false;
        if (m_replied || !m_session.m_control->HasInput())
            return true;
        m_failure = m_session.ReadReply(m_reply);
        m_replied = !m_failure;
        return m_replied && m_reply.Kind() == 1;
    }

    CFtpSession& m_session;
    CNetworkWaitHook* m_outer;
    bool m_replied = false;
    FtpReply m_reply;
    FtpError m_failure;
};

FtpError CFtpSession::StartSecureData(CListener* listener, std::unique_ptr<CByteStream>& data, FtpReply& reply)
{
    CReplyWatch watch(*this);
    const CNetworkWait wait{m_clock.Now() + Timeout(), &watch, &m_clock};
    FtpError error = listener ? AcceptData(*listener, data, wait) : FtpError{};
    if (!error)
        error = SecureData(data, wait);
    if (watch.m_failure)
        return watch.m_failure;
    // A data connection that ran out of time or met the user's abort ends
    // here; one the server broke off may come with its reason.
    if (!watch.m_replied && (error == FtpErrorCode::timedOut || error == FtpErrorCode::cancelled))
        return error;
    if (watch.m_replied) {
        reply = watch.m_reply;
    } else if (const FtpError replyError = ReadReply(reply)) {
        return replyError;
    }
    // A refusal of the command, or of the data connection's TLS (a server
    // that demands the control connection's session back, say): the
    // server says why, and the session stays in step.
    if (reply.Kind() != 1 && reply.Kind() != 2) {
        data.reset();
        return Refused(reply);
    }
    return error;
}

FtpError CFtpSession::AskFeatures(bool& answered)
{
    FtpReply reply;
    if (const FtpError error = Command("FEAT", reply))
        return error;
    answered = reply.code != 530;
    m_features.clear();
    if (reply.Kind() == 2) {
        for (const std::string& feature : FeatureList(reply.text))
            m_features.insert(feature.substr(0, feature.find(' ')));
    }
    return {};
}

FtpError CFtpSession::ChangeDirectory(const std::string& path)
{
    std::string wire;
    if (const FtpError error = m_names.ToWire(path, wire))
        return error;
    m_workingDirectory.clear();
    if (const FtpError error = Expect("CWD " + wire))
        return error;
    if (!path.empty() && path[0] == '/')
        m_workingDirectory = path;
    return {};
}

FtpError CFtpSession::WorkingDirectory(std::string& directory)
{
    if (m_workingDirectory.empty())
        return AskWorkingDirectory(directory);
    directory = m_workingDirectory;
    return {};
}

FtpError CFtpSession::AskWorkingDirectory(std::string& directory)
{
    m_workingDirectory.clear();
    if (const FtpError error = Expect("PWD"))
        return error;
    // The reply is already in the control's text (converted from UTF-8).
    if (!QuotedPath(m_lastReply.text, m_workingDirectory))
        return Refused(m_lastReply);
    directory = m_workingDirectory;
    return {};
}

bool CFtpSession::Offers(const std::string& feature) const
{
    return m_features.count(feature) != 0;
}

FtpError CFtpSession::Login(const std::string& user, const std::string& password)
{
    FtpReply reply;
    if (const FtpError error = Command("USER " + user, reply))
        return error;
    if (reply.code == 331) {
        if (const FtpError error = Command("PASS " + password, reply))
            return error;
    }
    if (reply.Kind() != 2)
        return Break({FtpErrorCode::loginRefused, reply.text});
    return {};
}

FtpError CFtpSession::SendLine(const std::string& line)
{
    if (m_broken)
        return m_broken;
    Trace(line.compare(0, 5, "PASS ") == 0 ? "PASS ****" : m_names.ReplyText(line));
    const std::string wire = line + "\r\n";
    if (const NetError error = m_control->WriteAll(wire.data(), wire.size(), WaitOneTimeout());
        error != NetError::none)
        return Break(NetworkFailure(error));
    m_lastTraffic = m_clock.Now();
    return {};
}

FtpError CFtpSession::ReadReply(FtpReply& reply, ULONGLONG deadline, bool keepingAlive)
{
    if (m_broken)
        return m_broken;
    // One deadline for the whole reply: a server that trickles it byte by
    // byte is held to the same bound as one that says nothing.
    const CNetworkWait wait = deadline ? WaitFor(deadline) : WaitOneTimeout();
    for (;;) {
        switch (m_replies.Take(reply)) {
        case CReplyAssembler::Result::complete: {
            reply.text = m_names.ReplyText(reply.text);
            m_lastReply = reply;
            for (size_t start = 0; start < reply.text.size();) {
                const size_t end = std::min(reply.text.find("\r\n", start), reply.text.size());
                Trace(reply.text.substr(start, end - start));
                start = end + 2;
            }
            return {};
        }
        case CReplyAssembler::Result::malformed:
            return Break({FtpErrorCode::connectionLost, {}});
        case CReplyAssembler::Result::needMore:
            break;
        }
        char buffer[4096];
        size_t received = 0;
        // A server still taking an upload in says nothing for long: NOOP
        // keeps the connection from being forgotten meanwhile.
        CNetworkWait slice = wait;
        if (keepingAlive && m_options.keepAliveMilliseconds != 0)
            slice.deadline = std::min(wait.deadline, m_lastTraffic + m_options.keepAliveMilliseconds);
        const NetError error = m_control->ReadSome(buffer, sizeof buffer, received, slice);
        if (error == NetError::timedOut && m_clock.Now() < wait.deadline) {
            if (const FtpError failure = SendKeepAlive())
                return failure;
            continue;
        }
        if (error != NetError::none)
            return Break(NetworkFailure(error));
        if (received == 0)
            return Break({FtpErrorCode::connectionLost, {}});
        m_lastTraffic = m_clock.Now();
        m_replies.Feed({buffer, received});
    }
}

FtpError CFtpSession::ReadFinalReply(FtpReply& reply, bool keepingAlive)
{
    do {
        if (const FtpError error = ReadReply(reply, 0, keepingAlive))
            return error;
    } while (reply.Kind() == 1);
    if (reply.code == kClosing)
        return Break(Refused(reply));
    return {};
}

FtpError CFtpSession::Command(const std::string& line, FtpReply& reply)
{
    if (m_transferOpen && !m_broken)
        return {FtpErrorCode::busy, {}};
    if (const FtpError error = Ready())
        return error;
    if (const FtpError error = SendLine(line))
        return error;
    return ReadFinalReply(reply);
}

FtpError CFtpSession::Expect(const std::string& line, int expected)
{
    FtpReply reply;
    if (const FtpError error = Command(line, reply))
        return error;
    if (reply.Kind() == 2 || (expected != 0 && reply.code == expected))
        return {};
    return Refused(reply);
}

FtpError CFtpSession::Require(const std::string& line)
{
    FtpReply reply;
    if (const FtpError error = Command(line, reply))
        return error;
    return reply.Kind() == 2 ? FtpError{} : Break(Refused(reply));
}

FtpError CFtpSession::SetType(char type)
{
    if (type == m_type)
        return {};
    if (const FtpError error = Expect(std::string("TYPE ") + type))
        return error;
    m_type = type;
    return {};
}

FtpError CFtpSession::FileSize(const std::string& wirePath, std::optional<ULONGLONG>& size)
{
    size.reset();
    if (m_sizeUnknown)
        return {};
    if (const FtpError error = SetType('I'))
        return error;
    FtpReply reply;
    if (const FtpError error = Command("SIZE " + wirePath, reply))
        return error;
    ULONGLONG value = 0;
    if (SizeValue(reply.text, value))
        size = value;
    // 500 and 502: a command the server does not know or does not implement.
    m_sizeUnknown = reply.code == 500 || reply.code == 502;
    return {};
}

FtpError CFtpSession::PrepareData(std::unique_ptr<CByteStream>& data, std::unique_ptr<CListener>& listener)
{
    if (m_options.passive) {
        const bool extended = m_peer.IsV6();
        FtpReply reply;
        if (const FtpError error = Command(extended ? "EPSV" : "PASV", reply))
            return error;
        WORD port = 0;
        if (reply.Kind() != 2 || !(extended ? ExtendedPassivePort(reply.text, port) : PassivePort(reply.text, port)))
            return Refused(reply);
        CSocketAddress target = m_peer;
        target.SetPort(port);
        return NetworkFailure(m_connector->ConnectTo(target, data, WaitOneTimeout()));
    }
    CSocketAddress local;
    if (const NetError error = m_connector->Listen(listener, local); error != NetError::none)
        return NetworkFailure(error);
    const WORD port = local.Port();
    char command[128];
    if (local.IsV6()) {
        std::snprintf(command, sizeof command, "EPRT |2|%s|%u|", local.Host().c_str(), port);
    } else {
        const unsigned char* bytes = local.V4Bytes();
        std::snprintf(command, sizeof command, "PORT %u,%u,%u,%u,%u,%u", bytes[0], bytes[1], bytes[2], bytes[3],
                      port / 256, port % 256);
    }
    return Expect(command);
}

FtpError CFtpSession::AcceptData(CListener& listener, std::unique_ptr<CByteStream>& data, const CNetworkWait& wait)
{
    CSocketAddress peer;
    if (const NetError error = listener.Accept(data, peer, wait); error != NetError::none)
        return NetworkFailure(error);
    // Only the server may deliver the data of its transfer.
    if (!peer.SameHost(m_peer)) {
        data.reset();
        return {FtpErrorCode::cannotConnect, {}};
    }
    return {};
}

FtpError CFtpSession::KeepAlive()
{
    NoticeDrop();
    if (m_broken || m_transferOpen || !KeepAliveDue())
        return {};
    // Its reply is read when it has come, here or before the next command:
    // nobody waits for it.
    return SendKeepAlive();
}

bool CFtpSession::KeepAliveDue() const
{
    return m_options.keepAliveMilliseconds != 0 && m_clock.Now() - m_lastTraffic >= m_options.keepAliveMilliseconds;
}

FtpError CFtpSession::SendKeepAlive()
{
    if (const FtpError error = SendLine("NOOP"))
        return error;
    ++m_noopsInFlight;
    return {};
}

FtpError CFtpSession::OpenTransfer(const std::string& command, char type, std::unique_ptr<CFtpTransfer>& transfer,
                                   ULONGLONG restartAt)
{
    if (!m_transferOpen) {
        if (const FtpError error = Ready())
            return error;
    }
    if (m_broken)
        return m_broken;
    if (m_transferOpen)
        return {FtpErrorCode::busy, {}};
    if (const FtpError error = SetType(type))
        return error;
    std::unique_ptr<CByteStream> data;
    std::unique_ptr<CListener> listener;
    FtpError error = PrepareData(data, listener);
    // REST right before the command it moves, after the data connection's own.
    if (!error && restartAt != 0)
        error = Expect("REST " + std::to_string(restartAt), 350);
    FtpReply reply;
    if (!error)
        error = SendLine(command);
    if (!error && IsSecure()) {
        error = StartSecureData(listener.get(), data, reply);
    } else if (!error) {
        error = ReadReply(reply);
        if (!error && reply.Kind() != 1 && reply.Kind() != 2)
            error = Refused(reply);
        if (!error && listener)
            error = AcceptData(*listener, data, WaitOneTimeout());
    }
    if (error) {
        data.reset();
        // A refusal leaves the server in step; anything else may not.
        return error == FtpErrorCode::refused ? error : EndFailedTransfer(error);
    }
    m_transferOpen = true;
    Trace("--- データ接続");
    // A completion straight away: the data is (or was) on its way all the same.
    transfer = std::make_unique<CFtpTransfer>(*this, std::move(data), reply);
    if (restartAt != 0)
        transfer->StartsAt(restartAt);
    return {};
}

FtpError CFtpSession::EndFailedTransfer(const FtpError& error)
{
    if (error == FtpErrorCode::cancelled) {
        Resynchronise();
    } else if (IsSecure() && !m_broken && error != FtpErrorCode::timedOut) {
        // A secure server that breaks a data connection off (one that
        // demands the control connection's TLS session back, say) says why
        // on the control connection at once.
        m_transferOpen = false;
        FtpReply reply;
        if (!ReadReply(reply, m_clock.Now() + std::min<ULONGLONG>(Timeout(), kReasonMilliseconds))
            && reply.Kind() >= 4)
            return Refused(reply);
        Break(error);
    } else {
        m_transferOpen = false;
        Break(error);
    }
    return error;
}

void CFtpSession::Resynchronise()
{
    m_transferOpen = false;
    if (m_broken)
        return;
    // Servers answer ABOR with "426" and "226", with "225" or "226" alone,
    // and a transfer that had just ended has its own "226" still on the
    // way: the count varies. NOOP's "200" marks the end of them all, after
    // the keep-alives' own.
    if (SendLine("ABOR") || SendLine("NOOP"))
        return;
    int awaited = m_noopsInFlight + 1;
    m_noopsInFlight = 0;
    for (int replies = 0; replies < kMostRepliesAfterAbort + awaited && awaited > 0; ++replies) {
        FtpReply reply;
        if (ReadReply(reply))
            return;
        if (reply.code == 200)
            --awaited;
    }
    if (awaited > 0)
        Break({FtpErrorCode::connectionLost, {}});
}
