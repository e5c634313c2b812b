// The file name a transfer gives its destination: the last component of the source.
#include "filesystem/TransferFileName.h"

#include "filesystem/WyFTPException.h"

CWyPath TransferFileName(const CWyPath& source)
{
    // These names can only be directories (and would make the destination
    // the directory itself or its parent).
    CWyPath name = source.GetLastComponent();
    if (name.Str().empty() || name.Str() == "." || name.Str() == "..")
        throw CWyFTPException(WyFTPErrorDirectoryTransfer);
    return name;
}

CWyPath DestinationFile(CWyPath directory, const CWyPath& source)
{
    directory.RemoveTrailingSlash();
    return CWyPath(directory.Str() + "/" + TransferFileName(source).Str());
}
