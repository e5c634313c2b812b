// Whether a local or remote path names a directory, for the transfers that refuse directories.
#pragma once

class CFtpConnection;

// Both return 1 for a directory, 0 for something else that exists, and -1
// when the path cannot be found (or, remotely, the connection fails).
int IsLocalDirectory(const char* path);
int IsRemoteDirectory(const char* path, CFtpConnection* connection);
