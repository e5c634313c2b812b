// Whether a local path names a directory, for the transfers that refuse directories.
#pragma once

// 1 for a directory, 0 for something else that exists, -1 when the path
// cannot be found.
int IsLocalDirectory(const char* path);
