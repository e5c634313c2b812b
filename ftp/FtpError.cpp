// How an FTP operation failed: the network layer's failures in the FTP layer's terms.
#include "ftp/FtpError.h"

FtpError NetworkFailure(NetError error)
{
    switch (error) {
    case NetError::none:
        return {};
    case NetError::timedOut:
        return {FtpErrorCode::timedOut, {}};
    case NetError::cancelled:
        return {FtpErrorCode::cancelled, {}};
    case NetError::nameNotResolved:
        return {FtpErrorCode::nameNotResolved, {}};
    case NetError::cannotConnect:
        return {FtpErrorCode::cannotConnect, {}};
    case NetError::connectionReset:
        return {FtpErrorCode::connectionReset, {}};
    case NetError::secureChannelFailed:
        return {FtpErrorCode::secureChannel, {}};
    case NetError::connectionLost:
        break;
    }
    return {FtpErrorCode::connectionLost, {}};
}

bool IsNetworkBreak(const FtpError& error)
{
    switch (error.code) {
    case FtpErrorCode::timedOut:
    case FtpErrorCode::nameNotResolved:
    case FtpErrorCode::cannotConnect:
    case FtpErrorCode::connectionLost:
    case FtpErrorCode::connectionReset:
    case FtpErrorCode::secureChannel:
        return true;
    case FtpErrorCode::refused:
    case FtpErrorCode::brokenOff:
        // "421" closes the connection; "426" ends a transfer's data connection.
        return error.reply.compare(0, 3, "421") == 0 || error.reply.compare(0, 3, "426") == 0;
    default:
        return false;
    }
}
