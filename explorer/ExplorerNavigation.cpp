// The explorer's navigation: a tree selection or an opened list entry becomes the store's current directory.
#include "explorer/WyExplorerWnd.h"

#include "explorer/EntryName.h"
#include "explorer/WyActionError.h"
#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"
#include "filesystem/WyFileSystem.h"
#include "framework/Exception.h"

#include <new>

void CWyExplorerWnd::ReportNavigationError(const CException& error)
{
    ReportActionError(m_owner, error, ErrorDescription::CategoryAndMessage);
}

void CWyExplorerWnd::SelectCurrentDirectoryItem()
{
    CWyTreeView* view = GetTreeView();
    if (!view)
        return;
    if (const HTREEITEM item = FindTreeItem(m_owner.GetCurrentDirectoryString())) {
        QuietTreeScope quiet(*this);
        view->Tree().SelectItem(item);
    }
}

void CWyExplorerWnd::OnTreeSelChanged(HTREEITEM item)
{
    const CWyOwnerCall call(m_owner);
    // The explorer's own changes of the selection navigate nowhere; neither
    // does the user while a transfer holds the store.
    if (m_quietTreeChanges > 0 || !m_owner.GetFileSystem())
        return;
    if (m_owner.IsTransferring()) {
        SelectCurrentDirectoryItem();
        return;
    }
    const std::string path = GetTreeItemPath(GetTreeView()->Tree(), item);
    try {
        m_owner.UseFileSystem([&](CWyFileSystem& store) {
            store.SetCurrentDirectory(path.c_str());
            RefreshList(path);
        });
    } catch (const CException& error) {
        ReportNavigationError(error);
        SelectCurrentDirectoryItem();
    } catch (const std::bad_alloc&) {
        SelectCurrentDirectoryItem();
    }
}

void CWyExplorerWnd::OnListDoubleClick()
{
    const CWyOwnerCall call(m_owner);
    CWyListView* view = GetListView();
    if (!view || !m_owner.GetFileSystem() || m_owner.IsTransferring())
        return;
    const int selected = view->GetFirstSelected();
    if (selected == -1 || view->List().GetItemImage(selected) != 0)
        return;
    const std::string path = JoinPath(m_owner.GetCurrentDirectoryString(), view->List().GetItemText(selected, 0));
    try {
        m_owner.UseFileSystem([&](CWyFileSystem& store) {
            store.SetCurrentDirectory(path.c_str());
            if (m_owner.IsTreeVisible()) {
                InitTreeForPath(path);
                SelectCurrentDirectoryItem();
            }
            RefreshList(path);
        });
    } catch (const CException& error) {
        ReportNavigationError(error);
    } catch (const std::bad_alloc&) {
        // dropped, as other unexpected failures of navigation are
    }
}
