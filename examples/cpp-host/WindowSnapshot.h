// Saves what a window shows, its frame included, as a PNG file.
#pragma once

#include <windows.h>

#include <string>

// Copies the window's pixels as they are on screen and writes them through
// the Windows Imaging Component's PNG encoder; S_OK when the file is written.
// COM must be initialised on the calling thread.
HRESULT SaveWindowAsPng(HWND window, const std::wstring& path);
