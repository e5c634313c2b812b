// The program's own errors: codes, their Japanese messages and the exception that carries one.
#include "filesystem/WyFTPException.h"

#include "framework/CodePage932.h"
#include "resources/resource.h"

#include <array>

namespace {

struct ErrorEntry {
    int code;
    unsigned messageId;
};

constexpr std::array<ErrorEntry, 17> kErrors = {{
    {WyFTPErrorOther, IDS_ERROR_OTHER},
    {WyFTPErrorNoFileName, IDS_ERROR_NO_FILE_NAME},
    {WyFTPErrorCreateObject, IDS_ERROR_CREATE_OBJECT},
    {WyFTPErrorConnectionExists, IDS_ERROR_CONNECTION_EXISTS},
    {WyFTPErrorNotConnected, IDS_ERROR_NOT_CONNECTED},
    {WyFTPErrorSessionFailed, IDS_ERROR_SESSION_FAILED},
    {WyFTPErrorNoServerName, IDS_ERROR_NO_SERVER_NAME},
    {WyFTPErrorNoFileSystem, IDS_ERROR_NO_FILE_SYSTEM},
    {WyFTPErrorLoginFailed, IDS_ERROR_LOGIN_FAILED},
    {WyFTPErrorKeyRefused, IDS_ERROR_KEY_REFUSED},
    {WyFTPErrorKeyFileUnreadable, IDS_ERROR_KEY_FILE_UNREADABLE},
    {WyFTPErrorNoLoginMethod, IDS_ERROR_NO_LOGIN_METHOD},
    {WyFTPErrorNoFiles, IDS_ERROR_NO_FILES},
    {WyFTPErrorTopDirectory, IDS_ERROR_TOP_DIRECTORY},
    {WyFTPErrorTransferAborted, IDS_ERROR_TRANSFER_ABORTED},
    {WyFTPErrorDirectoryTransfer, IDS_ERROR_DIRECTORY_TRANSFER},
    {WyFTPErrorTransferSizeMismatch, IDS_ERROR_TRANSFER_SIZE_MISMATCH},
}};

}  // namespace

unsigned ErrorMessageId(int errorCode)
{
    for (const ErrorEntry& entry : kErrors) {
        if (entry.code == errorCode)
            return entry.messageId;
    }
    return 0;
}

std::string GetErrorText(int errorCode)
{
    std::string text = LoadResourceString(IDS_ERROR_PREFIX);
    if (const unsigned id = ErrorMessageId(errorCode))
        text += LoadResourceString(id);
    return text;
}
