// What the explorer's two panes share: the message switch, click-to-edit, drag and drop, auto-scroll, image lists.
#pragma once
#include "explorer/ScrollZones.h"
#include "explorer/WyDropTarget.h"
#include "framework/ImageList.h"
#include "framework/Window.h"

#include <commctrl.h>

#include <string>
#include <vector>

class CWyExplorerWnd;

// A subclassed system control (the tree view or the list view) whose
// gestures become the explorer's hooks. The pane does what the two controls
// have in common; a view answers the virtual functions for what its control
// does its own way. Items pass through the pane as INT_PTR: a list index or
// an HTREEITEM, kNoItem for none.
class CWyExplorerPane : public CWindow, private CWyDropTargetClient {
public:
    static constexpr INT_PTR kNoItem = -1;
    // Timers: 0 to 3 the scroll zones, then the view's edit timer and its own.
    static constexpr UINT kEditDelay = 300;  // ms after a second click before its label opens

    // Takes an image list for the control's slot which (0 to 2, the
    // control's own numbering); it goes with the window, as the control
    // never frees image lists.
    void AttachImageList(CImageList images, int which);
    bool HasImageList(int which) const;

protected:
    CWyExplorerPane(CWyExplorerWnd& explorer, UINT_PTR editTimer) : m_explorer(explorer), m_editTimer(editTimer) {}

    // The system control with the pane's styles added to style, registered
    // as a drop target.
    BOOL CreatePane(const wchar_t* systemClass, DWORD exStyle, DWORD style, HWND parent, UINT id);
    CWyExplorerWnd& Explorer() const { return m_explorer; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Drags the explorer's paths out of the view, from the item under the cursor.
    void BeginDrag();

    // The control's notifications other than NM_CLICK.
    virtual LRESULT OnNotify(const NMHDR& header) = 0;
    virtual INT_PTR ItemAt(POINT point) const = 0;
    // The item whose label lies under point, or kNoItem.
    virtual INT_PTR LabelAt(POINT point) const = 0;
    // The item keys and click-to-edit act on: the caret, or kNoItem.
    virtual INT_PTR CaretItem() const = 0;
    virtual void EditLabel(INT_PTR item) = 0;
    virtual void SetControlImageList(HIMAGELIST images, int which) = 0;
    // Moves the drop highlight to item (kNoItem: none).
    virtual void HighlightDropItem(INT_PTR item) = 0;
    // One tick of the zone's auto-scroll.
    virtual void ScrollZone(UINT zone) = 0;
    // A timer of the view's own (neither the edit timer nor a zone's).
    virtual void OnViewTimer(UINT_PTR) {}

    // True when the view took a left press that came while it had not the
    // focus (no default processing then).
    virtual bool OnPressWithoutFocus(POINT) { return false; }
    virtual void OnDoubleClick(POINT) {}
    // A key pressed while there is a caret item (F2 is the pane's).
    virtual void OnCaretKey(UINT key, INT_PTR caret) = 0;
    // Readies the item under a right press; false when there is none and
    // the press is the control's own.
    virtual bool BeginRightPress(POINT point) = 0;
    virtual void EndRightPress() {}
    virtual void OnRightClick(POINT point) = 0;

    // The explorer's part of drag and drop: the paths dragged out (false:
    // no drag), the effect of a drag over point, the drop.
    virtual bool GatherDragPaths(std::vector<std::string>& paths) = 0;
    virtual DWORD DragOverEffect(IDataObject* data, DWORD keyState, POINT point) = 0;
    virtual bool DropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point) = 0;
    // A drag over the view or out of it is over: the view stops what it
    // started for it.
    virtual void EndDragOver() {}

private:
    void OnDestroy();
    void OnLButtonDown(POINT point);
    void OnClick();
    void OnRButtonDown(POINT point);
    void OnKeyDown(UINT key);
    void OnTimer(UINT_PTR id);
    void CancelEdit();

    // Drop target
    DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT point) override;
    DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT point) override;
    void OnDragLeave() override;
    BOOL OnDrop(IDataObject* data, DWORD effect, POINT point) override;

    static constexpr int kImageListSlots = 3;

    CWyExplorerWnd& m_explorer;
    const UINT_PTR m_editTimer;
    CImageList m_images[kImageListSlots];
    CWyDropTarget m_dropTarget;
    CScrollZones m_zones;
    INT_PTR m_editCandidate = kNoItem;
};
