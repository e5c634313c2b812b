// What a path on an FTP server is, learned with as few commands as the server allows.
#pragma once
#include "filesystem/RemoteConnection.h"

#include <string>

class CFtpSession;

// Asks, in this order, what answers first: SIZE (which servers answer for
// files only, following links), MLST, the listing of its parent. A name
// that none of them shows is taken as missing; nothing is probed by a
// command expected to fail. Raises what fails on the way (a connection
// lost, a name that cannot go on the wire) as the store raises it.
CWyRemotePath DescribeFtpPath(CFtpSession& session, const std::string& path);

// Whether the server takes path as its working directory; returns to where
// it was.
bool CanEnterFtpDirectory(CFtpSession& session, const std::string& path);
