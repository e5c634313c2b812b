// The explorer's left pane: a tree-view control whose gestures become the explorer's tree hooks.
#include "explorer/WyTreeView.h"

#include "explorer/DropFiles.h"
#include "explorer/EditedLabel.h"
#include "explorer/WyDragDetector.h"
#include "explorer/WyDragSource.h"
#include "explorer/WyExplorerWnd.h"

#include <windowsx.h>

BOOL CWyTreeView::Create(DWORD exStyle, DWORD style, HWND parent, UINT id)
{
    style |= WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS;
    const RECT anywhere = {0, 0, 0, 0};  // the splitter's first layout places it
    if (!CreateSubclassed(WC_TREEVIEWW, exStyle, style, anywhere, parent, id))
        return FALSE;
    m_dropTarget.Register(GetHwnd(), *this);
    return TRUE;
}

void CWyTreeView::AttachImageList(CImageList images, int which)
{
    CImageList& slot = which == TVSIL_STATE ? m_stateImages : m_normalImages;
    Tree().SetImageList(images.Get(), which);
    slot = std::move(images);
}

bool CWyTreeView::HasImageList(int which) const
{
    return static_cast<bool>(which == TVSIL_STATE ? m_stateImages : m_normalImages);
}

LRESULT CWyTreeView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_LBUTTONDBLCLK:
        CancelEdit();
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_KEYUP:
        if (m_pExplorer->OnTreeKeyUp(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return 0;
        break;
    case WM_CHAR:
        if (m_pExplorer->OnTreeChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return 0;
        break;
    case WM_TIMER:
        // The control's own timers (its click-to-edit among them) never
        // run: label editing starts from the view's timer only.
        OnTimer(wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;  // Enter, Delete and F2 belong to the view, also inside dialogs
    case kReflectedNotify:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    }
    return CWindow::WindowProc(message, wParam, lParam);
}

LRESULT CWyTreeView::OnNotify(const NMHDR& header)
{
    switch (header.code) {
    case NM_CLICK:
        OnClick();
        return 0;
    case TVN_BEGINDRAGW:
        BeginDrag();
        return 0;
    case TVN_BEGINLABELEDITW: {
        const auto& info = reinterpret_cast<const NMTVDISPINFOW&>(header);
        if (!info.item.hItem)
            return FALSE;
        return m_pExplorer->OnTreeBeginLabelEdit(info.item.hItem) > 0 ? FALSE : TRUE;
    }
    case TVN_ENDLABELEDITW: {
        const auto& info = reinterpret_cast<const NMTVDISPINFOW&>(header);
        return FinishLabelEdit(info.item.pszText, [&](const std::string* text, BOOL* reject) {
            m_pExplorer->OnTreeEndLabelEdit(info.item.hItem, text, reject);
        });
    }
    case TVN_ITEMEXPANDINGW: {
        const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (info.itemNew.hItem)
            m_pExplorer->OnTreeItemExpanding(info.itemNew.hItem);
        return FALSE;
    }
    case TVN_GETDISPINFOW: {
        // Items whose children are not known yet, as they are first shown.
        auto& info = const_cast<NMTVDISPINFOW&>(reinterpret_cast<const NMTVDISPINFOW&>(header));
        if ((info.item.mask & TVIF_CHILDREN) && info.item.hItem) {
            const int children = m_pExplorer->OnTreeItemChildren(info.item.hItem);
            info.item.cChildren = children != 0;
            // Not known yet: asked again the next time.
            if (children >= 0)
                info.item.mask |= TVIF_DI_SETITEM;
        }
        return 0;
    }
    case TVN_SELCHANGEDW: {
        const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (info.itemNew.hItem)
            m_pExplorer->OnTreeSelChanged(info.itemNew.hItem);
        return 0;
    }
    }
    return 0;
}

void CWyTreeView::OnDestroy()
{
    m_dropTarget.Revoke();
    m_zones.StopAll(GetHwnd());
    CancelEdit();
    CancelExpand();
    // The control never frees its image lists; the view owns them.
    Tree().SetImageList(nullptr, TVSIL_NORMAL);
    Tree().SetImageList(nullptr, TVSIL_STATE);
    m_normalImages.Destroy();
    m_stateImages.Destroy();
}

// A click on the label of the item that is already selected, while the
// view has the focus, arms label editing; the click's NM_CLICK starts the
// timer, and a double click or another click meanwhile cancels it.
void CWyTreeView::OnLButtonDown(POINT point)
{
    CancelEdit();
    UINT flags = 0;
    const HTREEITEM hit = Tree().HitTest(point, &flags);
    if (GetFocus() == GetHwnd() && hit && hit == Tree().GetSelectedItem() && (flags & TVHT_ONITEMLABEL))
        m_hEditCandidate = hit;
}

void CWyTreeView::OnClick()
{
    const HTREEITEM caret = Tree().GetSelectedItem();
    if (GetFocus() != GetHwnd())
        SetFocus(GetHwnd());
    if (caret && caret == m_hEditCandidate)
        SetTimer(GetHwnd(), kEditTimer, kEditDelay, nullptr);
    else
        CancelEdit();
}

void CWyTreeView::CancelEdit()
{
    KillTimer(GetHwnd(), kEditTimer);
    m_hEditCandidate = nullptr;
}

void CWyTreeView::CancelExpand()
{
    KillTimer(GetHwnd(), kExpandTimer);
    m_hExpandCandidate = nullptr;
}

void CWyTreeView::OnTimer(UINT_PTR id)
{
    const CTreeCtrl tree = Tree();
    switch (id) {
    case CScrollZones::kTop:
        if (const HTREEITEM first = tree.GetFirstVisibleItem()) {
            if (const HTREEITEM before = tree.GetPrevVisibleItem(first))
                tree.EnsureVisible(before);
        }
        break;
    case CScrollZones::kBottom: {
        // The item just below the last whole line comes into view.
        RECT client = {};
        GetClientRect(GetHwnd(), &client);
        const int height = tree.GetItemHeight();
        const int lines = height > 0 ? (client.bottom - client.top) / height : 0;
        HTREEITEM item = tree.GetFirstVisibleItem();
        for (int step = 0; item && step < lines; ++step) {
            const HTREEITEM next = tree.GetNextVisibleItem(item);
            if (!next)
                break;
            item = next;
        }
        if (lines > 0 && item)
            tree.EnsureVisible(item);
        break;
    }
    case CScrollZones::kLeft:
    case CScrollZones::kRight: {
        POINT cursor = {};
        GetCursorPos(&cursor);
        ScreenToClient(GetHwnd(), &cursor);
        if (const HTREEITEM item = tree.HitTest(cursor))
            tree.EnsureVisible(item);
        break;
    }
    case kExpandTimer:
        if (m_hExpandCandidate)
            tree.Expand(m_hExpandCandidate, TVE_EXPAND);
        CancelExpand();
        return;
    case kEditTimer: {
        const HTREEITEM item = m_hEditCandidate;
        CancelEdit();
        if (item)
            tree.EditLabel(item);
        return;
    }
    default:
        return;
    }
    m_zones.Stop(GetHwnd(), static_cast<UINT>(id));
}

void CWyTreeView::OnRButtonDown(POINT point)
{
    const HTREEITEM item = Tree().HitTest(point);
    if (GetFocus() != GetHwnd())
        SetFocus(GetHwnd());
    if (!item) {
        DefaultProc(WM_RBUTTONDOWN, 0, MAKELPARAM(point.x, point.y));
        return;
    }
    if (GetFocus() == GetHwnd())
        Tree().SelectDropTarget(item);
    MSG end = {};
    if (DetectDrag(GetHwnd(), WM_RBUTTONDOWN, point, &end))
        BeginDrag();
    else if (end.message == WM_RBUTTONUP)
        m_pExplorer->OnTreeRightClick(point);
    if (GetFocus() == GetHwnd())
        Tree().SelectDropTarget(nullptr);
}

void CWyTreeView::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (m_pExplorer->OnTreeKeyDown(key, repeat, flags))
        return;
    const HTREEITEM caret = Tree().GetSelectedItem();
    if (key == VK_DELETE && caret)
        m_pExplorer->OnTreeDeleteKey(caret);
    else if (key == VK_F2 && caret)
        Tree().EditLabel(caret);
    DefaultProc(WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
}

void CWyTreeView::BeginDrag()
{
    std::vector<std::string> paths;
    if (m_pExplorer->OnTreeBeginDrag(paths)) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        POINT client = cursor;
        ScreenToClient(GetHwnd(), &client);
        if (Tree().HitTest(client) && !paths.empty())
            RunDragOut(GetHwnd(), paths, cursor);
    }
    m_zones.StopAll(GetHwnd());
    CancelEdit();
    CancelExpand();
}

DWORD CWyTreeView::OnDragEnter(IDataObject*, DWORD, POINT)
{
    m_pExplorer->OpenDropEffect();
    return DROPEFFECT_NONE;
}

DWORD CWyTreeView::OnDragOver(IDataObject* data, DWORD keyState, POINT point)
{
    DWORD* effect = m_pExplorer->GetDropEffect();
    if (!effect)
        return DROPEFFECT_NONE;
    *effect = m_pExplorer->OnTreeDragOver(data, keyState, point);

    // An item with children opens when the drag rests on it.
    const CTreeCtrl tree = Tree();
    const HTREEITEM item = tree.HitTest(point);
    if (!item || !tree.ItemHasChildren(item)) {
        CancelExpand();
    } else if (item != m_hExpandCandidate) {
        SetTimer(GetHwnd(), kExpandTimer, kAutoExpandDelay, nullptr);
        m_hExpandCandidate = item;
    }

    *effect = m_zones.Track(GetHwnd(), point, *effect);
    if (*effect == DROPEFFECT_NONE)
        tree.SelectDropTarget(nullptr);
    else if (*effect == DROPEFFECT_COPY || *effect == DROPEFFECT_MOVE)
        tree.SelectDropTarget(item);
    return *effect;
}

void CWyTreeView::OnDragLeave()
{
    Tree().SelectDropTarget(nullptr);
    m_pExplorer->CloseDropEffect();
    m_zones.StopAll(GetHwnd());
    CancelExpand();
}

BOOL CWyTreeView::OnDrop(IDataObject* data, DWORD effect, POINT point)
{
    CancelExpand();
    m_zones.StopAll(GetHwnd());
    m_pExplorer->CloseDropEffect();
    std::vector<std::string> names;
    BOOL result = FALSE;
    if (ReadDroppedFiles(data, names) && !names.empty())
        result = m_pExplorer->OnTreeDropFiles(names, effect, point);
    Tree().SelectDropTarget(nullptr);
    if (GetFocus() != GetHwnd())
        SetFocus(GetHwnd());
    return result;
}
