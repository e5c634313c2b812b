// The file name a transfer gives its destination: the last component of the source.
#pragma once
#include "filesystem/WyPath.h"

// The last path component of source. Raises WyFTPErrorNoFileName when that
// is no file name: empty (the source ends in "/"), "." or "..", which
// would make the destination the directory itself or its parent.
CWyPath TransferFileName(const CWyPath& source);

// directory with one trailing "/" removed, "/", and TransferFileName(source).
CWyPath DestinationFile(CWyPath directory, const CWyPath& source);
