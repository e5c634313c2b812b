// Whether a local path names a directory, for the transfers that refuse directories.
#include "filesystem/DirectoryProbes.h"

#include "framework/FileFind.h"

int IsLocalDirectory(const char* path)
{
    CFileFind finder;
    if (!path || !finder.FindFile(path))
        return -1;
    finder.FindNextFile();
    return finder.IsDirectory() ? 1 : 0;
}
