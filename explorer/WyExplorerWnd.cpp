// The explorer: construction, its two panes, reading a directory of the store, and the pop-ups.
#include "explorer/WyExplorerWnd.h"

#include "explorer/TreeButtonWorker.h"
#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"
#include "filesystem/WyFileSystem.h"
#include "framework/Exception.h"

#include <shellapi.h>

#include <new>

namespace {

// Keeps the entries of a listing.
class CEntryCollector : public CWyFileList {
public:
    explicit CEntryCollector(std::vector<CWyDirectoryEntry>& entries) : m_entries(entries) {}
    void AddEntry(const CWyDirectoryEntry& entry) override { m_entries.push_back(entry); }

private:
    std::vector<CWyDirectoryEntry>& m_entries;
};

}  // namespace

CWyExplorerWnd::CWyExplorerWnd(CWyExplorerOwner& owner) : m_owner(owner) {}

CWyExplorerWnd::~CWyExplorerWnd()
{
    StopButtonWorker(false);
    // The views' windows go while this object still answers their hooks.
    if (GetHwnd())
        DestroySplitter();
}

BOOL CWyExplorerWnd::CreateExplorer(const RECT& rect, HWND parent, UINT id, BOOL showTree)
{
    return CreateSplitter(WS_CHILD | WS_VISIBLE, rect, parent, id, showTree);
}

CWyTreeView* CWyExplorerWnd::GetTreeView() const
{
    return m_leftPane ? m_treeView.get() : nullptr;
}

CWyListView* CWyExplorerWnd::GetListView() const
{
    return m_rightPane ? m_listView.get() : nullptr;
}

BOOL CWyExplorerWnd::CreateLeftPane(CWindow** pane)
{
    m_treeView = std::make_unique<CWyTreeView>(*this);
    const BOOL created = m_treeView->Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, GetHwnd(), 0);
    *pane = m_treeView.get();
    return created;
}

BOOL CWyExplorerWnd::CreateRightPane(CWindow** pane)
{
    m_listView = std::make_unique<CWyListView>(*this);
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
    if (message == kButtonAnswersMessage) {
        TakeButtonAnswers();
        return 0;
    }
    return CWyHSplitterWnd::WindowProc(message, wParam, lParam);
}

bool CWyExplorerWnd::ListDirectory(const std::string& path, std::vector<CWyDirectoryEntry>& entries) const
{
    entries.clear();
    CWyFileSystem* store = m_owner.GetFileSystem();
    if (!store)
        return false;
    CEntryCollector collector(entries);
    try {
        store->GetFileList(path.c_str(), &collector);
    } catch (const CException&) {
        entries.clear();
        return false;
    } catch (const std::bad_alloc&) {
        entries.clear();
        return false;
    }
    return true;
}

void CWyExplorerWnd::OnTreeRightClick(POINT point)
{
    const CTreeCtrl tree = GetTreeView()->Tree();
    const HTREEITEM item = tree.HitTest(point);
    m_owner.FireTreePopUp(item ? tree.GetItemText(item) : std::string());
}

void CWyExplorerWnd::OnListRightClick(POINT point)
{
    const CListCtrl list = GetListView()->List();
    const int item = list.HitTest(point);
    m_owner.FireListPopUp(item != -1 ? list.GetItemText(item, 0) : std::string());
}
