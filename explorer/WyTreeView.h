// The explorer's left pane: a tree-view control whose gestures become the explorer's tree hooks.
#pragma once
#include "explorer/WyExplorerPane.h"
#include "framework/TreeCtrl.h"

class CWyTreeView : public CWyExplorerPane {
public:
    static constexpr UINT_PTR kExpandTimer = 4;
    static constexpr UINT_PTR kEditTimer = 5;
    static constexpr UINT kAutoExpandDelay = 800;  // ms a drag rests on an item before it opens

    explicit CWyTreeView(CWyExplorerWnd& explorer) : CWyExplorerPane(explorer, kEditTimer) {}

    // The tree-view control with the view's own styles added to style.
    BOOL Create(DWORD exStyle, DWORD style, HWND parent, UINT id);
    CTreeCtrl Tree() const { return CTreeCtrl(GetHwnd()); }

private:
    static HTREEITEM ToTreeItem(INT_PTR item) { return item == kNoItem ? nullptr : reinterpret_cast<HTREEITEM>(item); }
    static INT_PTR FromTreeItem(HTREEITEM item) { return item ? reinterpret_cast<INT_PTR>(item) : kNoItem; }

    LRESULT OnNotify(const NMHDR& header) override;
    INT_PTR ItemAt(POINT point) const override { return FromTreeItem(Tree().HitTest(point)); }
    INT_PTR LabelAt(POINT point) const override;
    INT_PTR CaretItem() const override { return FromTreeItem(Tree().GetSelectedItem()); }
    void EditLabel(INT_PTR item) override { Tree().EditLabel(ToTreeItem(item)); }
    void SetControlImageList(HIMAGELIST images, int which) override { Tree().SetImageList(images, which); }
    void HighlightDropItem(INT_PTR item) override { Tree().SelectDropTarget(ToTreeItem(item)); }
    void ScrollZone(UINT zone) override;
    void OnViewTimer(UINT_PTR id) override;
    void OnCaretKey(UINT key, INT_PTR caret) override;
    bool BeginRightPress(POINT point) override;
    void EndRightPress() override;
    void OnRightClick(POINT point) override;
    bool GatherDragPaths(std::vector<std::string>& paths) override;
    DWORD DragOverEffect(IDataObject* data, DWORD keyState, POINT point) override;
    bool DropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point) override;
    void EndDragOver() override { CancelExpand(); }

    void CancelExpand();

    HTREEITEM m_expandCandidate = nullptr;
};
