// A horizontal two-pane container: left pane, a bar the user drags, right pane.
#include "explorer/WyHSplitterWnd.h"

#include "explorer/WyBarTracker.h"
#include "framework/Gdi.h"

#include <windowsx.h>

namespace {
constexpr wchar_t kSplitterClass[] = L"WyFTPSplitter";

void MovePane(CWindow* pane, int x, int y, int width, int height)
{
    if (pane && pane->GetHwnd())
        MoveWindow(pane->GetHwnd(), x, y, width, height, FALSE);
}
}  // namespace

BOOL CWyHSplitterWnd::CreateSplitter(DWORD style, const RECT& rect, HWND parent, UINT id, BOOL showLeftPane)
{
    if (GetHwnd())
        return FALSE;
    m_showLeftPane = showLeftPane;
    return CreateOwnWindow(kSplitterClass, CS_DBLCLKS, 0, L"WyHSplitterWnd", style | WS_CHILD | WS_CLIPCHILDREN,
                           rect, parent, id) != nullptr;
}

BOOL CWyHSplitterWnd::ShowLeftPane(BOOL show)
{
    show = show ? TRUE : FALSE;
    if (!GetHwnd() || show == m_showLeftPane)
        return FALSE;
    m_showLeftPane = show;
    if (m_leftPane && m_leftPane->GetHwnd())
        ShowWindow(m_leftPane->GetHwnd(), show ? SW_SHOW : SW_HIDE);
    RecalcLayout();
    return TRUE;
}

BOOL CWyHSplitterWnd::SetBarPos(int x)
{
    if (!GetHwnd() || x == m_rectBar.left)
        return FALSE;
    OffsetRect(&m_rectBar, x - m_rectBar.left, 0);
    if (m_showLeftPane)
        RecalcLayout();
    return TRUE;
}

void CWyHSplitterWnd::RecalcLayout()
{
    RECT client;
    GetClientRect(GetHwnd(), &client);
    const int width = client.right;
    const int height = client.bottom;
    if (m_showLeftPane) {
        MovePane(m_leftPane, 0, 0, m_rectBar.left, height);
        MovePane(m_rightPane, m_rectBar.right, 0, width - m_rectBar.right, height);
    } else {
        MovePane(m_rightPane, 0, 0, width, height);
    }
    // Every layout repaints the bar and both panes whole: a pane moved
    // with the bits it had would keep drawings of its old place.
    RepaintWhole(GetHwnd());
}

BOOL CWyHSplitterWnd::DestroyPanes()
{
    if (m_leftPane) {
        if (!DestroyLeftPane(m_leftPane))
            return FALSE;
        m_leftPane = nullptr;
    }
    if (m_rightPane) {
        if (!DestroyRightPane(m_rightPane))
            return FALSE;
        m_rightPane = nullptr;
    }
    return TRUE;
}

BOOL CWyHSplitterWnd::DestroySplitter()
{
    if (!GetHwnd() || !DestroyPanes())
        return FALSE;
    return DestroyWindow();
}

BOOL CWyHSplitterWnd::DestroyLeftPane(CWindow* pane)
{
    return pane->GetHwnd() ? pane->DestroyWindow() : TRUE;
}

BOOL CWyHSplitterWnd::DestroyRightPane(CWindow* pane)
{
    return pane->GetHwnd() ? pane->DestroyWindow() : TRUE;
}

BOOL CWyHSplitterWnd::CreateLeftPane(CWindow** pane)
{
    *pane = nullptr;
    return FALSE;
}

BOOL CWyHSplitterWnd::CreateRightPane(CWindow** pane)
{
    *pane = nullptr;
    return FALSE;
}

LRESULT CWyHSplitterWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(wParam, lParam);
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_PAINT:
        if (!m_showLeftPane)
            break;
        OnPaint();
        return 0;
    case WM_SIZE:
        OnSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        if (OnLButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return 0;
        break;
    case WM_SETCURSOR:
        if (OnSetCursor())
            return TRUE;
        break;
    }
    return CWindow::WindowProc(message, wParam, lParam);
}

LRESULT CWyHSplitterWnd::OnCreate(WPARAM wParam, LPARAM lParam)
{
    // Failures of the panes are not the splitter's: it lays out what exists.
    CreateLeftPane(&m_leftPane);
    CreateRightPane(&m_rightPane);
    int width = 0;
    int x = 0;
    GetBarWidth(&width);
    GetInitialBarPos(&x);
    m_rectBar = {x, 0, x + width - 1, 0};
    return DefaultProc(WM_CREATE, wParam, lParam);
}

void CWyHSplitterWnd::OnDestroy()
{
    DestroyPanes();
}

void CWyHSplitterWnd::OnPaint()
{
    CPaintDC dc(GetHwnd());
    FillRect(dc.Get(), &m_rectBar, GetSysColorBrush(COLOR_BTNFACE));
}

void CWyHSplitterWnd::OnSize(int cx, int cy)
{
    // The bar stays inside the window, its width kept; it grows to the
    // window's height and never shrinks.
    const int limit = cx - 1 - (m_rectBar.right - m_rectBar.left);
    if (m_rectBar.left > limit)
        OffsetRect(&m_rectBar, limit - m_rectBar.left, 0);
    if (m_rectBar.bottom < cy)
        m_rectBar.bottom = cy;
    RecalcLayout();
}

bool CWyHSplitterWnd::OnLButtonDown(POINT point)
{
    if (!m_showLeftPane || !PtInRect(&m_rectBar, point))
        return false;
    RECT client;
    GetClientRect(GetHwnd(), &client);
    RECT tracked = m_rectBar;
    CWyBarTracker tracker(GetHwnd());
    if (tracker.Track(client, point, m_rectBar, &tracked, TRUE)) {
        m_rectBar = tracked;
        RecalcLayout();
    }
    return true;
}

bool CWyHSplitterWnd::OnSetCursor()
{
    if (!m_showLeftPane)
        return false;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(GetHwnd(), &cursor);
    if (!PtInRect(&m_rectBar, cursor))
        return false;
    SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
    return true;
}
