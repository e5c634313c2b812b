// The size of a file on an FTP server, from its listing.
#pragma once
#include <windows.h>

class CFtpConnection;

// The length the server lists for name (the first entry when it lists
// several), or -1 when it lists nothing.
LONGLONG FindRemoteFileSize(CFtpConnection* connection, const char* name);
