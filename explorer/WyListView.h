// The explorer's right pane: a list-view control whose gestures become the explorer's list hooks.
#pragma once
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/Window.h"

class CWyExplorerWnd;

class CWyListView : public CWindow {
public:
    explicit CWyListView(CWyExplorerWnd* explorer) : m_pExplorer(explorer) {}

    // The list-view control with the view's own styles added to style.
    BOOL Create(DWORD exStyle, DWORD style, HWND parent, UINT id);
    CListCtrl List() const { return CListCtrl(GetHwnd()); }
    // Takes an image list (LVSIL_NORMAL, LVSIL_SMALL or LVSIL_STATE); it goes
    // with the window (the control shares its image lists and frees none).
    void AttachImageList(CImageList images, int which);
    // The first selected item, or -1.
    int GetFirstSelected() const { return List().GetNextItem(-1, LVNI_SELECTED); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnNotify(const NMHDR& header);
    void OnDestroy();
    void OnLButtonDblClk(POINT point);
    void OnRButtonDown(POINT point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    // Whether point lies on the item's icon or on its text (not the rest of its row).
    bool IsOnIconOrText(int item, POINT point) const;

    CWyExplorerWnd* m_pExplorer;
    CImageList m_images[3];  // normal, small, state
};
