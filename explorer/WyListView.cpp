// The explorer's right pane: a list-view control whose gestures become the explorer's list hooks.
#include "explorer/WyListView.h"

#include "explorer/DropFiles.h"
#include "explorer/EditedLabel.h"
#include "explorer/WyDragDetector.h"
#include "explorer/WyDragSource.h"
#include "explorer/WyExplorerWnd.h"

#include <windowsx.h>

BOOL CWyListView::Create(DWORD exStyle, DWORD style, HWND parent, UINT id)
{
    style |= WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_LIST | LVS_SHAREIMAGELISTS | LVS_EDITLABELS;
    const RECT anywhere = {0, 0, 0, 0};  // the splitter's first layout places it
    if (!CreateSubclassed(WC_LISTVIEWW, exStyle, style, anywhere, parent, id))
        return FALSE;
    m_dropTarget.Register(GetHwnd(), *this);
    return TRUE;
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
    case WM_LBUTTONDOWN:
        if (!OnLButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return 0;
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

LRESULT CWyListView::OnNotify(const NMHDR& header)
{
    switch (header.code) {
    case NM_CLICK:
        OnClick();
        return 0;
    case LVN_BEGINDRAG:
        BeginDrag();
        return 0;
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
    m_dropTarget.Revoke();
    m_zones.StopAll(GetHwnd());
    CancelEdit();
    for (int which = LVSIL_NORMAL; which <= LVSIL_STATE; ++which) {
        List().SetImageList(nullptr, which);
        m_images[which].Destroy();
    }
}

// A click on the label of the item that is already first selected, while
// the view has the focus, arms label editing; the click's NM_CLICK starts
// the timer, and a double click or another click meanwhile cancels it.
bool CWyListView::OnLButtonDown(POINT point)
{
    CancelEdit();
    const int first = GetFirstSelected();
    if (GetFocus() != GetHwnd()) {
        // Coming back to the list keeps its selection in view.
        if (first != -1)
            List().SetItemState(first, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        DefaultProc(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        return false;
    }
    UINT flags = 0;
    const int hit = List().HitTest(point, &flags);
    if (hit != -1 && hit == first && (flags & LVHT_ONITEMLABEL))
        m_nEditCandidate = hit;
    return true;
}

void CWyListView::OnClick()
{
    const int first = GetFirstSelected();
    if (GetFocus() != GetHwnd())
        SetFocus(GetHwnd());
    if (first != -1 && first == m_nEditCandidate)
        SetTimer(GetHwnd(), kEditTimer, kEditDelay, nullptr);
    else
        CancelEdit();
}

void CWyListView::CancelEdit()
{
    KillTimer(GetHwnd(), kEditTimer);
    m_nEditCandidate = -1;
}

void CWyListView::OnLButtonDblClk(POINT point)
{
    // The pending edit goes whatever the hook does.
    struct EditCancel {
        CWyListView& view;
        ~EditCancel() { view.CancelEdit(); }
    } cancel{*this};
    if (List().HitTest(point) != -1)
        m_pExplorer->OnListDoubleClick();
}

SIZE CWyListView::ScrollStep() const
{
    const DWORD mode = static_cast<DWORD>(GetWindowLongW(GetHwnd(), GWL_STYLE)) & LVS_TYPEMASK;
    if (mode == LVS_ICON || mode == LVS_SMALLICON) {
        const HIMAGELIST images = List().GetImageList(LVSIL_NORMAL);
        int width = 0;
        int height = 0;
        if (!images || !ImageList_GetIconSize(images, &width, &height))
            return {0, 0};
        // Steps that match the icon spacing of the usual icon heights.
        int step = height;
        switch (height) {
        case 30: step = 48; break;
        case 32: step = 44; break;
        case 34: step = 41; break;
        case 36: step = 39; break;
        }
        return {step, step};
    }
    SCROLLINFO vertical = {};
    vertical.cbSize = sizeof(SCROLLINFO);
    vertical.fMask = SIF_PAGE;
    SCROLLINFO horizontal = vertical;
    if (!GetScrollInfo(GetHwnd(), SB_VERT, &vertical))
        vertical.nPage = 0;
    if (!GetScrollInfo(GetHwnd(), SB_HORZ, &horizontal))
        horizontal.nPage = 0;
    SIZE step = {static_cast<LONG>(horizontal.nPage), static_cast<LONG>(vertical.nPage)};
    // The control scrolls a report by whole rows and a list by whole
    // columns, rounding the pixels it is given: one row or column a tick.
    RECT row = {};
    if (mode == LVS_REPORT && List().GetItemRect(0, &row, LVIR_BOUNDS))
        step.cy = row.bottom - row.top;
    if (mode == LVS_LIST && List().GetItemRect(0, &row, LVIR_BOUNDS))
        step.cx = row.right - row.left;
    return step;
}

void CWyListView::OnTimer(UINT_PTR id)
{
    if (id == kEditTimer) {
        const int item = m_nEditCandidate;
        CancelEdit();
        if (item != -1)
            List().EditLabel(item);
        return;
    }
    if (!CScrollZones::IsZoneTimer(id))
        return;
    const SIZE step = ScrollStep();
    switch (id) {
    case CScrollZones::kTop: List().Scroll(0, -step.cy); break;
    case CScrollZones::kBottom: List().Scroll(0, step.cy); break;
    case CScrollZones::kLeft: List().Scroll(-step.cx, 0); break;
    case CScrollZones::kRight: List().Scroll(step.cx, 0); break;
    }
    m_zones.Stop(GetHwnd(), static_cast<UINT>(id));
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
    // A press that turned into a drag is no click: no popup.
    if (DetectDrag(GetHwnd(), WM_RBUTTONDOWN, point, &end))
        BeginDrag();
    else if (end.message == WM_RBUTTONUP)
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

void CWyListView::BeginDrag()
{
    std::vector<std::string> paths;
    if (m_pExplorer->OnListBeginDrag(paths)) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        POINT client = cursor;
        ScreenToClient(GetHwnd(), &client);
        if (List().HitTest(client) != -1 && !paths.empty())
            RunDragOut(GetHwnd(), paths, cursor);
    }
    m_zones.StopAll(GetHwnd());
    CancelEdit();
}

void CWyListView::HighlightDropItem(int item)
{
    if (item == m_nDropHilite)
        return;
    if (m_nDropHilite != -1)
        List().SetItemState(m_nDropHilite, 0, LVIS_DROPHILITED);
    if (item != -1)
        List().SetItemState(item, LVIS_DROPHILITED, LVIS_DROPHILITED);
    m_nDropHilite = item;
}

DWORD CWyListView::OnDragEnter(IDataObject*, DWORD, POINT)
{
    m_pExplorer->OpenDropEffect();
    return DROPEFFECT_NONE;
}

DWORD CWyListView::OnDragOver(IDataObject* data, DWORD keyState, POINT point)
{
    DWORD* effect = m_pExplorer->GetDropEffect();
    if (!effect)
        return DROPEFFECT_NONE;
    *effect = m_pExplorer->OnListDragOver(data, keyState, point);
    *effect = m_zones.Track(GetHwnd(), point, *effect);
    if (*effect == DROPEFFECT_NONE)
        HighlightDropItem(-1);
    else if (*effect == DROPEFFECT_COPY || *effect == DROPEFFECT_MOVE)
        HighlightDropItem(List().HitTest(point));
    return *effect;
}

void CWyListView::OnDragLeave()
{
    HighlightDropItem(-1);
    m_pExplorer->CloseDropEffect();
    m_zones.StopAll(GetHwnd());
}

BOOL CWyListView::OnDrop(IDataObject* data, DWORD effect, POINT point)
{
    m_zones.StopAll(GetHwnd());
    m_pExplorer->CloseDropEffect();
    std::vector<std::string> names;
    BOOL result = FALSE;
    if (ReadDroppedFiles(data, names) && !names.empty())
        result = m_pExplorer->OnListDropFiles(names, effect, point);
    HighlightDropItem(-1);
    if (GetFocus() != GetHwnd())
        SetFocus(GetHwnd());
    return result;
}
