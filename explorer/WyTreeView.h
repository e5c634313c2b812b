// The explorer's left pane: a tree-view control whose gestures become the explorer's tree hooks.
#pragma once
#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"
#include "framework/Window.h"

class CWyExplorerWnd;

class CWyTreeView : public CWindow {
public:
    explicit CWyTreeView(CWyExplorerWnd* explorer) : m_pExplorer(explorer) {}

    // The tree-view control with the view's own styles added to style.
    BOOL Create(DWORD exStyle, DWORD style, HWND parent, UINT id);
    CTreeCtrl Tree() const { return CTreeCtrl(GetHwnd()); }
    // Takes an image list (TVSIL_NORMAL or TVSIL_STATE); it goes with the window.
    void AttachImageList(CImageList images, int which);
    bool HasImageList(int which) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnNotify(const NMHDR& header);
    void OnDestroy();
    void OnRButtonDown(POINT point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);

    CWyExplorerWnd* m_pExplorer;
    CImageList m_normalImages;
    CImageList m_stateImages;
};
