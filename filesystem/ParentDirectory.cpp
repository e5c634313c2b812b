// The parent of a store directory: the path up to its last "/".
#include "filesystem/ParentDirectory.h"

#include "framework/ShiftJis.h"

CWyPath ParentDirectory(CWyPath directory)
{
    directory.RemoveTrailingSlash();
    std::string parent = directory.Str();
    const size_t slash = ShiftJis::FindLast(parent, '/');
    if (slash != std::string::npos)
        parent.erase(slash);
    return CWyPath(parent.empty() ? std::string("/") : parent);
}
