// English meanings of every error number hosts receive: the one place the reference takes them from.
// The reference's generator checks these lists against the control's own tables (the error messages,
// the type library's WyFTPErrorCode, the Internet numbers the FTP store raises) and refuses to write
// a reference while one of them lacks a number or holds a stale one.
#include "tools/reference/ErrorMeanings.h"

#include "filesystem/WyFTPException.h"
#include "resources/resource.h"

#include <wininet.h>

#define WYFTP_NAMED_NUMBER(number, meaning) {number, #number, meaning}

const std::vector<StatusMeaning>& StatusMeanings()
{
    static const std::vector<StatusMeaning> meanings = {
        {WyFTPScodeWin32, IDS_CATEGORY_WIN32,
         "A Windows call failed: a local file or directory could not be created, opened, read, written, renamed "
         "or removed, or the local disk could not be listed.",
         "the Windows error number (2 file not found, 3 path not found, 5 access denied, ...); "
         "GetErrorMessage() gives the system's text for it"},
        {WyFTPScodeInternet, IDS_CATEGORY_WININET,
         "The FTP connection failed, or the server refused an operation.",
         "an Internet library number (table below); GetErrorMessage() gives the server's reply for 12003 and the "
         "Internet library's text otherwise"},
        {WyFTPScodeOwn, IDS_CATEGORY_WYFTP,
         "The control refused the call itself: a name is missing, there is no connection, a directory was given "
         "where a file is needed, and so on.",
         "one of the control's own numbers (table below); GetErrorMessage() gives its message"},
        {WyFTPScodeOther, IDS_CATEGORY_OTHER,
         "Any other failure, such as running out of memory.",
         "unchanged: the number of the error before"},
    };
    return meanings;
}

const std::vector<NumberMeaning>& OwnErrorMeanings()
{
    static const std::vector<NumberMeaning> meanings = {
        {WyFTPErrorOther, "", "An error of the control's own that no other number describes."},
        {WyFTPErrorNoFileName, "",
         "The call needs a file or directory name and has none: an empty name argument, no file selected for "
         "GetFile, or no download directory."},
        {WyFTPErrorCreateObject, "",
         "Something the call needs could not be made: the store for ConnectTarget, the transfer buffer, or "
         "settings out of range (Port outside 1 to 65535, an unknown ServerEncoding, a bad port in an ftp URL)."},
        {WyFTPErrorConnectionExists, "", "Connect while connected: call DisConnect first."},
        {WyFTPErrorNotConnected, "", "The call needs the connection to the FTP server, and there is none."},
        {WyFTPErrorSessionFailed, "", "The Internet session could not be set up."},
        {WyFTPErrorNoServerName, "", "Connect has no server name: ServerName is empty and none was passed."},
        {WyFTPErrorNoFileSystem, "",
         "The call needs a connection (to an FTP server or to the local disk), and the control has none: "
         "call Connect first."},
        {WyFTPErrorLoginFailed, "",
         "The user name or password for an FTP site is missing: an ftp URL without its ?uid=...&pw=... part."},
        {WyFTPErrorKeyRefused, "",
         "SFTP: the SSH server did not accept the private key of PrivateKeyFile for UserName (the key is not "
         "among the account's authorized keys)."},
        {WyFTPErrorKeyFileUnreadable, "",
         "SFTP: PrivateKeyFile cannot be read as a private key: there is no such file, its form is unknown, or "
         "Password is not its passphrase."},
        {WyFTPErrorNoLoginMethod, "",
         "SFTP: the SSH server offers no way of logging in that the control has (password, keyboard-interactive, "
         "or publickey when PrivateKeyFile is set)."},
        {WyFTPErrorNoFiles, "", "The directory lists no entries: it is empty or cannot be listed."},
        {WyFTPErrorTopDirectory, "", "DirUp in the top directory: there is no directory above it."},
        {WyFTPErrorTransferAborted, "",
         "The transfer was stopped by AbortTransfer or by Cancel in the progress dialog."},
        {WyFTPErrorDirectoryTransfer, "",
         "A directory was given where a file is transferred: directories are not downloaded or uploaded whole."},
        {WyFTPErrorTransferSizeMismatch, "",
         "The server confirmed a transfer, but the bytes that moved do not add up to the file: a download received "
         "fewer or more bytes than the size the server gave before it (SIZE, its reply to RETR, or the listing), "
         "or after an upload the server's SIZE differs from the bytes sent. The connection was most likely cut; "
         "a partial download is deleted, and the connection stays usable."},
    };
    return meanings;
}

const std::vector<NumberMeaning>& InternetErrorMeanings()
{
    static const std::vector<NumberMeaning> meanings = {
        WYFTP_NAMED_NUMBER(ERROR_NOT_ENOUGH_MEMORY,
                           "A Windows number: a directory listing larger than the control holds in memory."),
        WYFTP_NAMED_NUMBER(ERROR_INVALID_NAME,
                           "A Windows number: a name that cannot go to the server as it is (with a UTF-8 server, a "
                           "name holding a character Shift-JIS does not have)."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_TIMEOUT,
                           "No answer in time: a connect or a server's reply took longer than Timeout seconds, or a "
                           "transfer or listing moved too little in a window of Timeout seconds. The connection is "
                           "then broken: later calls fail the same way until DisConnect and Connect."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_EXTENDED_ERROR,
                           "The server refused the command with an error reply; GetErrorMessage() gives that reply."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_INTERNAL_ERROR,
                           "A failure of the FTP client that has no more exact number."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_NAME_NOT_RESOLVED, "The server's name could not be resolved to an address."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_LOGIN_FAILURE, "The server did not accept the user name or password."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_OPERATION_CANCELLED,
                           "A wait for the server was cancelled by an abort request; a transfer stopped that way "
                           "reports 20202 instead."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_CANNOT_CONNECT,
                           "No connection to the server could be made, or no data connection for a transfer or "
                           "listing."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_CONNECTION_ABORTED,
                           "The server closed or broke the connection, or does not speak FTP."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_CONNECTION_RESET, "The server reset the connection."),
        WYFTP_NAMED_NUMBER(ERROR_FTP_TRANSFER_IN_PROGRESS,
                           "A transfer or listing is still open on the connection."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_INVALID_CA,
                           "A secure connection was refused before the login: the server's certificate has no chain "
                           "to a trusted root, differs from CertificatePin, or the ServerCertificate handler refused it; "
                           "over SFTP, the host key differs from CertificatePin or, without a pin, the handler did "
                           "not accept it."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_SEC_CERT_CN_INVALID,
                           "A secure connection was refused before the login: the server's certificate names another "
                           "host than ServerName."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_SEC_CERT_DATE_INVALID,
                           "A secure connection was refused before the login: the server's certificate has expired or "
                           "is not valid yet."),
        WYFTP_NAMED_NUMBER(ERROR_INTERNET_SECURITY_CHANNEL_ERROR,
                           "The TLS handshake or a TLS record failed: the server speaks no TLS on that port, or the "
                           "platform and the server agree on no protocol or cipher."),
    };
    return meanings;
}
