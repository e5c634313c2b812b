// The explorer's right pane: a list-view control whose gestures become the explorer's list hooks.
#pragma once
#include "explorer/ScrollZones.h"
#include "explorer/WyDropTarget.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/Window.h"

class CWyExplorerWnd;

class CWyListView : public CWindow, private CWyDropTargetClient {
public:
    explicit CWyListView(CWyExplorerWnd* explorer) : m_pExplorer(explorer) {}

    // The list-view control with the view's own styles added to style,
    // registered as a drop target.
    BOOL Create(DWORD exStyle, DWORD style, HWND parent, UINT id);
    CListCtrl List() const { return CListCtrl(GetHwnd()); }
    // Takes an image list (LVSIL_NORMAL, LVSIL_SMALL or LVSIL_STATE); it goes
    // with the window (the control shares its image lists and frees none).
    void AttachImageList(CImageList images, int which);
    // The first selected item, or -1.
    int GetFirstSelected() const { return List().GetNextItem(-1, LVNI_SELECTED); }

    // Timers: 0 to 3 the scroll zones, then this.
    static constexpr UINT_PTR kEditTimer = 4;
    static constexpr UINT kEditDelay = 300;  // ms after a second click before its label opens

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnNotify(const NMHDR& header);
    void OnDestroy();
    // False when the press only gives the view the focus back (no default
    // processing then).
    bool OnLButtonDown(POINT point);
    void OnClick();
    void OnLButtonDblClk(POINT point);
    void OnRButtonDown(POINT point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnTimer(UINT_PTR id);
    void BeginDrag();
    void CancelEdit();
    // Whether point lies on the item's icon or on its text (not the rest of its row).
    bool IsOnIconOrText(int item, POINT point) const;
    // Moves the drop highlight to item (-1: none).
    void HighlightDropItem(int item);
    // The step of one auto-scroll tick in the current view mode.
    SIZE ScrollStep() const;

    // Drop target
    DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT point) override;
    DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT point) override;
    void OnDragLeave() override;
    BOOL OnDrop(IDataObject* data, DWORD effect, POINT point) override;

    CWyExplorerWnd* m_pExplorer;
    CImageList m_images[3];  // normal, small, state
    CWyDropTarget m_dropTarget;
    CScrollZones m_zones;
    int m_nEditCandidate = -1;
    int m_nDropHilite = -1;
};
