// Empties the Internet library's URL cache, which keeps a copy of every FTP download.
#pragma once
#include <windows.h>

// Deletes every entry of the cache, and every file left in the cache's
// folders; returns how many files went. Wine's WinInet writes a copy of each
// FTP download into the cache without ever committing it to the index, so
// the index does not know these files: they are found on disk. Without this
// the disk fills (256 MiB per download) and later runs write into a fuller
// file system.
unsigned ClearUrlCache();
