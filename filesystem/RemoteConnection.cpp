// What every server connection does the same way, whatever protocol it speaks.
#include "filesystem/RemoteConnection.h"

std::string CRemoteConnection::GetCurrentDirectoryAsURL() const
{
    const std::string directory = GetCurrentDirectory();
    return GetUrlPrefix() + (directory.empty() || directory[0] != '/' ? "/" : "") + directory;
}

CWyRemotePath DescribeRemotePath(CRemoteConnection& connection, const std::string& path, const CWyDirectoryEntry* known)
{
    if (!known)
        return connection.Describe(path);
    CWyRemotePath facts;
    facts.exists = true;
    facts.directory = known->type == CWyDirectoryEntry::kDirectory;
    facts.size = facts.directory || known->unresolvedLink ? -1 : static_cast<LONGLONG>(known->length);
    return facts;
}
