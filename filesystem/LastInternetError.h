// The thread's last Internet library error, as a number and raised as CInternetException.
#pragma once
#include <windows.h>

// The thread's last error number; when it is 12003 (the FTP server sent an
// error reply), the number the Internet library reports with that reply
// instead, or 12003 when it reports none.
DWORD GetLastInternetError();

// Raises the thread's last error as CInternetException with context 0. The
// number goes through FormatSystemErrorText, so a server's error reply is
// raised as 12003 and its text stays available as the last response.
[[noreturn]] void ThrowLastInternetError();
