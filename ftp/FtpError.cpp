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
