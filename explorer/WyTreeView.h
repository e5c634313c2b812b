// The explorer's left pane: a tree-view control whose gestures become the explorer's tree hooks.
#pragma once
#include "explorer/ScrollZones.h"
#include "explorer/WyDropTarget.h"
#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"
#include "framework/Window.h"

class CWyExplorerWnd;

class CWyTreeView : public CWindow, private CWyDropTargetClient {
public:
    explicit CWyTreeView(CWyExplorerWnd* explorer) : m_pExplorer(explorer) {}

    // The tree-view control with the view's own styles added to style,
    // registered as a drop target.
    BOOL Create(DWORD exStyle, DWORD style, HWND parent, UINT id);
    CTreeCtrl Tree() const { return CTreeCtrl(GetHwnd()); }
    // Takes an image list (TVSIL_NORMAL or TVSIL_STATE); it goes with the window.
    void AttachImageList(CImageList images, int which);
    bool HasImageList(int which) const;

    // Timers: 0 to 3 the scroll zones, then these.
    static constexpr UINT_PTR kExpandTimer = 4;
    static constexpr UINT_PTR kEditTimer = 5;
    static constexpr UINT kAutoExpandDelay = 800;  // ms a drag rests on an item before it opens
    static constexpr UINT kEditDelay = 300;        // ms after a second click before its label opens

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnNotify(const NMHDR& header);
    void OnDestroy();
    void OnLButtonDown(POINT point);
    void OnClick();
    void OnRButtonDown(POINT point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnTimer(UINT_PTR id);
    void BeginDrag();
    void CancelEdit();
    void CancelExpand();

    // Drop target
    DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT point) override;
    DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT point) override;
    void OnDragLeave() override;
    BOOL OnDrop(IDataObject* data, DWORD effect, POINT point) override;

    CWyExplorerWnd* m_pExplorer;
    CImageList m_normalImages;
    CImageList m_stateImages;
    CWyDropTarget m_dropTarget;
    CScrollZones m_zones;
    HTREEITEM m_hEditCandidate = nullptr;
    HTREEITEM m_hExpandCandidate = nullptr;
};
