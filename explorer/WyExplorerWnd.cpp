// The explorer base: a splitter with the tree view on the left and the list view on the right, and the views' hooks.
#include "explorer/WyExplorerWnd.h"

#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"

#include <shellapi.h>

CWyExplorerWnd::CWyExplorerWnd() = default;

CWyExplorerWnd::~CWyExplorerWnd()
{
    // The views' windows go before the view objects.
    if (GetHwnd())
        DestroySplitter();
}

BOOL CWyExplorerWnd::CreateExplorer(const RECT& rect, HWND parent, UINT id, BOOL showTree)
{
    return CreateSplitter(WS_CHILD | WS_VISIBLE, rect, parent, id, showTree);
}

CWyTreeView* CWyExplorerWnd::GetTreeView() const
{
    return m_pLeftPane ? m_treeView.get() : nullptr;
}

CWyListView* CWyExplorerWnd::GetListView() const
{
    return m_pRightPane ? m_listView.get() : nullptr;
}

BOOL CWyExplorerWnd::CreateLeftPane(CWindow** pane)
{
    m_treeView = std::make_unique<CWyTreeView>(this);
    const BOOL created = m_treeView->Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, GetHwnd(), 0);
    *pane = m_treeView.get();
    return created;
}

BOOL CWyExplorerWnd::CreateRightPane(CWindow** pane)
{
    m_listView = std::make_unique<CWyListView>(this);
    const BOOL created = m_listView->Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, GetHwnd(), 1);
    *pane = m_listView.get();
    return created;
}

LRESULT CWyExplorerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        DragAcceptFiles(GetHwnd(), TRUE);
        return OnCreate(wParam, lParam);
    }
    return CWyHSplitterWnd::WindowProc(message, wParam, lParam);
}

// The defaults of the hooks.

BOOL CWyExplorerWnd::OnTreeDropFiles(const std::vector<std::string>&, DWORD, POINT) { return FALSE; }
BOOL CWyExplorerWnd::OnTreeBeginDrag(std::vector<std::string>&) { return FALSE; }

DWORD CWyExplorerWnd::OnTreeDragOver(IDataObject*, DWORD keyState, POINT point)
{
    CWyTreeView* tree = GetTreeView();
    if (!tree || !tree->Tree().HitTest(point))
        return DROPEFFECT_NONE;
    return (keyState & MK_SHIFT) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

void CWyExplorerWnd::OnTreeDeleteKey(HTREEITEM) {}
int CWyExplorerWnd::OnTreeBeginLabelEdit(HTREEITEM) { return 1; }
void CWyExplorerWnd::OnTreeEndLabelEdit(HTREEITEM, const std::string*, BOOL*) {}
void CWyExplorerWnd::OnTreeRightClick(POINT) {}
void CWyExplorerWnd::OnTreeItemExpanding(HTREEITEM) {}

int CWyExplorerWnd::OnTreeItemChildren(HTREEITEM)
{
    return 0;
}
void CWyExplorerWnd::OnTreeSelChanged(HTREEITEM) {}
BOOL CWyExplorerWnd::OnTreeKeyDown(UINT, UINT, UINT) { return FALSE; }
BOOL CWyExplorerWnd::OnTreeKeyUp(UINT, UINT, UINT) { return FALSE; }
BOOL CWyExplorerWnd::OnTreeChar(UINT, UINT, UINT) { return FALSE; }

BOOL CWyExplorerWnd::OnListDropFiles(const std::vector<std::string>&, DWORD, POINT) { return FALSE; }
BOOL CWyExplorerWnd::OnListBeginDrag(std::vector<std::string>&) { return FALSE; }

DWORD CWyExplorerWnd::OnListDragOver(IDataObject*, DWORD keyState, POINT)
{
    return (keyState & MK_SHIFT) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

void CWyExplorerWnd::OnListDeleteKey() {}
int CWyExplorerWnd::OnListBeginLabelEdit(int) { return 1; }

void CWyExplorerWnd::OnListEndLabelEdit(int, const std::string*, BOOL* reject)
{
    *reject = TRUE;
}

void CWyExplorerWnd::OnListColumnClick(int) {}
void CWyExplorerWnd::OnListRightClick(POINT) {}
void CWyExplorerWnd::OnListDoubleClick() {}
BOOL CWyExplorerWnd::OnListKeyDown(UINT, UINT, UINT) { return FALSE; }
BOOL CWyExplorerWnd::OnListKeyUp(UINT, UINT, UINT) { return FALSE; }
BOOL CWyExplorerWnd::OnListChar(UINT, UINT, UINT) { return FALSE; }
