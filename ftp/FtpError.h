// How an FTP operation failed: one value from the socket up to the store, with the server's reply when one explains it.
#pragma once
#include "net/NetError.h"

#include <string>

enum class FtpErrorCode {
    none,
    timedOut,         // a connect, a reply or a transfer window took longer than the timeout
    cancelled,        // the wait hook asked to stop (an abort during a transfer)
    nameNotResolved,  // no address for the server's name
    cannotConnect,    // no connection to the server, or no data connection
    connectionLost,   // the server closed or broke the connection, or spoke no FTP
    connectionReset,  // the server reset the connection
    refused,          // the server answered with an error reply
    brokenOff,        // the server ended a transfer or listing it had started with an error reply (426)
    loginRefused,     // the server did not accept the user name or password
    busy,             // a transfer or listing is still open on the connection
    invalidName,      // a name that cannot go on the wire as it is
    tooLarge,         // a listing past what is held in memory
    secureChannel,    // the TLS handshake or a TLS record failed
    untrustedCertificate,      // the server's certificate has no trusted chain, or differs from the pin
    certificateNameMismatch,   // the certificate names another host
    certificateOutOfPeriod,    // the certificate has expired or is not valid yet
    sizeMismatch,     // a confirmed transfer moved another count of bytes than the file holds
    keyRefused,       // SSH: the server did not accept the private key
    keyFileUnreadable,  // SSH: the key file is missing, of no known form, or its passphrase is wrong
    noLoginMethod,    // SSH: the server offers no way of logging in that the control has
};

struct FtpError {
    FtpErrorCode code = FtpErrorCode::none;
    // The server's reply (every line, in the control's text) when one
    // explains the failure; empty otherwise.
    std::string reply;

    explicit operator bool() const { return code != FtpErrorCode::none; }
    bool operator==(FtpErrorCode other) const { return code == other; }
    bool operator!=(FtpErrorCode other) const { return code != other; }
};

// The same failure of the network layer.
FtpError NetworkFailure(NetError error);

// A failure of the network or of a server that went away, which a new
// connection may not meet (a refused login or certificate would be met again).
bool IsNetworkBreak(const FtpError& error);
