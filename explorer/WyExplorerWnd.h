// The explorer base: a splitter with the tree view on the left and the list view on the right, and the views' hooks.
#pragma once
#include "explorer/WyHSplitterWnd.h"

#include <windows.h>
#include <commctrl.h>
#include <oleidl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CWyTreeView;
class CWyListView;

// The views turn every gesture into one of the hooks below; the defaults are
// harmless and the FTP explorer overrides what it does. Hooks never throw:
// they run inside window procedures. Key hooks return TRUE when they handled
// the key, and the view then does nothing more with it.
class CWyExplorerWnd : public CWyHSplitterWnd {
public:
    CWyExplorerWnd();
    ~CWyExplorerWnd() override;

    BOOL CreateExplorer(const RECT& rect, HWND parent, UINT id, BOOL showTree);
    BOOL ShowTree(BOOL show) { return ShowLeftPane(show); }
    CWyTreeView* GetTreeView() const;
    CWyListView* GetListView() const;

    // The drop effect of a drag over either view, shared by the two: open
    // from the first drag enter until the drag leaves a view or drops.
    void OpenDropEffect()
    {
        if (!m_dropEffect)
            m_dropEffect = DROPEFFECT_NONE;
    }
    DWORD* GetDropEffect() { return m_dropEffect ? &*m_dropEffect : nullptr; }
    void CloseDropEffect() { m_dropEffect.reset(); }

    // Tree hooks
    virtual BOOL OnTreeDropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point);
    virtual BOOL OnTreeBeginDrag(std::vector<std::string>& paths);
    virtual DWORD OnTreeDragOver(IDataObject* data, DWORD keyState, POINT point);
    virtual void OnTreeDeleteKey(HTREEITEM item);
    virtual int OnTreeBeginLabelEdit(HTREEITEM item);
    virtual void OnTreeEndLabelEdit(HTREEITEM item, const std::string* newText, BOOL* reject);
    virtual void OnTreeRightClick(POINT point);
    virtual void OnTreeItemExpanding(HTREEITEM item);
    // Whether item has children (1) or not (0), for an item inserted with
    // I_CHILDRENCALLBACK; -1 when that cannot be told now.
    virtual int OnTreeItemChildren(HTREEITEM item);
    virtual void OnTreeSelChanged(HTREEITEM item);
    virtual BOOL OnTreeKeyDown(UINT key, UINT repeat, UINT flags);
    virtual BOOL OnTreeKeyUp(UINT key, UINT repeat, UINT flags);
    virtual BOOL OnTreeChar(UINT key, UINT repeat, UINT flags);

    // List hooks
    virtual BOOL OnListDropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point);
    virtual BOOL OnListBeginDrag(std::vector<std::string>& paths);
    virtual DWORD OnListDragOver(IDataObject* data, DWORD keyState, POINT point);
    virtual void OnListDeleteKey();
    virtual int OnListBeginLabelEdit(int item);
    virtual void OnListEndLabelEdit(int item, const std::string* newText, BOOL* reject);
    virtual void OnListColumnClick(int column);
    virtual void OnListRightClick(POINT point);
    virtual void OnListDoubleClick();
    virtual BOOL OnListKeyDown(UINT key, UINT repeat, UINT flags);
    virtual BOOL OnListKeyUp(UINT key, UINT repeat, UINT flags);
    virtual BOOL OnListChar(UINT key, UINT repeat, UINT flags);

protected:
    BOOL CreateLeftPane(CWindow** pane) override;
    BOOL CreateRightPane(CWindow** pane) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::unique_ptr<CWyTreeView> m_treeView;
    std::unique_ptr<CWyListView> m_listView;
    std::optional<DWORD> m_dropEffect;
};
