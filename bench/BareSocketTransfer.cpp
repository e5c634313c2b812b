// The bare Winsock copy loop: what the platform's sockets move under the same Wine, the ceiling for the control.
#include <winsock2.h>

#include "bench/BareSocketTransfer.h"

#include "bench/TransferMeter.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace {

// One owned socket; Winsock is started for the object's life.
class Socket {
public:
    Socket()
    {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            throw BenchError("WSAStartup failed");
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (m_socket == INVALID_SOCKET)
            throw BenchError("socket failed");
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket()
    {
        closesocket(m_socket);
        WSACleanup();
    }
    SOCKET Get() const { return m_socket; }
    void Connect(const std::string& host, u_short port)
    {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = inet_addr(host.c_str());
        if (connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw BenchError("connect to " + host + " failed (error " + std::to_string(WSAGetLastError()) + ")");
    }
    void SendAll(const char* data, size_t size)
    {
        while (size > 0) {
            const int sent = send(m_socket, data, static_cast<int>(size), 0);
            if (sent <= 0)
                throw BenchError("send failed (error " + std::to_string(WSAGetLastError()) + ")");
            data += sent;
            size -= static_cast<size_t>(sent);
        }
    }
    void ShutdownSending() { shutdown(m_socket, SD_SEND); }

private:
    SOCKET m_socket = INVALID_SOCKET;
};

// The control connection: one command, its final reply (1xx replies are
// read separately where a transfer needs them).
class Control {
public:
    explicit Control(const BenchSetup& setup)
    {
        m_socket.Connect(setup.host, static_cast<u_short>(setup.port));
        Expect(2);
        const std::string user = Command("USER " + setup.user);
        if (user[0] == '3')
            Command("PASS " + setup.password, 2);
        Command("TYPE I", 2);
    }
    // Sends line and returns the first reply; kind (1 to 5), when given, must match.
    std::string Command(const std::string& line, char kind = 0)
    {
        const std::string wire = line + "\r\n";
        m_socket.SendAll(wire.data(), wire.size());
        return kind ? Expect(kind) : Reply();
    }
    std::string Expect(char kind)
    {
        std::string reply = Reply();
        if (reply[0] != '0' + kind)
            throw BenchError("unexpected reply: " + reply);
        return reply;
    }
    // One whole reply; "123-" lines run to "123 ".
    std::string Reply()
    {
        std::string line = Line();
        if (line.size() >= 4 && line[3] == '-') {
            const std::string closing = line.substr(0, 3) + " ";
            while (line.compare(0, 4, closing) != 0)
                line = Line();
        }
        return line;
    }

private:
    std::string Line()
    {
        for (;;) {
            const size_t end = m_pending.find("\r\n");
            if (end != std::string::npos) {
                std::string line = m_pending.substr(0, end);
                m_pending.erase(0, end + 2);
                return line;
            }
            char buffer[4096];
            const int received = recv(m_socket.Get(), buffer, sizeof buffer, 0);
            if (received <= 0)
                throw BenchError("the control connection ended");
            m_pending.append(buffer, static_cast<size_t>(received));
        }
    }

    Socket m_socket;
    std::string m_pending;
};

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

HANDLE OpenLocal(const std::string& path, bool write)
{
    const HANDLE file = CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, write ? 0 : FILE_SHARE_READ,
                                    nullptr, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw BenchError("cannot open " + path + " (error " + std::to_string(GetLastError()) + ")");
    return file;
}

TransferSample Download(const BenchSetup& setup, DWORD chunk)
{
    std::unique_ptr<char[]> buffer(new char[chunk]);
    TransferSample sample;
    const TransferMeter meter(setup);
    Control control(setup);
    Socket data;
    data.Connect(setup.host, PassivePort(control.Command("PASV", 2)));
    control.Command("RETR " + setup.remoteFile, 1);
    const HANDLE local = OpenLocal(DownloadedFile(setup), true);
    // Each chunk is filled before it is written, as the control fills its
    // chunks: one WriteFile per chunk, not one per receive.
    for (bool ended = false; !ended;) {
        DWORD filled = 0;
        while (filled < chunk) {
            const int received = recv(data.Get(), buffer.get() + filled, static_cast<int>(chunk - filled), 0);
            if (received < 0)
                throw BenchError("recv failed (error " + std::to_string(WSAGetLastError()) + ")");
            if (received == 0) {
                ended = true;
                break;
            }
            filled += static_cast<DWORD>(received);
        }
        if (filled == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(local, buffer.get(), filled, &written, nullptr))
            throw BenchError("WriteFile failed (error " + std::to_string(GetLastError()) + ")");
        sample.bytes += filled;
        ++sample.chunks;
    }
    CloseHandle(local);
    control.Expect(2);
    meter.Stop(sample);
    return sample;
}

TransferSample Upload(const BenchSetup& setup, DWORD chunk)
{
    std::unique_ptr<char[]> buffer(new char[chunk]);
    Control control(setup);
    TransferSample sample;
    const TransferMeter meter(setup);
    Socket data;
    data.Connect(setup.host, PassivePort(control.Command("PASV", 2)));
    control.Command("STOR " + setup.remoteUploadDir + "/" + LastComponent(setup.uploadSource), 1);
    const HANDLE local = OpenLocal(setup.uploadSource, false);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(local, buffer.get(), chunk, &read, nullptr))
            throw BenchError("ReadFile failed (error " + std::to_string(GetLastError()) + ")");
        if (read == 0)
            break;
        data.SendAll(buffer.get(), read);
        sample.bytes += read;
        ++sample.chunks;
    }
    CloseHandle(local);
    data.ShutdownSending();
    control.Expect(2);
    meter.Stop(sample);
    return sample;
}

}  // namespace

TransferSample RunBareSocketTransfer(const BenchSetup& setup, const TransferCase& transfer)
{
    const DWORD chunk = transfer.chunkKiB * 1024;
    return transfer.direction == Direction::Download ? Download(setup, chunk) : Upload(setup, chunk);
}
