// What a path on an FTP server is, learned with as few commands as the server allows.
#pragma once
#include "filesystem/WyDirectoryEntry.h"

#include <windows.h>

#include <string>

class CFtpConnection;

struct CWyRemotePath {
    bool exists = false;
    bool directory = false;
    LONGLONG size = -1;  // a file's size, -1 when unknown
};

// Asks, in this order, what answers first: the path's entry in a listing
// the caller already holds (known, may be null), SIZE (which servers answer
// for files only, following links), MLST, the listing of its parent. A
// name that none of them shows is taken as missing; nothing is probed by a
// command expected to fail. Raises what fails on the way (a connection
// lost, a name that cannot go on the wire) as the store raises it.
CWyRemotePath DescribeRemotePath(CFtpConnection& connection, const std::string& path,
                                 const CWyDirectoryEntry* known = nullptr);

// Whether the server takes path as its working directory, for a path no
// listing shows (a server may hide some); returns to where it was.
bool CanEnterRemoteDirectory(CFtpConnection& connection, const std::string& path);
