// The explorer's right pane: a list-view control whose gestures become the explorer's list hooks.
#include "explorer/WyListView.h"

#include "explorer/EditedLabel.h"
#include "explorer/WyExplorerWnd.h"

BOOL CWyListView::Create(DWORD exStyle, DWORD style, HWND parent, UINT id)
{
    return CreatePane(WC_LISTVIEWW, exStyle, style | LVS_LIST | LVS_SHAREIMAGELISTS | LVS_EDITLABELS, parent, id);
}

LRESULT CWyListView::OnNotify(const NMHDR& header)
{
    switch (header.code) {
    case LVN_BEGINDRAG:
        BeginDrag();
        return 0;
    case LVN_BEGINLABELEDITW: {
        const auto& info = reinterpret_cast<const NMLVDISPINFOW&>(header);
        if (info.item.iItem == -1)
            return FALSE;
        return Explorer().OnListBeginLabelEdit(info.item.iItem) ? FALSE : TRUE;
    }
    case LVN_ENDLABELEDITW: {
        const auto& info = reinterpret_cast<const NMLVDISPINFOW&>(header);
        return FinishLabelEdit(info.item.pszText, [&](const std::string* text, bool* reject) {
            Explorer().OnListEndLabelEdit(info.item.iItem, text, reject);
        });
    }
    case LVN_COLUMNCLICK: {
        const auto& info = reinterpret_cast<const NMLISTVIEW&>(header);
        if (info.iSubItem != -1)
            Explorer().OnListColumnClick(info.iSubItem);
        return 0;
    }
    }
    return 0;
}

INT_PTR CWyListView::LabelAt(POINT point) const
{
    UINT flags = 0;
    const int hit = List().HitTest(point, &flags);
    return (flags & LVHT_ONITEMLABEL) ? hit : kNoItem;
}

bool CWyListView::OnPressWithoutFocus(POINT point)
{
    if (GetFocus() == GetHwnd())
        return false;
    // Coming back to the list keeps its selection in view.
    const int first = GetFirstSelected();
    if (first != -1)
        List().SetItemState(first, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    DefaultProc(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    return true;
}

void CWyListView::OnDoubleClick(POINT point)
{
    if (ItemAt(point) != kNoItem)
        Explorer().OnListDoubleClick();
}

void CWyListView::OnCaretKey(UINT key, INT_PTR)
{
    if (key == VK_RETURN)
        Explorer().OnListDoubleClick();
    else if (key == VK_DELETE)
        Explorer().OnListDeleteKey();
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

void CWyListView::ScrollZone(UINT zone)
{
    const SIZE step = ScrollStep();
    switch (zone) {
    case CScrollZones::kTop: List().Scroll(0, -step.cy); break;
    case CScrollZones::kBottom: List().Scroll(0, step.cy); break;
    case CScrollZones::kLeft: List().Scroll(-step.cx, 0); break;
    case CScrollZones::kRight: List().Scroll(step.cx, 0); break;
    }
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

// A right press on an item that is not selected makes it the only selection.
bool CWyListView::BeginRightPress(POINT point)
{
    const int item = List().HitTest(point);
    if (item == -1 || !IsOnIconOrText(item, point))
        return false;
    if (!(List().GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED)) {
        for (int selected = GetFirstSelected(); selected != -1; selected = List().GetNextItem(selected, LVNI_SELECTED))
            List().SetItemState(selected, 0, LVIS_SELECTED | LVIS_FOCUSED);
        List().SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    return true;
}

void CWyListView::OnRightClick(POINT point)
{
    Explorer().OnListRightClick(point);
}

bool CWyListView::GatherDragPaths(std::vector<std::string>& paths)
{
    return Explorer().OnListBeginDrag(paths);
}

DWORD CWyListView::DragOverEffect(IDataObject* data, DWORD keyState, POINT point)
{
    return Explorer().OnListDragOver(data, keyState, point);
}

bool CWyListView::DropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point)
{
    return Explorer().OnListDropFiles(paths, effect, point);
}

void CWyListView::HighlightDropItem(INT_PTR item)
{
    if (item == m_dropHighlight)
        return;
    if (m_dropHighlight != -1)
        List().SetItemState(m_dropHighlight, 0, LVIS_DROPHILITED);
    if (item != kNoItem)
        List().SetItemState(static_cast<int>(item), LVIS_DROPHILITED, LVIS_DROPHILITED);
    m_dropHighlight = static_cast<int>(item);
}
