// The explorer's left pane: a tree-view control whose gestures become the explorer's tree hooks.
#include "explorer/WyTreeView.h"

#include "explorer/EditedLabel.h"
#include "explorer/WyExplorerWnd.h"

BOOL CWyTreeView::Create(DWORD exStyle, DWORD style, HWND parent, UINT id)
{
    style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS;
    return CreatePane(WC_TREEVIEWW, exStyle, style, parent, id);
}

LRESULT CWyTreeView::OnNotify(const NMHDR& header)
{
    switch (header.code) {
    case TVN_BEGINDRAGW:
        BeginDrag();
        return 0;
    case TVN_BEGINLABELEDITW: {
        const auto& info = reinterpret_cast<const NMTVDISPINFOW&>(header);
        if (!info.item.hItem)
            return FALSE;
        return Explorer().OnTreeBeginLabelEdit(info.item.hItem) ? FALSE : TRUE;
    }
    case TVN_ENDLABELEDITW: {
        const auto& info = reinterpret_cast<const NMTVDISPINFOW&>(header);
        return FinishLabelEdit(info.item.pszText, [&](const std::string* text, bool* reject) {
            Explorer().OnTreeEndLabelEdit(info.item.hItem, text, reject);
        });
    }
    case TVN_ITEMEXPANDINGW: {
        const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (info.itemNew.hItem)
            Explorer().OnTreeItemExpanding(info.itemNew.hItem);
        return FALSE;
    }
    case TVN_GETDISPINFOW: {
        // Items whose children are not known yet, as they are first shown.
        auto& info = const_cast<NMTVDISPINFOW&>(reinterpret_cast<const NMTVDISPINFOW&>(header));
        if ((info.item.mask & TVIF_CHILDREN) && info.item.hItem) {
            const int children = Explorer().OnTreeItemChildren(info.item.hItem);
            info.item.cChildren = children != 0;
            // Not known yet: asked again the next time.
            if (children >= 0)
                info.item.mask |= TVIF_DI_SETITEM;
        }
        return 0;
    }
    case TVN_DELETEITEMW: {
        const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
        Explorer().OnTreeItemDeleted(info.itemOld.lParam);
        return 0;
    }
    case TVN_SELCHANGEDW: {
        const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (info.itemNew.hItem)
            Explorer().OnTreeSelChanged(info.itemNew.hItem);
        return 0;
    }
    }
    return 0;
}

INT_PTR CWyTreeView::LabelAt(POINT point) const
{
    UINT flags = 0;
    const HTREEITEM hit = Tree().HitTest(point, &flags);
    return (flags & TVHT_ONITEMLABEL) ? FromTreeItem(hit) : kNoItem;
}

void CWyTreeView::OnCaretKey(UINT key, INT_PTR caret)
{
    if (key == VK_DELETE)
        Explorer().OnTreeDeleteKey(ToTreeItem(caret));
}

void CWyTreeView::CancelExpand()
{
    KillTimer(GetHwnd(), kExpandTimer);
    m_expandCandidate = nullptr;
}

void CWyTreeView::OnViewTimer(UINT_PTR id)
{
    if (id != kExpandTimer)
        return;
    if (m_expandCandidate)
        Tree().Expand(m_expandCandidate, TVE_EXPAND);
    CancelExpand();
}

void CWyTreeView::ScrollZone(UINT zone)
{
    const CTreeCtrl tree = Tree();
    switch (zone) {
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
    }
}

// A right press takes the focus, and marks its item while the press lasts.
bool CWyTreeView::BeginRightPress(POINT point)
{
    const HTREEITEM item = Tree().HitTest(point);
    if (GetFocus() != GetHwnd())
        SetFocus(GetHwnd());
    if (!item)
        return false;
    if (GetFocus() == GetHwnd())
        Tree().SelectDropTarget(item);
    return true;
}

void CWyTreeView::EndRightPress()
{
    if (GetFocus() == GetHwnd())
        Tree().SelectDropTarget(nullptr);
}

void CWyTreeView::OnRightClick(POINT point)
{
    Explorer().OnTreeRightClick(point);
}

bool CWyTreeView::GatherDragPaths(std::vector<std::string>& paths)
{
    return Explorer().OnTreeBeginDrag(paths);
}

DWORD CWyTreeView::DragOverEffect(IDataObject* data, DWORD keyState, POINT point)
{
    const DWORD effect = Explorer().OnTreeDragOver(data, keyState, point);
    // An item with children opens when the drag rests on it.
    const CTreeCtrl tree = Tree();
    const HTREEITEM item = tree.HitTest(point);
    if (!item || !tree.ItemHasChildren(item)) {
        CancelExpand();
    } else if (item != m_expandCandidate) {
        SetTimer(GetHwnd(), kExpandTimer, kAutoExpandDelay, nullptr);
        m_expandCandidate = item;
    }
    return effect;
}

bool CWyTreeView::DropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point)
{
    return Explorer().OnTreeDropFiles(paths, effect, point);
}
