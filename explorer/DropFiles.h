// The shell's file drop format (CF_HDROP): read from a dropped data object, and made for a drag out.
#pragma once
#include <windows.h>
#include <oleidl.h>

#include <string>
#include <vector>

// Longest name taken from a drop, in characters; longer ones arrive cut.
constexpr UINT kMaxDroppedNameLength = 255;

// The file names a data object offers as CF_HDROP, in order, as Shift-JIS
// text. False when it offers no CF_HDROP.
bool ReadDroppedFiles(IDataObject* data, std::vector<std::string>& names);

// A DROPFILES block (GMEM_MOVEABLE) holding paths as 8-bit text: the
// 20-byte header, each path and its NUL, then one more NUL. Null when
// there are no paths or no memory.
HGLOBAL MakeDropFilesBlock(const std::vector<std::string>& paths);
