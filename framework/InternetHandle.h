// The Internet library's port type, for headers that must not include wininet.h.
#pragma once
#include <windows.h>

// The same type wininet.h declares, so a source file may include both.
typedef WORD INTERNET_PORT;
