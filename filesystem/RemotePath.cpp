// What a path on an FTP server is, learned with as few commands as the server allows.
#include "filesystem/RemotePath.h"

#include "filesystem/FtpConnection.h"
#include "ftp/FtpSession.h"
#include "ftp/ListingReader.h"

#include <vector>

namespace {

CWyRemotePath FromEntry(FtpEntry::Kind kind, ULONGLONG size)
{
    CWyRemotePath facts;
    facts.exists = true;
    facts.directory = kind == FtpEntry::Kind::directory;
    facts.size = facts.directory || kind == FtpEntry::Kind::link ? -1 : static_cast<LONGLONG>(size);
    return facts;
}

}  // namespace

CWyRemotePath DescribeRemotePath(CFtpConnection& connection, const std::string& path, const CWyDirectoryEntry* known)
{
    if (known) {
        CWyRemotePath facts;
        facts.exists = true;
        facts.directory = known->type == CWyDirectoryEntry::kDirectory;
        facts.size = facts.directory || known->unresolvedLink ? -1 : static_cast<LONGLONG>(known->length);
        return facts;
    }
    // SIZE first: it follows links to the target's size, where servers
    // describe a link by MLST with the link's own size or as a link.
    CFtpSession& session = connection.Session();
    ULONGLONG size = 0;
    if (connection.GetFileSize(path.c_str(), size))
        return FromEntry(FtpEntry::Kind::file, size);
    FtpEntry entry;
    FtpError failure;
    if (!session.IsBroken() && DescribePath(session, path, entry, failure))
        return FromEntry(entry.kind, entry.size);
    const size_t slash = path.rfind('/');
    if (session.IsBroken() || slash == std::string::npos)
        return {};
    const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    std::vector<FtpEntry> entries;
    bool cutOff = false;
    if (ListDirectory(session, parent, entries, cutOff))
        return {};
    for (const FtpEntry& listed : entries) {
        if (listed.name == name)
            return FromEntry(listed.kind, listed.size);
    }
    return {};
}

bool CanEnterRemoteDirectory(CFtpConnection& connection, const std::string& path)
{
    CFtpSession& session = connection.Session();
    std::string here;
    if (session.WorkingDirectory(here) || session.ChangeDirectory(path))
        return false;
    session.ChangeDirectory(here);
    return true;
}
