// The thread's last Internet library error, raised as CInternetException.
#pragma once
#include <windows.h>

// Raises the thread's last error as CInternetException with context 0. The
// number goes through FormatSystemErrorText, so a server's error reply is
// raised as 12003 and its text stays available as the last response.
[[noreturn]] void ThrowLastInternetError();
