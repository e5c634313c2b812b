// What a path on an FTP server is, learned with as few commands as the server allows.
#include "filesystem/RemotePath.h"

#include "filesystem/InternetError.h"
#include "ftp/FtpSession.h"
#include "ftp/ListingReader.h"

#include <optional>
#include <vector>

namespace {

void Check(const FtpError& error)
{
    if (error)
        RaiseFtpError(error);
}

CWyRemotePath FromEntry(FtpEntry::Kind kind, ULONGLONG size)
{
    CWyRemotePath facts;
    facts.exists = true;
    facts.directory = kind == FtpEntry::Kind::directory;
    facts.size = facts.directory || kind == FtpEntry::Kind::link ? -1 : static_cast<LONGLONG>(size);
    return facts;
}

}  // namespace

CWyRemotePath DescribeFtpPath(CFtpSession& session, const std::string& path)
{
    // SIZE first: it follows links to the target's size, where servers
    // describe a link by MLST with the link's own size or as a link.
    std::string wire;
    Check(session.Names().ToWire(path, wire));
    std::optional<ULONGLONG> size;
    Check(session.FileSize(wire, size));
    if (size)
        return FromEntry(FtpEntry::Kind::file, *size);
    std::optional<FtpEntry> described;
    Check(DescribePath(session, path, described));
    if (described)
        return FromEntry(described->kind, described->size);
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    std::vector<FtpEntry> entries;
    if (const FtpError error = ListDirectory(session, parent, entries)) {
        // A parent the server refuses holds no such name; anything else fails.
        if (error != FtpErrorCode::refused)
            RaiseFtpError(error);
        return {};
    }
    for (const FtpEntry& listed : entries) {
        if (listed.name == name)
            return FromEntry(listed.kind, listed.size);
    }
    return {};
}

bool CanEnterFtpDirectory(CFtpSession& session, const std::string& path)
{
    std::string here;
    if (session.WorkingDirectory(here) || session.ChangeDirectory(path))
        return false;
    session.ChangeDirectory(here);
    return true;
}
