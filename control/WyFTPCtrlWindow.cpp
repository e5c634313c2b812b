// The control's window: the explorer over its client area, the views' image lists, colours, mode and bar.
#include "control/WyFTPCtrl.h"

#include "explorer/WyExplorerWnd.h"
#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"
#include "framework/Gdi.h"
#include "framework/Module.h"
#include "resources/resource.h"

namespace {

constexpr UINT kExplorerId = 1;
// The keep-alive timer looks four times a second whether the connection has
// been silent for KeepAliveInterval, so NOOP goes at most a quarter second late.
constexpr UINT_PTR kKeepAliveTimer = 1;
constexpr UINT kKeepAliveTick = 250;

CImageList MakeIconList(int size)
{
    CImageList images = CImageList::Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 2);
    for (const UINT icon : {IDI_FOLDER, IDI_FILE}) {
        const auto handle = static_cast<HICON>(
            LoadImageW(ThisModule(), MAKEINTRESOURCEW(icon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        images.AddIcon(handle);
        DestroyIcon(handle);
    }
    return images;
}

CImageList MakeTreeImages()
{
    CImageList images = CImageList::Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 2);
    for (const UINT bitmap : {IDB_TREE_CLOSED, IDB_TREE_OPEN, IDB_TREE_ROOT}) {
        const CBitmap handle(static_cast<HBITMAP>(
            LoadImageW(ThisModule(), MAKEINTRESOURCEW(bitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        images.AddMasked(handle.Get(), RGB(255, 255, 255));
    }
    return images;
}

}  // namespace

CWyExplorerWnd* CWyFTPCtrl::Explorer()
{
    if (!m_pExplorer)
        EnsureWindow();
    return m_pExplorer.get();
}

bool CWyFTPCtrl::OnCreate()
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    auto explorer = std::make_unique<CWyExplorerWnd>(*this);
    RECT client;
    GetClientRect(GetHwnd(), &client);
    if (!explorer->CreateExplorer(client, GetHwnd(), kExplorerId, GetVisibleTree()))
        return true;  // the control still works without views
    m_pExplorer = std::move(explorer);
    m_pExplorer->SetBarPos(static_cast<int>(Number(L"TreeViewWidth")));
    if (CWyListView* list = m_pExplorer->GetListView()) {
        m_pExplorer->PrepareList();
        list->AttachImageList(MakeIconList(32), LVSIL_NORMAL);
        list->AttachImageList(MakeIconList(16), LVSIL_SMALL);
    }
    ApplyViewProperties();
    return true;
}

void CWyFTPCtrl::ApplyViewProperties()
{
    if (!m_pExplorer)
        return;
    m_pExplorer->ShowTree(GetVisibleTree());
    m_pExplorer->SetBarPos(static_cast<int>(Number(L"TreeViewWidth")));
    m_pExplorer->SetListViewMode(Number(L"ListViewMode"));
    // The tree's image list is made the first time the tree shows.
    if (GetVisibleTree())
        AttachTreeImages();
    ApplyBackColor(TranslateColor(GetBackColor()));
    ApplyForeColor(TranslateColor(GetForeColor()));
}

void CWyFTPCtrl::AttachTreeImages()
{
    CWyTreeView* tree = m_pExplorer ? m_pExplorer->GetTreeView() : nullptr;
    if (tree && !tree->HasImageList(TVSIL_NORMAL))
        tree->AttachImageList(MakeTreeImages(), TVSIL_NORMAL);
}

void CWyFTPCtrl::ApplyBackColor(COLORREF color)
{
    if (!m_pExplorer)
        return;
    if (CWyTreeView* tree = m_pExplorer->GetTreeView(); tree && GetVisibleTree())
        tree->Tree().SetBkColor(color);
    if (CWyListView* list = m_pExplorer->GetListView()) {
        list->List().SetBkColor(color);
        list->List().SetTextBkColor(color);
    }
}

void CWyFTPCtrl::ApplyForeColor(COLORREF color)
{
    if (!m_pExplorer)
        return;
    if (CWyTreeView* tree = m_pExplorer->GetTreeView(); tree && GetVisibleTree())
        tree->Tree().SetTextColor(color);
    if (CWyListView* list = m_pExplorer->GetListView())
        list->List().SetTextColor(color);
}

void CWyFTPCtrl::OnBackColorChanged()
{
    m_clrBack = TranslateColor(GetBackColor());
    ApplyBackColor(m_clrBack);
}

void CWyFTPCtrl::OnForeColorChanged()
{
    m_clrFore = TranslateColor(GetForeColor());
    ApplyForeColor(m_clrFore);
}

void CWyFTPCtrl::OnSize(int cx, int cy)
{
    if (m_pExplorer)
        MoveWindow(m_pExplorer->GetHwnd(), 0, 0, cx, cy, TRUE);
}

void CWyFTPCtrl::OnDestroy()
{
    m_pExplorer.reset();
}

void CWyFTPCtrl::StartKeepAlive()
{
    if (GetHwnd() && Number(L"KeepAliveInterval") > 0)
        SetTimer(GetHwnd(), kKeepAliveTimer, kKeepAliveTick, nullptr);
}

void CWyFTPCtrl::OnTimer(UINT_PTR id)
{
    if (id != kKeepAliveTimer)
        return;
    if (!m_pFileSystem || Number(L"KeepAliveInterval") == 0) {
        KillTimer(GetHwnd(), kKeepAliveTimer);
        return;
    }
    // Never within a call or a gesture: a transfer lets timers through.
    if (m_nCallDepth > 0 || m_bTransferring || m_nFileSystemUsers > 0)
        return;
    WithFileSystemInUse([this] { m_pFileSystem->KeepAlive(); });
}

void CWyFTPCtrl::OnSetFocus()
{
    // Keys typed into the control are meant for the file list.
    if (m_pExplorer && m_pExplorer->GetListView())
        SetFocus(m_pExplorer->GetListView()->GetHwnd());
}

void CWyFTPCtrl::OnDraw(HDC dc, const RECT& bounds)
{
    // The explorer covers the window; without one (a host drawing the
    // control as a picture) the background stands for it.
    if (!m_pExplorer)
        COleControl::OnDraw(dc, bounds);
}
