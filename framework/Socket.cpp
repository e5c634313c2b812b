// TCP sockets with bounded waits: the FTP connection's control and data channels.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "framework/Socket.h"

#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

static_assert(sizeof(CSocketAddress::storage) >= sizeof(sockaddr_storage));

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

// The longest single wait before the hook is asked again.
constexpr ULONGLONG kSliceMilliseconds = 100;

const sockaddr* Raw(const CSocketAddress& address)
{
    return reinterpret_cast<const sockaddr*>(address.storage);
}

sockaddr* Raw(CSocketAddress& address)
{
    return reinterpret_cast<sockaddr*>(address.storage);
}

}  // namespace

CWinsockUse::CWinsockUse()
{
    WSADATA data;
    m_bStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CWinsockUse::~CWinsockUse()
{
    if (m_bStarted)
        WSACleanup();
}

bool CSocketAddress::IsV6() const
{
    return Raw(*this)->sa_family == AF_INET6;
}

WORD CSocketAddress::Port() const
{
    return ntohs(IsV6() ? reinterpret_cast<const sockaddr_in6*>(storage)->sin6_port
                        : reinterpret_cast<const sockaddr_in*>(storage)->sin_port);
}

void CSocketAddress::SetPort(WORD port)
{
    if (IsV6())
        reinterpret_cast<sockaddr_in6*>(storage)->sin6_port = htons(port);
    else
        reinterpret_cast<sockaddr_in*>(storage)->sin_port = htons(port);
}

std::string CSocketAddress::Host() const
{
    char host[NI_MAXHOST] = "";
    if (getnameinfo(Raw(*this), length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0)
        return {};
    return host;
}

const unsigned char* CSocketAddress::V4Bytes() const
{
    return reinterpret_cast<const unsigned char*>(&reinterpret_cast<const sockaddr_in*>(storage)->sin_addr);
}

bool CSocketAddress::SameHost(const CSocketAddress& other) const
{
    if (Raw(*this)->sa_family != Raw(other)->sa_family)
        return false;
    if (IsV6()) {
        return std::memcmp(&reinterpret_cast<const sockaddr_in6*>(storage)->sin6_addr,
                           &reinterpret_cast<const sockaddr_in6*>(other.storage)->sin6_addr, sizeof(in6_addr))
            == 0;
    }
    return std::memcmp(V4Bytes(), other.V4Bytes(), 4) == 0;
}

CSocket::CSocket(CSocket&& other) noexcept : m_socket(std::exchange(other.m_socket, kNone)) {}

CSocket& CSocket::operator=(CSocket&& other) noexcept
{
    if (this != &other) {
        Close();
        m_socket = std::exchange(other.m_socket, kNone);
    }
    return *this;
}

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
    m_socket = socket(family, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    if (m_socket != kNone && ioctlsocket(m_socket, FIONBIO, &nonBlocking) != 0)
        Close();
    if (m_socket != kNone)
        WidenBuffers(m_socket);
    return m_socket != kNone;
}

DWORD CSocket::WaitUntil(bool forWriting, const CNetworkWait& wait) const
{
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= wait.deadline)
            return ERROR_INTERNET_TIMEOUT;
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
            return ERROR_INTERNET_CONNECTION_ABORTED;
        if (count > 0)
            return 0;
        if (wait.hook && !wait.hook->KeepWaiting())
            return ERROR_INTERNET_OPERATION_CANCELLED;
    }
}

DWORD CSocket::ConnectToHost(const char* host, WORD port, CSocketAddress& peer, const CNetworkWait& wait)
{
    if (!host || !*host)
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    char service[8];
    std::snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
    addrinfo* found = nullptr;
    if (getaddrinfo(host, service, &hints, &found) != 0 || !found)
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    DWORD error = ERROR_INTERNET_CANNOT_CONNECT;
    for (const addrinfo* address = found; address; address = address->ai_next) {
        if (address->ai_addrlen > sizeof peer.storage)
            continue;
        std::memcpy(peer.storage, address->ai_addr, address->ai_addrlen);
        peer.length = static_cast<int>(address->ai_addrlen);
        error = Connect(peer, wait);
        if (error != ERROR_INTERNET_CANNOT_CONNECT)
            break;
    }
    freeaddrinfo(found);
    if (error) {
        Close();
        return error;
    }
    // Commands are small and each waits for its reply: sent at once, not
    // held back for the acknowledgement of the one before.
    const BOOL noDelay = TRUE;
    setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    return 0;
}

