// An IPv4 or IPv6 address and port.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "net/SocketAddress.h"

#include <cstdio>
#include <cstring>

static_assert(sizeof(CSocketAddress::storage) >= sizeof(sockaddr_storage));

bool CSocketAddress::IsV6() const
{
    return Raw()->sa_family == AF_INET6;
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
    if (getnameinfo(Raw(), length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0)
        return {};
    return host;
}

const unsigned char* CSocketAddress::V4Bytes() const
{
    return reinterpret_cast<const unsigned char*>(&reinterpret_cast<const sockaddr_in*>(storage)->sin_addr);
}

bool CSocketAddress::SameHost(const CSocketAddress& other) const
{
    if (Raw()->sa_family != other.Raw()->sa_family)
        return false;
    if (IsV6()) {
        return std::memcmp(&reinterpret_cast<const sockaddr_in6*>(storage)->sin6_addr,
                           &reinterpret_cast<const sockaddr_in6*>(other.storage)->sin6_addr, sizeof(in6_addr))
            == 0;
    }
    return std::memcmp(V4Bytes(), other.V4Bytes(), 4) == 0;
}

std::vector<CSocketAddress> CSocketAddress::Resolve(const std::string& host, WORD port, bool numericOnly)
{
    std::vector<CSocketAddress> addresses;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = numericOnly ? AI_NUMERICHOST : 0;
    char service[8];
    std::snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
    addrinfo* found = nullptr;
    if (host.empty() || getaddrinfo(host.c_str(), service, &hints, &found) != 0)
        return addresses;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        CSocketAddress address;
        if (entry->ai_addrlen > sizeof address.storage)
            continue;
        std::memcpy(address.storage, entry->ai_addr, entry->ai_addrlen);
        address.length = static_cast<int>(entry->ai_addrlen);
        addresses.push_back(address);
    }
    freeaddrinfo(found);
    return addresses;
}

CSocketAddress CSocketAddress::FromNumeric(const std::string& host, WORD port)
{
    const std::vector<CSocketAddress> addresses = Resolve(host, port, true);
    return addresses.empty() ? CSocketAddress() : addresses.front();
}
