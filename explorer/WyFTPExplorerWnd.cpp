// The explorer bound to the control's file store: construction, finders, drop effects and pop-ups.
#include "explorer/WyFTPExplorerWnd.h"

#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"
#include "filesystem/WyFileSystem.h"
#include "framework/Exception.h"

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

CWyFTPExplorerWnd::CWyFTPExplorerWnd(CWyExplorerOwner& owner) : m_owner(owner) {}

CWyFTPExplorerWnd::~CWyFTPExplorerWnd()
{
    // While this object still answers the views' hooks.
    if (GetHwnd())
        DestroySplitter();
}

bool CWyFTPExplorerWnd::ListDirectory(const std::string& path, std::vector<CWyDirectoryEntry>& entries) const
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

BOOL CWyFTPExplorerWnd::OnTreeBeginDrag(std::vector<std::string>&)
{
    return FALSE;  // nothing is dragged out of the tree
}

DWORD CWyFTPExplorerWnd::OnTreeDragOver(IDataObject*, DWORD, POINT)
{
    return DROPEFFECT_COPY;
}

DWORD CWyFTPExplorerWnd::OnListDragOver(IDataObject*, DWORD, POINT)
{
    return DROPEFFECT_COPY;
}

void CWyFTPExplorerWnd::OnTreeRightClick(POINT point)
{
    const CTreeCtrl tree = GetTreeView()->Tree();
    const HTREEITEM item = tree.HitTest(point);
    m_owner.FireTreePopUp(item ? tree.GetItemText(item) : std::string());
}

void CWyFTPExplorerWnd::OnListRightClick(POINT point)
{
    const CListCtrl list = GetListView()->List();
    const int item = list.HitTest(point);
    m_owner.FireListPopUp(item != -1 ? list.GetItemText(item, 0) : std::string());
}
