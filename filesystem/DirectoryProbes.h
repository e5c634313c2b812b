// Whether a local or remote path names a directory, for the transfers that refuse directories.
#pragma once

class CFtpConnection;

// 1 for a directory, 0 for something else that exists, -1 when the path
// cannot be found.
int IsLocalDirectory(const char* path);
// 1 for a directory the connection can enter, 0 for anything else (a file,
// or nothing: the transfers only ask whether it is a directory, and telling
// a missing path from a file would cost a listing), -1 when the connection
// fails.
int IsRemoteDirectory(const char* path, CFtpConnection* connection);
