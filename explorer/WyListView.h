// The explorer's right pane: a list-view control whose gestures become the explorer's list hooks.
#pragma once
#include "explorer/WyExplorerPane.h"
#include "framework/ListCtrl.h"

class CWyListView : public CWyExplorerPane {
public:
    static constexpr UINT_PTR kEditTimer = 4;

    explicit CWyListView(CWyExplorerWnd& explorer) : CWyExplorerPane(explorer, kEditTimer) {}

    // The list-view control with the view's own styles added to style.
    BOOL Create(DWORD exStyle, DWORD style, HWND parent, UINT id);
    CListCtrl List() const { return CListCtrl(GetHwnd()); }
    // The first selected item, or -1.
    int GetFirstSelected() const { return List().GetNextItem(-1, LVNI_SELECTED); }

private:
    LRESULT OnNotify(const NMHDR& header) override;
    INT_PTR ItemAt(POINT point) const override { return List().HitTest(point); }
    INT_PTR LabelAt(POINT point) const override;
    INT_PTR CaretItem() const override { return GetFirstSelected(); }
    void EditLabel(INT_PTR item) override { List().EditLabel(static_cast<int>(item)); }
    void SetControlImageList(HIMAGELIST images, int which) override { List().SetImageList(images, which); }
    void HighlightDropItem(INT_PTR item) override;
    void ScrollZone(UINT zone) override;
    bool OnPressWithoutFocus(POINT point) override;
    void OnDoubleClick(POINT point) override;
    void OnCaretKey(UINT key, INT_PTR caret) override;
    bool BeginRightPress(POINT point) override;
    void OnRightClick(POINT point) override;
    bool GatherDragPaths(std::vector<std::string>& paths) override;
    DWORD DragOverEffect(IDataObject* data, DWORD keyState, POINT point) override;
    bool DropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point) override;

    // Whether point lies on the item's icon or on its text (not the rest of its row).
    bool IsOnIconOrText(int item, POINT point) const;
    // The step of one auto-scroll tick in the current view mode.
    SIZE ScrollStep() const;

    int m_dropHighlight = -1;
};
