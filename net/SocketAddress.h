// An IPv4 or IPv6 address and port.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct sockaddr;

// The bytes of a sockaddr_storage and their length.
struct CSocketAddress {
    alignas(8) unsigned char storage[128] = {};
    int length = 0;

    // The bytes as the socket calls take them.
    const sockaddr* Raw() const { return reinterpret_cast<const sockaddr*>(storage); }
    sockaddr* Raw() { return reinterpret_cast<sockaddr*>(storage); }
    bool IsV6() const;
    WORD Port() const;
    void SetPort(WORD port);
    // The numeric host, without the port.
    std::string Host() const;
    // The four bytes of an IPv4 address.
    const unsigned char* V4Bytes() const;
    // Whether both name the same host (ports aside).
    bool SameHost(const CSocketAddress& other) const;

    // The addresses of host (a name, or a numeric address only when
    // numericOnly) with port, in the resolver's order; none when it has none.
    static std::vector<CSocketAddress> Resolve(const std::string& host, WORD port, bool numericOnly = false);
    // A numeric IPv4 or IPv6 host and a port; an empty address when host is
    // not numeric.
    static CSocketAddress FromNumeric(const std::string& host, WORD port);
};
