// The size of a file on an FTP server, from its listing.
#include "filesystem/RemoteFileSize.h"

#include "framework/FtpFileFind.h"

LONGLONG FindRemoteFileSize(CFtpConnection* connection, const char* name, DWORD_PTR context)
{
    CFtpFileFind finder(connection, context);
    if (!name || !finder.FindFile(name, CFtpFileFind::reload))
        return -1;
    finder.FindNextFile();
    return static_cast<LONGLONG>(finder.GetLength());
}