DWORD CSocket::Connect(const CSocketAddress& address, const CNetworkWait& wait)
{
    if (!Create(Raw(address)->sa_family))
        return ERROR_INTERNET_CANNOT_CONNECT;
    if (connect(m_socket, Raw(address), address.length) == 0)
        return 0;
    if (WSAGetLastError() != WSAEWOULDBLOCK)
        return ERROR_INTERNET_CANNOT_CONNECT;
    if (const DWORD error = WaitUntil(true, wait))
        return error;
    int failure = 0;
    int size = sizeof failure;
    if (getsockopt(m_socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure), &size) != 0 || failure != 0)
        return ERROR_INTERNET_CANNOT_CONNECT;
    return 0;
}

DWORD CSocket::ListenBeside(const CSocket& connected, CSocketAddress& bound)
{
    bound.length = sizeof bound.storage;
    if (getsockname(connected.m_socket, Raw(bound), &bound.length) != 0 || !Create(Raw(bound)->sa_family))
        return ERROR_INTERNET_CANNOT_CONNECT;
    bound.SetPort(0);
    if (bind(m_socket, Raw(bound), bound.length) != 0 || listen(m_socket, 1) != 0
        || getsockname(m_socket, Raw(bound), &bound.length) != 0)
        return ERROR_INTERNET_CANNOT_CONNECT;
    return 0;
}

DWORD CSocket::Accept(CSocket& accepted, CSocketAddress& peer, const CNetworkWait& wait)
{
    for (;;) {
        peer.length = sizeof peer.storage;
        const SOCKET socket = accept(m_socket, Raw(peer), &peer.length);
        if (socket != INVALID_SOCKET) {
            accepted.Close();
            accepted.m_socket = socket;
            WidenBuffers(socket);
            u_long nonBlocking = 1;
            ioctlsocket(socket, FIONBIO, &nonBlocking);
            return 0;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return ERROR_INTERNET_CANNOT_CONNECT;
        if (const DWORD error = WaitUntil(false, wait))
            return error;
    }
}

DWORD CSocket::Send(const char* data, size_t size, const CNetworkWait& wait)
{
    while (size > 0) {
        size_t sent = 0;
        if (const DWORD error = SendSome(data, size, sent, wait))
            return error;
        data += sent;
        size -= sent;
    }
    return 0;
}

DWORD CSocket::SendSome(const char* data, size_t size, size_t& sent, const CNetworkWait& wait)
{
    sent = 0;
    for (;;) {
        const int piece = static_cast<int>(std::min<size_t>(size, 64u << 20));
        const int count = send(m_socket, data, piece, 0);
        if (count > 0) {
            sent = static_cast<size_t>(count);
            return 0;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return ERROR_INTERNET_CONNECTION_RESET;
        if (const DWORD error = WaitUntil(true, wait))
            return error;
    }
}

DWORD CSocket::Receive(char* buffer, size_t size, size_t& received, const CNetworkWait& wait)
{
    received = 0;
    for (;;) {
        const int piece = static_cast<int>(std::min<size_t>(size, 1 << 20));
        const int count = recv(m_socket, buffer, piece, 0);
        if (count >= 0) {
            received = static_cast<size_t>(count);
            return 0;
        }
        const int failure = WSAGetLastError();
        if (failure != WSAEWOULDBLOCK)
            return failure == WSAECONNRESET ? ERROR_INTERNET_CONNECTION_RESET : ERROR_INTERNET_CONNECTION_ABORTED;
        if (const DWORD error = WaitUntil(false, wait))
            return error;
    }
}

void CSocket::FinishSending()
{
    if (m_socket != kNone)
        shutdown(m_socket, SD_SEND);
}
