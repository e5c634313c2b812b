// What a user does with the mouse and keys, played on the control's list: a file dropped from the shell, a rename.
#pragma once

#include <windows.h>

#include <string>

// Drops the file at path (a Windows path) on an empty spot of the list in
// frame, as the shell does at the end of a drag: through the list's
// registered drop target, with the file offered as CF_HDROP. False when the
// list or its drop target cannot be found.
bool DropFileOnList(HWND frame, const std::wstring& path);

// Selects the list's row named name, presses F2, types newName and Enter:
// a rename by label editing. False when the row or the editor is missing.
bool RenameInList(HWND frame, const std::wstring& name, const std::wstring& newName);
