// FTP failures raised as the Internet library raises them: its error numbers, and the server's reply for 12003.
#include "filesystem/InternetError.h"

#include "filesystem/WyFTPException.h"
#include "framework/InternetException.h"

#include <wininet.h>

DWORD InternetErrorNumber(FtpErrorCode code)
{
    switch (code) {
    case FtpErrorCode::none:
    case FtpErrorCode::sizeMismatch:  // the control's own errors
    case FtpErrorCode::keyRefused:
    case FtpErrorCode::keyFileUnreadable:
    case FtpErrorCode::noLoginMethod:
        return 0;
    case FtpErrorCode::timedOut:
        return ERROR_INTERNET_TIMEOUT;
    case FtpErrorCode::cancelled:
        return ERROR_INTERNET_OPERATION_CANCELLED;
    case FtpErrorCode::nameNotResolved:
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case FtpErrorCode::cannotConnect:
        return ERROR_INTERNET_CANNOT_CONNECT;
    case FtpErrorCode::connectionLost:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    case FtpErrorCode::connectionReset:
        return ERROR_INTERNET_CONNECTION_RESET;
    case FtpErrorCode::refused:
    case FtpErrorCode::brokenOff:
        return ERROR_INTERNET_EXTENDED_ERROR;
    case FtpErrorCode::loginRefused:
        return ERROR_INTERNET_LOGIN_FAILURE;
    case FtpErrorCode::busy:
        return ERROR_FTP_TRANSFER_IN_PROGRESS;
    case FtpErrorCode::invalidName:
        return ERROR_INVALID_NAME;
    case FtpErrorCode::tooLarge:
        return ERROR_NOT_ENOUGH_MEMORY;
    case FtpErrorCode::secureChannel:
        return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case FtpErrorCode::untrustedCertificate:
        return ERROR_INTERNET_INVALID_CA;
    case FtpErrorCode::certificateNameMismatch:
        return ERROR_INTERNET_SEC_CERT_CN_INVALID;
    case FtpErrorCode::certificateOutOfPeriod:
        return ERROR_INTERNET_SEC_CERT_DATE_INVALID;
    }
    return ERROR_INTERNET_INTERNAL_ERROR;
}

void RaiseFtpError(const FtpError& error)
{
    if (error == FtpErrorCode::cancelled)
        throw CTransferCancelled();
    if (error == FtpErrorCode::sizeMismatch)
        throw CWyFTPException(WyFTPErrorTransferSizeMismatch);
    if (error == FtpErrorCode::keyRefused)
        throw CWyFTPException(WyFTPErrorKeyRefused);
    if (error == FtpErrorCode::keyFileUnreadable)
        throw CWyFTPException(WyFTPErrorKeyFileUnreadable);
    if (error == FtpErrorCode::noLoginMethod)
        throw CWyFTPException(WyFTPErrorNoLoginMethod);
    const DWORD number = InternetErrorNumber(error.code);
    throw CInternetException(number, number == ERROR_INTERNET_EXTENDED_ERROR ? error.reply : std::string());
}
