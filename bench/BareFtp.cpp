// The FTP side of the bare loops: a control connection and one data connection, in clear or over TLS.
#include "bench/BareFtp.h"

#include <cstdio>

namespace {

// The data port of a "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" reply.
u_short PassivePort(const std::string& reply)
{
    unsigned h1, h2, h3, h4, p1, p2;
    const size_t open = reply.find('(');
    if (open == std::string::npos
        || std::sscanf(reply.c_str() + open, "(%u,%u,%u,%u,%u,%u)", &h1, &h2, &h3, &h4, &p1, &p2) != 6)
        throw BenchError("no passive port in: " + reply);
    return static_cast<u_short>(p1 * 256 + p2);
}

}  // namespace

BareControl::BareControl(const BenchSetup& setup, bool secure)
{
    m_socket.Connect(setup.host, static_cast<u_short>(setup.port));
    Expect(2);
    if (secure) {
        Command("AUTH TLS", 2);
        m_tls = std::make_unique<BareTls>(m_socket, setup.host);
        m_stream = m_tls.get();
    }
    const std::string user = Command("USER " + setup.user);
    if (user[0] == '3')
        Command("PASS " + setup.password, 2);
    if (secure) {
        Command("PBSZ 0", 2);
        Command("PROT P", 2);
    }
    Command("TYPE I", 2);
}

void BareControl::Send(const std::string& line)
{
    const std::string wire = line + "\r\n";
    m_stream->SendAll(wire.data(), wire.size());
}

std::string BareControl::Command(const std::string& line, char kind)
{
    Send(line);
    return kind ? Expect(kind) : Reply();
}

std::string BareControl::Expect(char kind)
{
    std::string reply = Reply();
    if (reply[0] != '0' + kind)
        throw BenchError("unexpected reply: " + reply);
    return reply;
}

sockaddr_in BareControl::LocalAddress() const
{
    sockaddr_in address = {};
    int size = sizeof address;
    if (getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw BenchError("getsockname failed");
    return address;
}

std::string BareControl::Reply()
{
    std::string line = Line();
    if (line.size() >= 4 && line[3] == '-') {
        const std::string closing = line.substr(0, 3) + " ";
        while (line.compare(0, 4, closing) != 0)
            line = Line();
    }
    return line;
}

std::string BareControl::Line()
{
    for (;;) {
        const size_t end = m_pending.find("\r\n");
        if (end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 2);
            return line;
        }
        char buffer[4096];
        const size_t received = m_stream->Receive(buffer, sizeof buffer);
        if (received == 0)
            throw BenchError("the control connection ended");
        m_pending.append(buffer, received);
    }
}

BareData::BareData(BareControl& control, const BenchSetup& setup, bool passive, bool secure)
    : m_host(setup.host), m_bPassive(passive), m_bSecure(secure)
{
    if (passive) {
        m_socket.Connect(setup.host, PassivePort(control.Command("PASV", 2)));
        return;
    }
    const sockaddr_in address = m_socket.Listen(control.LocalAddress());
    const auto* host = reinterpret_cast<const unsigned char*>(&address.sin_addr);
    const u_short port = ntohs(address.sin_port);
    char command[64];
    std::snprintf(command, sizeof command, "PORT %u,%u,%u,%u,%u,%u", host[0], host[1], host[2], host[3], port >> 8,
                  port & 0xff);
    control.Command(command, 2);
}

BareStream& BareData::Start(BareControl& control, const std::string& command)
{
    control.Send(command);
    if (!m_bPassive)
        m_socket.AcceptOne();
    if (m_bSecure)
        m_tls = std::make_unique<BareTls>(m_socket, m_host);
    control.Expect(1);
    if (m_tls)
        return *m_tls;
    return m_socket;
}
