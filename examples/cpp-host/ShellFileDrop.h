// Files offered the way the shell offers them at the end of a drag: a CF_HDROP block of wide paths.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

// A data object holding paths as a DROPFILES block, offered as format
// (CF_HDROP, unless a test wants data a drop target must refuse), with one
// reference for the caller.
IDataObject* NewShellFileDrop(const std::vector<std::wstring>& paths, CLIPFORMAT format = CF_HDROP);
