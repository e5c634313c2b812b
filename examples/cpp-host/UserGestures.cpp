// What a user does with the mouse and keys, played on the control's list: a file dropped from the shell, a rename.
#include "UserGestures.h"

#include "ShellFileDrop.h"

#include <commctrl.h>
#include <ole2.h>
#include <cstring>

namespace {

BOOL CALLBACK TakeIfList(HWND window, LPARAM result)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wcscmp(name, WC_LISTVIEWW) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

HWND FindList(HWND frame)
{
    HWND found = nullptr;
    EnumChildWindows(frame, &TakeIfList, reinterpret_cast<LPARAM>(&found));
    return found;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

bool DropFileOnList(HWND frame, const std::wstring& path)
{
    const HWND list = FindList(frame);
    // Where a window's registered drop target is kept for drag sources.
    auto* target = list ? static_cast<IDropTarget*>(GetPropW(list, L"OleDropTargetInterface")) : nullptr;
    if (!target)
        return false;
    RECT client = {};
    GetClientRect(list, &client);
    POINT point = {client.right - 20, client.bottom - 20};
    ClientToScreen(list, &point);
    const POINTL at = {point.x, point.y};
    IDataObject* data = NewShellFileDrop({path});
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(data, MK_LBUTTON, at, &effect);
    effect = DROPEFFECT_COPY;
    target->DragOver(MK_LBUTTON, at, &effect);
    effect = DROPEFFECT_COPY;
    target->Drop(data, 0, at, &effect);
    data->Release();
    PumpMessages();
    return effect == DROPEFFECT_COPY;
}

bool RenameInList(HWND frame, const std::wstring& name, const std::wstring& newName)
{
    const HWND list = FindList(frame);
    if (!list)
        return false;
    LVFINDINFOW find = {};
    find.flags = LVFI_STRING;
    find.psz = name.c_str();
    const int row = static_cast<int>(SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(&find)));
    if (row < 0)
        return false;
    SetFocus(list);
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, WM_KEYDOWN, VK_F2, 1);
    const HWND editor = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0));
    if (!editor)
        return false;
    SetWindowTextW(editor, newName.c_str());
    SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
    PumpMessages();
    return true;
}
