// Whether a local or remote path names a directory, for the transfers that refuse directories.
#include "filesystem/DirectoryProbes.h"

#include "filesystem/FtpConnection.h"
#include "framework/FileFind.h"
#include "framework/InternetException.h"
#include "ftp/FtpSession.h"

#include <string>

namespace {

// Whether the server takes path as its working directory; a refusal is an answer, not a failure.
bool Enter(CFtpSession& session, const std::string& path)
{
    std::string wire;
    return !session.ToWire(path, wire) && !session.Expect("CWD " + wire);
}

}  // namespace

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
    try {
        saved = connection->GetCurrentDirectory();
    } catch (const CInternetException&) {
        return -1;
    }
    if (!Enter(connection->Session(), path))
        return 0;
    Enter(connection->Session(), saved);
    return 1;
}
