// The file name a transfer gives its destination: the last component of the source.
#pragma once
#include "filesystem/WyPath.h"

// The last path component of source. Raises WyFTPErrorDirectoryTransfer
// when that names a directory by its form: empty (the source ends in "/"),
// "." or "..".
CWyPath TransferFileName(const CWyPath& source);

// directory with one trailing "/" removed, "/", and TransferFileName(source).
CWyPath DestinationFile(CWyPath directory, const CWyPath& source);
