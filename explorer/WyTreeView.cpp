// The explorer's left pane: a tree-view control whose gestures become the explorer's tree hooks.
#include "explorer/WyTreeView.h"

#include "explorer/EditedLabel.h"
#include "explorer/WyDragDetector.h"
#include "explorer/WyExplorerWnd.h"

#include <windowsx.h>

BOOL CWyTreeView::Create(DWORD exStyle, DWORD style, HWND parent, UINT id)
{
    style |= WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS;
    const RECT anywhere = {0, 0, 0, 0};  // the splitter's first layout places it
    return CreateSubclassed(WC_TREEVIEWW, exStyle, style, anywhere, parent, id) != nullptr;
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
    // The control never frees its image lists; the view owns them.
    Tree().SetImageList(nullptr, TVSIL_NORMAL);
    Tree().SetImageList(nullptr, TVSIL_STATE);
    m_normalImages.Destroy();
    m_stateImages.Destroy();
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
    const BOOL drag = DetectDrag(GetHwnd(), WM_RBUTTONDOWN, point, &end);
    // A drag out of the tree starts nothing: the explorer offers no paths.
    if (!drag && end.message == WM_RBUTTONUP)
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
