// Whether a local or remote path names a directory, for the transfers that refuse directories.
#include "filesystem/DirectoryProbes.h"

#include "framework/FileFind.h"
#include "framework/FtpConnection.h"

#include <string>

int IsLocalDirectory(const char* path)
{
    CFileFind finder;
    if (!path || !finder.FindFile(path))
        return -1;
    finder.FindNextFile();
    return finder.IsDirectory() ? 1 : 0;
}

int IsRemoteDirectory(const char* path, CFtpConnection* connection)
{
    if (!path || !connection)
        return -1;
    // Listing a directory yields its entries, listing a file the file itself:
    // the entries cannot tell which it was (a directory whose first entry is
    // a file looks like that file, an empty one like nothing). Entering the
    // path can: only a directory can be made the working directory. It is
    // also far cheaper than a listing, which costs a data connection and
    // grows with the size of the directory.
    std::string saved;
    if (!connection->GetCurrentDirectory(saved))
        return -1;
    if (!connection->SetCurrentDirectory(path))
        return 0;
    connection->SetCurrentDirectory(saved.c_str());
    return 1;
}
