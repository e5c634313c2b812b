// The modeless progress dialog of a long transfer: file name, progress bar and Cancel.
#include "explorer/WyTransferProgressDlg.h"

#include "filesystem/WyFileSystem.h"
#include "framework/CodePage932.h"
#include "resources/resource.h"

#include <commctrl.h>

CWyTransferProgressDlg::CWyTransferProgressDlg(CWyFileSystem* fileSystem, HWND parent)
    : m_fileSystem(fileSystem), m_parent(parent)
{
}

CWyTransferProgressDlg::~CWyTransferProgressDlg()
{
    // Here rather than in the base, so the window's last messages still
    // reach this class.
    DestroyWindow();
}

BOOL CWyTransferProgressDlg::Create()
{
    if (GetHwnd())
        return TRUE;
    // The template holds a progress bar, whose window class the common
    // controls library registers.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    return CreateDialogWindow(IDD_TRANSFER_PROGRESS, m_parent) != nullptr;
}

void CWyTransferProgressDlg::StepBy(int n)
{
    if (!GetHwnd())
        return;
    SendMessageW(m_progress, PBM_SETSTEP, static_cast<WPARAM>(n), 0);
    SendMessageW(m_progress, PBM_STEPIT, 0, 0);
}

BOOL CWyTransferProgressDlg::Show(POINT topLeft)
{
    if (!Create())
        return FALSE;
    SetWindowPos(GetHwnd(), HWND_TOP, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE);
    ShowWindow(GetHwnd(), SW_SHOW);
    return TRUE;
}

void CWyTransferProgressDlg::SetMessageText(const std::string& text)
{
    // Shift-JIS by code page 932 whatever the system's code page is.
    if (GetHwnd())
        SetWindowTextW(m_message, ToWide(text).c_str());
}

void CWyTransferProgressDlg::SetPercent(int percent)
{
    // A full bar is never shown: the dialog goes away instead.
    if (!GetHwnd() || percent >= 100)
        return;
    SendMessageW(m_progress, PBM_SETPOS, static_cast<WPARAM>(percent < 0 ? 0 : percent), 0);
}

BOOL CWyTransferProgressDlg::PreTranslateMessage(MSG* message)
{
    return GetHwnd() && message && IsDialogMessageW(GetHwnd(), message);
}

BOOL CWyTransferProgressDlg::OnInitDialog()
{
    m_cancel = GetDlgItem(GetHwnd(), IDCANCEL);
    m_message = GetDlgItem(GetHwnd(), IDC_PROGRESS_MESSAGE);
    m_progress = GetDlgItem(GetHwnd(), IDC_PROGRESS_BAR);
    return TRUE;
}

void CWyTransferProgressDlg::OnCancel()
{
    // The transfer notices the request before its next chunk; the window
    // goes now, the object when the transfer ends.
    if (m_fileSystem)
        m_fileSystem->AbortTransfer();
    DestroyWindow();
}

LRESULT CWyTransferProgressDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            break;
        OnCancel();
        return TRUE;
    }
    return CWindow::WindowProc(message, wParam, lParam);
}

void CWyTransferProgressDlg::OnFinalMessage()
{
    m_cancel = m_message = m_progress = nullptr;
}
