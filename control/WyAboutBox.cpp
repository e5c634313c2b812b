// The control's About box: dialog template 1, closed by OK, Escape or the close box.
#include "control/WyAboutBox.h"

#include "resources/resource.h"

INT_PTR CWyAboutBox::DoModal(HWND parent)
{
    return RunModalDialog(IDD_ABOUTBOX_WYFTP, parent);
}

LRESULT CWyAboutBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;  // the dialog manager puts the focus on OK
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam)))
            return TRUE;
        break;
    }
    return CWindow::WindowProc(message, wParam, lParam);
}

bool CWyAboutBox::OnCommand(int commandId)
{
    // Escape and the close box arrive as IDCANCEL.
    if (commandId != IDOK && commandId != IDCANCEL)
        return false;
    EndDialog(commandId);
    return true;
}
