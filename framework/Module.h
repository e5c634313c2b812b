// The module (DLL or executable) that this code is linked into.
#pragma once
#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

// Instance handle of the linked module: its resources and its registration
// always refer to the module the code lives in, with no global to set up.
inline HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }
