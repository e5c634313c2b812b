// The control connection of an FTP session: commands, replies, data connections, deadlines.
#include "framework/FtpControlChannel.h"

#include "framework/FtpReplyState.h"
#include "framework/WireText.h"

#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A reply line or a whole reply longer than this is cut where it is kept
// (the rest is still read): a server cannot make the client hold more.
constexpr size_t kMaxLine = 8 * 1024;
constexpr size_t kMaxReply = 64 * 1024;
// Leaving: the server's goodbye is not waited for long.
constexpr ULONGLONG kQuitMilliseconds = 1000;

bool IsReplyNumber(const std::string& line)
{
    return line.size() >= 3 && line[0] >= '1' && line[0] <= '5' && line[1] >= '0' && line[1] <= '9'
        && line[2] >= '0' && line[2] <= '9';
}

// The port of a PASV reply: "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)".
// Only the port is taken; the data connection goes to the server the
// control connection reached, whatever address the reply names.
bool PassivePort(const std::string& reply, WORD& port)
{
    for (size_t at = 4; at < reply.size(); ++at) {
        unsigned values[6];
        if (reply[at] < '0' || reply[at] > '9')
            continue;
        if (std::sscanf(reply.c_str() + at, "%u,%u,%u,%u,%u,%u", &values[0], &values[1], &values[2], &values[3],
                        &values[4], &values[5])
            == 6) {
            if (values[4] > 255 || values[5] > 255)
                return false;
            port = static_cast<WORD>(values[4] * 256 + values[5]);
            return port != 0;
        }
        return false;
    }
    return false;
}

// The port of an EPSV reply: "229 Entering Extended Passive Mode (|||port|)".
bool ExtendedPassivePort(const std::string& reply, WORD& port)
{
    const size_t open = reply.find("(|||");
    if (open == std::string::npos)
        return false;
    const unsigned long value = std::strtoul(reply.c_str() + open + 4, nullptr, 10);
    if (value == 0 || value > 65535)
        return false;
    port = static_cast<WORD>(value);
    return true;
}

}  // namespace

CTransferPace::CTransferPace(DWORD windowMilliseconds)
    : m_dwWindow(windowMilliseconds), m_ullWindowStart(GetTickCount64()), m_ullLastData(m_ullWindowStart)
{
}

void CTransferPace::Count(size_t bytes)
{
    m_ullBytes += bytes;
    m_ullLastData = GetTickCount64();
}

bool CTransferPace::NextWindow()
{
    const ULONGLONG now = GetTickCount64();
    if (now >= m_ullLastData + m_dwWindow || m_ullBytes < kMinimumBytes)
        return false;
    m_ullWindowStart = now;
    m_ullBytes = 0;
    return true;
}

CFtpControlChannel::CFtpControlChannel(const CFtpOptions& options) : m_options(options)
{
    if (m_options.timeoutMilliseconds == 0)
        m_options.timeoutMilliseconds = CFtpOptions().timeoutMilliseconds;
}

CFtpControlChannel::~CFtpControlChannel()
{
    Close();
}

DWORD CFtpControlChannel::Break(DWORD error)
{
    if (!m_dwBroken) {
        m_dwBroken = error;
        m_socket.Close();
    }
    return m_dwBroken;
}

void CFtpControlChannel::Close()
{
    if (m_socket && !m_dwBroken) {
        const std::string quit = "QUIT\r\n";
        m_socket.Send(quit.data(), quit.size(), {GetTickCount64() + kQuitMilliseconds, nullptr});
    }
    m_socket.Close();
    m_dwBroken = ERROR_INTERNET_CONNECTION_ABORTED;
}

DWORD CFtpControlChannel::Open(const char* host, WORD port, const char* user, const char* password)
{
    if (const DWORD error = m_socket.ConnectToHost(host, port, m_peer, WaitFor(GetTickCount64() + Timeout())))
        return Break(error);
    // "120 ready in a moment" may come before the greeting itself.
    int code = 0;
    do {
        if (const DWORD error = ReadReply(code))
            return error;
    } while (code / 100 == 1);
    if (code / 100 != 2)
        return Break(ERROR_INTERNET_EXTENDED_ERROR);
    if (const DWORD error = Login(user, password))
        return error;
    if (m_options.encoding != CFtpOptions::shiftJis) {
        if (const DWORD error = Command("OPTS UTF8 ON", code))
            return error;
        m_bUtf8 = m_options.encoding == CFtpOptions::utf8 || code / 100 == 2;
    }
    return 0;
}

