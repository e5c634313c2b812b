// The explorer's right pane: a list-view control whose gestures become the explorer's list hooks.
#include "explorer/WyListView.h"

#include "explorer/EditedLabel.h"
#include "explorer/WyDragDetector.h"
#include "explorer/WyExplorerWnd.h"

#include <windowsx.h>

BOOL CWyListView::Create(DWORD exStyle, DWORD style, HWND parent, UINT id)
{
    style |= WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_LIST | LVS_SHAREIMAGELISTS | LVS_EDITLABELS;
    const RECT anywhere = {0, 0, 0, 0};  // the splitter's first layout places it
    return CreateSubclassed(WC_LISTVIEWW, exStyle, style, anywhere, parent, id) != nullptr;
}

void CWyListView::AttachImageList(CImageList images, int which)
{
    if (which < LVSIL_NORMAL || which > LVSIL_STATE)
        return;
    List().SetImageList(images.Get(), which);
    m_images[which] = std::move(images);
}

LRESULT CWyListView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_KEYUP:
        if (m_pExplorer->OnListKeyUp(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return 0;
        break;
    case WM_CHAR:
        if (m_pExplorer->OnListChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return 0;
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;  // Enter, Delete and F2 belong to the view, also inside dialogs
    case kReflectedNotify:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    }
    return CWindow::WindowProc(message, wParam, lParam);
}

LRESULT CWyListView::OnNotify(const NMHDR& header)
{
    switch (header.code) {
    case LVN_BEGINLABELEDITW: {
        const auto& info = reinterpret_cast<const NMLVDISPINFOW&>(header);
        if (info.item.iItem == -1)
            return FALSE;
        return m_pExplorer->OnListBeginLabelEdit(info.item.iItem) > 0 ? FALSE : TRUE;
    }
    case LVN_ENDLABELEDITW: {
        const auto& info = reinterpret_cast<const NMLVDISPINFOW&>(header);
        return FinishLabelEdit(info.item.pszText, [&](const std::string* text, BOOL* reject) {
            m_pExplorer->OnListEndLabelEdit(info.item.iItem, text, reject);
        });
    }
    case LVN_COLUMNCLICK: {
        const auto& info = reinterpret_cast<const NMLISTVIEW&>(header);
        if (info.iSubItem != -1)
            m_pExplorer->OnListColumnClick(info.iSubItem);
        return 0;
    }
    }
    return 0;
}

void CWyListView::OnDestroy()
{
    for (int which = LVSIL_NORMAL; which <= LVSIL_STATE; ++which) {
        List().SetImageList(nullptr, which);
        m_images[which].Destroy();
    }
}

void CWyListView::OnLButtonDblClk(POINT point)
{
    if (List().HitTest(point) != -1)
        m_pExplorer->OnListDoubleClick();
}

bool CWyListView::IsOnIconOrText(int item, POINT point) const
{
    RECT icon = {};
    if (List().GetItemRect(item, &icon, LVIR_ICON) && PtInRect(&icon, point))
        return true;
    RECT label = {};
    if (!List().GetItemRect(item, &label, LVIR_LABEL))
        return false;
    const int textWidth = List().GetStringWidth(List().GetItemText(item, 0));
    if (label.right > label.left + textWidth)
        label.right = label.left + textWidth;
    return PtInRect(&label, point) != FALSE;
}

void CWyListView::OnRButtonDown(POINT point)
{
    const int item = List().HitTest(point);
    if (item == -1 || !IsOnIconOrText(item, point)) {
        DefaultProc(WM_RBUTTONDOWN, 0, MAKELPARAM(point.x, point.y));
        return;
    }
    if (!(List().GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED)) {
        for (int selected = GetFirstSelected(); selected != -1; selected = List().GetNextItem(selected, LVNI_SELECTED))
            List().SetItemState(selected, 0, LVIS_SELECTED | LVIS_FOCUSED);
        List().SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    MSG end = {};
    const BOOL drag = DetectDrag(GetHwnd(), WM_RBUTTONDOWN, point, &end);
    // A press that turned into a drag is no click: no popup.
    if (!drag && end.message == WM_RBUTTONUP)
        m_pExplorer->OnListRightClick(point);
}

void CWyListView::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (m_pExplorer->OnListKeyDown(key, repeat, flags))
        return;
    const int first = GetFirstSelected();
    if (key == VK_RETURN && first != -1)
        m_pExplorer->OnListDoubleClick();
    else if (key == VK_DELETE && first != -1)
        m_pExplorer->OnListDeleteKey();
    else if (key == VK_F2 && first != -1)
        List().EditLabel(first);
    DefaultProc(WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
}
