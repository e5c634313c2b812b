// What can go wrong with a connection, in the network layer's own terms.
#pragma once

enum class NetError {
    none,
    timedOut,          // the wait's deadline passed
    cancelled,         // the wait hook asked to stop
    nameNotResolved,   // no address for the host name
    cannotConnect,     // no connection could be made (refused, unreachable)
    connectionLost,    // the peer closed or the connection broke mid-way
    connectionReset,   // the peer reset the connection
    secureChannelFailed,  // the TLS handshake or a TLS record failed
};
