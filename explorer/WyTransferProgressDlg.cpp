// The modeless progress dialog of a long transfer: file name, progress bar and Cancel.
#include "explorer/WyTransferProgressDlg.h"

#include "filesystem/WyFileSystem.h"
#include "framework/CodePage932.h"
#include "framework/Module.h"
#include "resources/resource.h"

#include <commctrl.h>

CWyTransferProgressDlg::CWyTransferProgressDlg(CWyFileSystem* fileSystem, HWND parent)
    : m_pFileSystem(fileSystem), m_hParent(parent)
{
}

CWyTransferProgressDlg::~CWyTransferProgressDlg()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

BOOL CWyTransferProgressDlg::Create()
{
    if (m_hWnd)
        return TRUE;
    // The template holds a progress bar, whose window class the common
    // controls library registers.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    CreateDialogParamA(ThisModule(), MAKEINTRESOURCEA(IDD_TRANSFER_PROGRESS), m_hParent, DialogProc,
                       reinterpret_cast<LPARAM>(this));
    return m_hWnd != nullptr;
}

void CWyTransferProgressDlg::StepBy(int n)
{
    if (!m_hWnd)
        return;
    SendMessageA(m_hProgress, PBM_SETSTEP, static_cast<WPARAM>(n), 0);
    SendMessageA(m_hProgress, PBM_STEPIT, 0, 0);
}

BOOL CWyTransferProgressDlg::Show(POINT topLeft)
{
    if (!Create())
        return FALSE;
    SetWindowPos(m_hWnd, HWND_TOP, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE);
    ShowWindow(m_hWnd, SW_SHOW);
    return TRUE;
}

void CWyTransferProgressDlg::SetMessageText(const std::string& text)
{
    // Shift-JIS by code page 932 whatever the system's code page is.
    if (m_hWnd)
        SetWindowTextW(m_hMessage, ToWide(text).c_str());
}

void CWyTransferProgressDlg::SetPercent(int percent)
{
    // A full bar is never shown: the dialog goes away instead.
    if (!m_hWnd || percent >= 100)
        return;
    SendMessageA(m_hProgress, PBM_SETPOS, static_cast<WPARAM>(percent < 0 ? 0 : percent), 0);
}

BOOL CWyTransferProgressDlg::PreTranslateMessage(MSG* message)
{
    return m_hWnd && message && IsDialogMessageA(m_hWnd, message);
}

BOOL CWyTransferProgressDlg::OnInitDialog()
{
    m_hCancel = GetDlgItem(m_hWnd, IDCANCEL);
    m_hMessage = GetDlgItem(m_hWnd, IDC_PROGRESS_MESSAGE);
    m_hProgress = GetDlgItem(m_hWnd, IDC_PROGRESS_BAR);
    return TRUE;
}

void CWyTransferProgressDlg::OnCancel()
{
    // The transfer notices the request before its next chunk; the window
    // goes now, the object when the transfer ends.
    if (m_pFileSystem)
        m_pFileSystem->AbortTransfer();
    DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CWyTransferProgressDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CWyTransferProgressDlg*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<CWyTransferProgressDlg*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!dialog)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        dialog->OnCancel();
        return TRUE;
    case WM_NCDESTROY:
        dialog->m_hWnd = nullptr;
        dialog->m_hCancel = dialog->m_hMessage = dialog->m_hProgress = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}
