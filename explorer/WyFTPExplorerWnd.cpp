// The explorer bound to the control's file store: construction, finders, drop effects and pop-ups.
#include "explorer/WyFTPExplorerWnd.h"

#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"
#include "filesystem/WyFileSystem.h"
#include "framework/FileFind.h"
#include "framework/FtpFileFind.h"

CWyFTPExplorerWnd::CWyFTPExplorerWnd(CWyExplorerOwner& owner) : m_owner(owner) {}

CWyFTPExplorerWnd::~CWyFTPExplorerWnd()
{
    // While this object still answers the views' hooks.
    if (GetHwnd())
        DestroySplitter();
}

std::unique_ptr<CFileFind> CWyFTPExplorerWnd::MakeFinder() const
{
    if (m_owner.GetConnectTargetValue() == 1)
        return std::make_unique<CFtpFileFind>(m_owner.GetFtpConnection(), 1);
    return std::make_unique<CFileFind>();
}

std::string CWyFTPExplorerWnd::StoreRoot() const
{
    CWyFileSystem* store = m_owner.GetFileSystem();
    return store && m_owner.GetConnectTargetValue() == 0 ? store->GetRoot() : std::string();
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
