// The Internet library's handle and port types, for headers that must not include wininet.h.
#pragma once
#include <windows.h>

// The same types wininet.h declares, so a source file may include both.
typedef void* HINTERNET;
typedef WORD INTERNET_PORT;
