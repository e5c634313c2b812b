// TCP sockets with bounded waits: the byte stream of a plain connection.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "net/Socket.h"

#include <algorithm>
#include <utility>

namespace {

// Room for several chunks of a transfer (1 MiB by default) on both sides:
// each call on a socket is a round trip to the system (to the wineserver
// under Wine), and a fuller buffer lets one call move more.
void WidenBuffers(UINT_PTR socket)
{
    const int size = 4 << 20;
    setsockopt(socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
    setsockopt(socket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&size), sizeof size);
}

bool MakeNonBlocking(UINT_PTR socket)
{
    u_long nonBlocking = 1;
    return ioctlsocket(socket, FIONBIO, &nonBlocking) == 0;
}

// The longest single wait before the hook is asked again: short enough for
// a window that answers other threads from its hook to seem never to wait.
constexpr ULONGLONG kSliceMilliseconds = 20;

}  // namespace

CSocket::~CSocket()
{
    Close();
}

void CSocket::Close()
{
    if (m_socket != kNone)
        closesocket(std::exchange(m_socket, kNone));
}

bool CSocket::Create(int family)
{
    Close();
    const UINT_PTR created = socket(family, SOCK_STREAM, IPPROTO_TCP);
    if (created == kNone)
        return false;
    if (!MakeNonBlocking(created)) {
        closesocket(created);
        return false;
    }
    Adopt(created);
    return true;
}

void CSocket::Adopt(UINT_PTR socket)
{
    Close();
    m_socket = socket;
    WidenBuffers(socket);
}

NetError CSocket::WaitUntil(bool forWriting, const CNetworkWait& wait) const
{
    for (;;) {
        const ULONGLONG now = wait.clock->Now();
        if (now >= wait.deadline)
            return NetError::timedOut;
        const ULONGLONG slice = std::min(wait.deadline - now, kSliceMilliseconds);
        fd_set ready;
        fd_set failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(m_socket, &ready);
        FD_SET(m_socket, &failed);
        timeval timeout = {static_cast<long>(slice / 1000), static_cast<long>(slice % 1000) * 1000};
        const int count = select(0, forWriting ? nullptr : &ready, forWriting ? &ready : nullptr, &failed, &timeout);
        if (count == SOCKET_ERROR)
            return NetError::connectionLost;
        if (count > 0)
            return NetError::none;
        if (wait.hook && !wait.hook->KeepWaiting())
            return NetError::cancelled;
    }
}

bool CSocket::HasInput()
{
    if (m_socket == kNone)
        return false;
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(m_socket, &ready);
    timeval now = {0, 0};
    return select(0, &ready, nullptr, nullptr, &now) > 0;
}

NetError CSocket::ConnectToHost(const std::string& host, WORD port, CSocketAddress& peer, const CNetworkWait& wait)
{
    const std::vector<CSocketAddress> addresses = CSocketAddress::Resolve(host, port);
    if (addresses.empty())
        return NetError::nameNotResolved;
    NetError error = NetError::cannotConnect;
    for (const CSocketAddress& address : addresses) {
        peer = address;
        error = Connect(peer, wait);
        if (error != NetError::cannotConnect)
            break;
    }
    if (error != NetError::none) {
        Close();
        return error;
    }
    // Commands are small and each waits for its reply: sent at once, not
    // held back for the acknowledgement of the one before.
    const BOOL noDelay = TRUE;
    setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    return NetError::none;
}

NetError CSocket::Connect(const CSocketAddress& address, const CNetworkWait& wait)
{
    if (!Create(address.Raw()->sa_family))
        return NetError::cannotConnect;
    if (connect(m_socket, address.Raw(), address.length) == 0)
        return NetError::none;
    if (WSAGetLastError() != WSAEWOULDBLOCK)
        return NetError::cannotConnect;
    if (const NetError error = WaitUntil(true, wait); error != NetError::none)
        return error;
    int failure = 0;
    int size = sizeof failure;
    if (getsockopt(m_socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure), &size) != 0 || failure != 0)
        return NetError::cannotConnect;
    return NetError::none;
}

bool CSocket::LocalAddress(CSocketAddress& local) const
{
    local.length = sizeof local.storage;
    return m_socket != kNone && getsockname(m_socket, local.Raw(), &local.length) == 0;
}

NetError CSocket::Listen(CSocketAddress& local)
{
    if (!Create(local.Raw()->sa_family))
        return NetError::cannotConnect;
    local.SetPort(0);
    if (bind(m_socket, local.Raw(), local.length) != 0 || listen(m_socket, 1) != 0 || !LocalAddress(local))
        return NetError::cannotConnect;
    return NetError::none;
}

NetError CSocket::Accept(CSocket& accepted, CSocketAddress& peer, const CNetworkWait& wait)
{
    for (;;) {
        peer.length = sizeof peer.storage;
        const SOCKET socket = accept(m_socket, peer.Raw(), &peer.length);
        if (socket != INVALID_SOCKET) {
            MakeNonBlocking(socket);
            accepted.Adopt(socket);
            return NetError::none;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return NetError::cannotConnect;
        if (const NetError error = WaitUntil(false, wait); error != NetError::none)
            return error;
    }
}

NetError CSocket::WriteSome(const char* data, size_t size, size_t& sent, const CNetworkWait& wait)
{
    sent = 0;
    for (;;) {
        const int piece = static_cast<int>(std::min<size_t>(size, 64u << 20));
        const int count = send(m_socket, data, piece, 0);
        if (count > 0) {
            sent = static_cast<size_t>(count);
            return NetError::none;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return NetError::connectionReset;
        if (const NetError error = WaitUntil(true, wait); error != NetError::none)
            return error;
    }
}

NetError CSocket::ReadSome(char* buffer, size_t size, size_t& received, const CNetworkWait& wait)
{
    received = 0;
    for (;;) {
        const int piece = static_cast<int>(std::min<size_t>(size, 1 << 20));
        const int count = recv(m_socket, buffer, piece, 0);
        if (count >= 0) {
            received = static_cast<size_t>(count);
            return NetError::none;
        }
        const int failure = WSAGetLastError();
        if (failure != WSAEWOULDBLOCK)
            return failure == WSAECONNRESET ? NetError::connectionReset : NetError::connectionLost;
        if (const NetError error = WaitUntil(false, wait); error != NetError::none)
            return error;
    }
}

NetError CSocket::FinishSending(const CNetworkWait&)
{
    if (m_socket != kNone)
        shutdown(m_socket, SD_SEND);
    return NetError::none;
}