DWORD CFtpControlChannel::Login(const char* user, const char* password)
{
    int code = 0;
    if (const DWORD error = Command(std::string("USER ") + (user ? user : ""), code))
        return error;
    if (code == 331) {
        if (const DWORD error = Command(std::string("PASS ") + (password ? password : ""), code))
            return error;
    }
    if (code / 100 != 2)
        return Break(ERROR_INTERNET_LOGIN_FAILURE);
    return 0;
}

DWORD CFtpControlChannel::SendLine(const std::string& line)
{
    if (m_dwBroken)
        return m_dwBroken;
    const std::string wire = line + "\r\n";
    if (const DWORD error = m_socket.Send(wire.data(), wire.size(), WaitFor(GetTickCount64() + Timeout())))
        return Break(error);
    return 0;
}

DWORD CFtpControlChannel::ReadLine(std::string& line, ULONGLONG deadline)
{
    line.clear();
    for (;;) {
        const size_t end = m_strReceived.find('\n');
        if (end != std::string::npos) {
            line.append(m_strReceived, 0, std::min(end, kMaxLine));
            m_strReceived.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return 0;
        }
        // A line without end: keep its start, drop what goes past the limit.
        if (m_strReceived.size() > kMaxLine) {
            if (line.empty())
                line.assign(m_strReceived, 0, kMaxLine);
            m_strReceived.clear();
        }
        char buffer[4096];
        size_t received = 0;
        if (const DWORD error = m_socket.Receive(buffer, sizeof buffer, received, WaitFor(deadline)))
            return error;
        if (received == 0)
            return ERROR_INTERNET_CONNECTION_ABORTED;
        m_strReceived.append(buffer, received);
    }
}

DWORD CFtpControlChannel::ReadReply(int& code)
{
    code = 0;
    if (m_dwBroken)
        return m_dwBroken;
    // One deadline for the whole reply: a server that trickles it byte by
    // byte is held to the same bound as one that says nothing.
    const ULONGLONG deadline = GetTickCount64() + Timeout();
    std::string reply;
    std::string line;
    if (const DWORD error = ReadLine(line, deadline))
        return Break(error);
    if (!IsReplyNumber(line))
        return Break(ERROR_INTERNET_CONNECTION_ABORTED);
    reply = line;
    // "123-" opens a reply of several lines, closed by "123 ".
    if (line.size() > 3 && line[3] == '-') {
        const std::string closing = line.substr(0, 3) + " ";
        for (;;) {
            if (const DWORD error = ReadLine(line, deadline))
                return Break(error);
            if (reply.size() < kMaxReply)
                reply += "\r\n" + line;
            if (line.compare(0, 4, closing) == 0 || line == closing.substr(0, 3))
                break;
        }
    }
    // Converted, not remembered: a reply is no name to refuse later.
    bool lossy = false;
    m_strReply = m_bUtf8 ? Utf8ToShiftJis(reply, lossy) : reply;
    SetLastFtpReply(m_strReply);
    code = std::atoi(line.substr(0, 3).c_str());
    return 0;
}

DWORD CFtpControlChannel::Command(const std::string& line, int& code)
{
    if (m_bDataOpen && !m_dwBroken)
        return ERROR_FTP_TRANSFER_IN_PROGRESS;
    if (const DWORD error = SendLine(line))
        return error;
    // Preliminary replies (1xx) of a command without data go before its
    // final one.
    do {
        if (const DWORD error = ReadReply(code))
            return error;
    } while (code / 100 == 1);
    return 0;
}

DWORD CFtpControlChannel::Expect(const std::string& line, int expected)
{
    int code = 0;
    if (const DWORD error = Command(line, code))
        return error;
    if (code / 100 == 2 || (expected != 0 && code == expected))
        return 0;
    return ERROR_INTERNET_EXTENDED_ERROR;
}

