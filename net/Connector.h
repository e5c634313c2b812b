// Where one FTP session's connections come from: its control connection and its data connections.
#pragma once
#include "net/ByteStream.h"
#include "net/ServerCertificate.h"
#include "net/SocketAddress.h"

#include <memory>
#include <string>

// A listening end of an active-mode data connection.
class CListener {
public:
    virtual ~CListener() = default;
    // Takes the one connection expected; peer becomes where it came from.
    virtual NetError Accept(std::unique_ptr<CByteStream>& stream, CSocketAddress& peer, const CNetworkWait& wait) = 0;
};

// The session makes no socket itself: the TCP connector makes real
// connections, and a test hands out streams of its own.
class CConnector {
public:
    virtual ~CConnector() = default;
    // The control connection: to host (a name or a numeric address) on
    // port; peer becomes the address reached.
    virtual NetError ConnectToHost(const std::string& host, WORD port, std::unique_ptr<CByteStream>& stream,
                                   CSocketAddress& peer, const CNetworkWait& wait) = 0;
    // A passive-mode data connection to address.
    virtual NetError ConnectTo(const CSocketAddress& address, std::unique_ptr<CByteStream>& stream,
                               const CNetworkWait& wait) = 0;
    // An active-mode data connection: listens on a free port of the address
    // the control connection leaves from; local becomes that address.
    virtual NetError Listen(std::unique_ptr<CListener>& listener, CSocketAddress& local) = 0;
    // Runs a TLS handshake over stream as a client of host and puts the
    // secure stream in its place; certificate becomes the server's. All
    // streams a connector secures share one TLS client, so that the
    // platform can resume the first one's session. None by default.
    virtual NetError Secure(std::unique_ptr<CByteStream>& stream, const std::string& host,
                            CServerCertificate& certificate, const CNetworkWait& wait);
};

// Plain TCP connections over Winsock (held for the connector's life).
std::unique_ptr<CConnector> MakeTcpConnector();
