// The parent of a store directory: the path up to its last "/".
#pragma once
#include "filesystem/WyPath.h"

// One trailing "/" dropped, then everything from the last "/" on; "/" when
// nothing is left. A path without "/" (a relative name) is its own parent.
CWyPath ParentDirectory(CWyPath directory);
