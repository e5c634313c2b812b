// Turns the entries of a directory finder into listing entries.
#pragma once
#include "filesystem/WyDirectoryEntry.h"

class CFileFind;

// Appends every entry of a finder whose FindFile succeeded, in the order the
// finder returns them, "." and ".." included.
void AppendFoundEntries(CFileFind& finder, CWyFileList* files);
