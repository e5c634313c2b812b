// What the explorer's two panes share: the message switch, click-to-edit, drag and drop, auto-scroll, image lists.
#include "explorer/WyExplorerPane.h"

#include "explorer/DropFiles.h"
#include "explorer/WyDragDetector.h"
#include "explorer/WyDragSource.h"
#include "explorer/WyExplorerWnd.h"

#include <windowsx.h>

BOOL CWyExplorerPane::CreatePane(const wchar_t* systemClass, DWORD exStyle, DWORD style, HWND parent, UINT id)
{
    style |= WS_CHILD | WS_VISIBLE | WS_BORDER;
    const RECT anywhere = {0, 0, 0, 0};  // the splitter's first layout places it
    if (!CreateSubclassed(systemClass, exStyle, style, anywhere, parent, id))
        return FALSE;
    m_dropTarget.Register(GetHwnd(), *this);
    return TRUE;
}

void CWyExplorerPane::AttachImageList(CImageList images, int which)
{
    if (which < 0 || which >= kImageListSlots)
        return;
    SetControlImageList(images.Get(), which);
    m_images[which] = std::move(images);
}

bool CWyExplorerPane::HasImageList(int which) const
{
    return which >= 0 && which < kImageListSlots && m_images[which];
}

LRESULT CWyExplorerPane::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_LBUTTONDOWN:
        CancelEdit();
        if (OnPressWithoutFocus(point))
            return 0;
        OnLButtonDown(point);
        break;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick(point);
        CancelEdit();  // the pending edit goes whatever the view did
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(point);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam));
        DefaultProc(message, wParam, lParam);
        return 0;
    case WM_TIMER:
        // The control's own timers (its click-to-edit among them) never
        // run: label editing starts from the view's timer only.
        OnTimer(wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;  // Enter, Delete and F2 belong to the view, also inside dialogs
    case kReflectedNotify: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.code != NM_CLICK)
            return OnNotify(header);
        OnClick();
        return 0;
    }
    }
    return CWindow::WindowProc(message, wParam, lParam);
}

void CWyExplorerPane::OnDestroy()
{
    m_dropTarget.Revoke();
    m_zones.StopAll(GetHwnd());
    CancelEdit();
    EndDragOver();
    for (int which = 0; which < kImageListSlots; ++which) {
        if (m_images[which]) {
            SetControlImageList(nullptr, which);
            m_images[which].Destroy();
        }
    }
}

// A press on the label of the caret item, while the view has the focus,
// arms label editing; the press's NM_CLICK starts the timer, and a double
// click or another click meanwhile cancels it.
void CWyExplorerPane::OnLButtonDown(POINT point)
{
    if (GetFocus() != GetHwnd())
        return;
    const INT_PTR item = LabelAt(point);
    if (item != kNoItem && item == CaretItem())
        m_editCandidate = item;
}

void CWyExplorerPane::OnClick()
{
    const INT_PTR caret = CaretItem();
    if (GetFocus() != GetHwnd())
        SetFocus(GetHwnd());
    if (caret != kNoItem && caret == m_editCandidate)
        SetTimer(GetHwnd(), m_editTimer, kEditDelay, nullptr);
    else
        CancelEdit();
}

void CWyExplorerPane::CancelEdit()
{
    KillTimer(GetHwnd(), m_editTimer);
    m_editCandidate = kNoItem;
}

void CWyExplorerPane::OnTimer(UINT_PTR id)
{
    if (id == m_editTimer) {
        const INT_PTR item = m_editCandidate;
        CancelEdit();
        if (item != kNoItem)
            EditLabel(item);
    } else if (CScrollZones::IsZoneTimer(id)) {
        ScrollZone(static_cast<UINT>(id));
        m_zones.Stop(GetHwnd(), static_cast<UINT>(id));
    } else {
        OnViewTimer(id);
    }
}

void CWyExplorerPane::OnRButtonDown(POINT point)
{
    if (!BeginRightPress(point)) {
        DefaultProc(WM_RBUTTONDOWN, 0, MAKELPARAM(point.x, point.y));
        return;
    }
    MSG end = {};
    // A press that turned into a drag is no click: no popup.
    if (DetectDrag(GetHwnd(), WM_RBUTTONDOWN, point, &end))
        BeginDrag();
    else if (end.message == WM_RBUTTONUP)
        OnRightClick(point);
    EndRightPress();
}

void CWyExplorerPane::OnKeyDown(UINT key)
{
    const INT_PTR caret = CaretItem();
    if (caret == kNoItem)
        return;
    if (key == VK_F2)
        EditLabel(caret);
    else
        OnCaretKey(key, caret);
}

void CWyExplorerPane::BeginDrag()
{
    std::vector<std::string> paths;
    if (GatherDragPaths(paths)) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        POINT client = cursor;
        ScreenToClient(GetHwnd(), &client);
        if (ItemAt(client) != kNoItem && !paths.empty())
            RunDragOut(GetHwnd(), paths, cursor);
    }
    m_zones.StopAll(GetHwnd());
    CancelEdit();
    EndDragOver();
}

DWORD CWyExplorerPane::OnDragEnter(IDataObject*, DWORD, POINT)
{
    m_explorer.OpenDropEffect();
    return DROPEFFECT_NONE;
}

DWORD CWyExplorerPane::OnDragOver(IDataObject* data, DWORD keyState, POINT point)
{
    DWORD* effect = m_explorer.GetDropEffect();
    if (!effect)
        return DROPEFFECT_NONE;
    *effect = DragOverEffect(data, keyState, point);
    *effect = m_zones.Track(GetHwnd(), point, *effect);
    if (*effect == DROPEFFECT_NONE)
        HighlightDropItem(kNoItem);
    else if (*effect == DROPEFFECT_COPY || *effect == DROPEFFECT_MOVE)
        HighlightDropItem(ItemAt(point));
    return *effect;
}

void CWyExplorerPane::OnDragLeave()
{
    HighlightDropItem(kNoItem);
    m_explorer.CloseDropEffect();
    m_zones.StopAll(GetHwnd());
    EndDragOver();
}

BOOL CWyExplorerPane::OnDrop(IDataObject* data, DWORD effect, POINT point)
{
    // Nothing the drag started runs on while the explorer handles the drop.
    EndDragOver();
    m_zones.StopAll(GetHwnd());
    m_explorer.CloseDropEffect();
    std::vector<std::string> names;
    bool dropped = false;
    if (ReadDroppedFiles(data, names) && !names.empty())
        dropped = DropFiles(names, effect, point);
    HighlightDropItem(kNoItem);
    if (GetFocus() != GetHwnd())
        SetFocus(GetHwnd());
    return dropped ? TRUE : FALSE;
}