DWORD CFtpControlChannel::ToWire(const std::string& name, std::string& wire) const
{
    if (name.find_first_of("\r\n") != std::string::npos) {
        return ERROR_INVALID_NAME;
    }
    if (!m_bUtf8) {
        wire = name;
        return 0;
    }
    // A name shown with a mark stands for a name the server holds in
    // characters that were lost: sent back, it would name another file.
    size_t start = 0;
    while (start <= name.size()) {
        const size_t slash = name.find('/', start);
        const std::string part = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (m_lossyNames.count(part))
            return ERROR_INVALID_NAME;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    wire = ShiftJisToUtf8(name);
    return 0;
}

std::string CFtpControlChannel::FromWire(const std::string& wire)
{
    if (!m_bUtf8)
        return wire;
    bool lossy = false;
    std::string name = Utf8ToShiftJis(wire, lossy);
    if (lossy)
        m_lossyNames.insert(name);
    return name;
}

DWORD CFtpControlChannel::SetType(char type)
{
    if (type == m_cType)
        return 0;
    if (const DWORD error = Expect(std::string("TYPE ") + type))
        return error;
    m_cType = type;
    return 0;
}

DWORD CFtpControlChannel::PrepareData(CSocket& data, CSocket& listener)
{
    int code = 0;
    if (m_options.passive) {
        const bool extended = m_peer.IsV6();
        if (const DWORD error = Command(extended ? "EPSV" : "PASV", code))
            return error;
        WORD port = 0;
        if (code / 100 != 2)
            return ERROR_INTERNET_EXTENDED_ERROR;
        if (!(extended ? ExtendedPassivePort(m_strReply, port) : PassivePort(m_strReply, port)))
            return ERROR_INTERNET_EXTENDED_ERROR;
        CSocketAddress target = m_peer;
        target.SetPort(port);
        return data.Connect(target, WaitFor(GetTickCount64() + Timeout()));
    }
    CSocketAddress local;
    if (const DWORD error = listener.ListenBeside(m_socket, local))
        return error;
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

DWORD CFtpControlChannel::AcceptData(CSocket& listener, CSocket& data)
{
    CSocketAddress peer;
    if (const DWORD error = listener.Accept(data, peer, WaitFor(GetTickCount64() + Timeout())))
        return error;
    // Only the server may deliver the data of its transfer.
    if (!peer.SameHost(m_peer)) {
        data.Close();
        return ERROR_INTERNET_CANNOT_CONNECT;
    }
    return 0;
}

DWORD CFtpControlChannel::OpenData(const std::string& command, char type, CSocket& data)
{
    if (m_dwBroken)
        return m_dwBroken;
    if (m_bDataOpen)
        return ERROR_FTP_TRANSFER_IN_PROGRESS;
    m_bDataCompleted = false;
    if (const DWORD error = SetType(type))
        return error;
    CSocket listener;
    if (const DWORD error = PrepareData(data, listener)) {
        data.Close();
        return error;
    }
    int code = 0;
    DWORD error = SendLine(command);
    if (!error)
        error = ReadReply(code);
    if (!error && code / 100 != 1 && code / 100 != 2)
        error = ERROR_INTERNET_EXTENDED_ERROR;
    // A completion straight away: the data is (or was) on its way all the same.
    m_bDataCompleted = code / 100 == 2;
    if (!error && listener)
        error = AcceptData(listener, data);
    if (error) {
        data.Close();
        // A refusal leaves the server in step; anything else may not.
        return error == ERROR_INTERNET_EXTENDED_ERROR ? error : FailData(error);
    }
    m_bDataOpen = true;
    return 0;
}

DWORD CFtpControlChannel::FinishData()
{
    m_bDataOpen = false;
    if (m_bDataCompleted) {
        m_bDataCompleted = false;
        return 0;
    }
    int code = 0;
    do {
        if (const DWORD error = ReadReply(code))
            return error;
    } while (code / 100 == 1);
    return code / 100 == 2 ? 0 : ERROR_INTERNET_EXTENDED_ERROR;
}

DWORD CFtpControlChannel::FailData(DWORD error)
{
    if (error == ERROR_INTERNET_OPERATION_CANCELLED) {
        AbandonData();
    } else {
        m_bDataOpen = false;
        Break(error);
    }
    return error;
}

void CFtpControlChannel::AbandonData()
{
    m_bDataOpen = false;
    if (m_dwBroken)
        return;
    m_bDataCompleted = false;
    // Servers answer ABOR with "426" and "226", with "225" or "226" alone,
    // and a transfer that had just ended has its own "226" still on the
    // way: the count varies. NOOP's "200" marks the end of them all.
    const std::string kept = GetLastFtpReply();
    if (!SendLine("ABOR") && !SendLine("NOOP")) {
        int code = 0;
        for (int replies = 0; replies < 8 && code != 200; ++replies) {
            if (ReadReply(code))
                break;
        }
        if (code != 200)
            Break(ERROR_INTERNET_CONNECTION_ABORTED);
    }
    // The reply that explains the failure stays the thread's last.
    SetLastFtpReply(kept);
}
