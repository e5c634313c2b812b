// The size of a file on an FTP server: its SIZE answer, or its listing.
#include "filesystem/RemoteFileSize.h"

#include "filesystem/FtpConnection.h"
#include "filesystem/FtpFileFind.h"

LONGLONG FindRemoteFileSize(CFtpConnection* connection, const char* name)
{
    // The server's SIZE answer first: a listing costs a data connection and
    // grows with the directory. Servers without SIZE are asked by listing.
    ULONGLONG size = 0;
    if (name && connection && connection->GetFileSize(name, size))
        return static_cast<LONGLONG>(size);
    if (!name || !connection)
        return -1;
    CFtpFileFind finder(*connection);
    if (!finder.FindFile(name))
        return -1;
    finder.FindNextFile();
    return static_cast<LONGLONG>(finder.GetLength());
}
