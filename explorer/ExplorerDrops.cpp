// The explorer's drops and drags: shell files dropped on a pane are uploaded; selected files dragged out as entries.
#include "explorer/WyExplorerWnd.h"

#include "explorer/EntryName.h"
#include "explorer/WyActionError.h"
#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"
#include "filesystem/WyFTPUrl.h"
#include "filesystem/WyFileSystem.h"
#include "filesystem/WyPath.h"
#include "framework/Exception.h"
#include "framework/ShiftJis.h"

#include <new>

namespace {

std::string WithForwardSlashes(std::string path)
{
    ShiftJis::ReplaceAll(path, '\\', '/');
    return path;
}

// The directory a dropped path comes from: the text before its last "/"
// (an ftp URL's query, which may hold a "/" in its password, left out).
std::string SourceDirectory(const std::string& droppedPath)
{
    std::string path = WithForwardSlashes(droppedPath);
    if (IsFtpUrl(path)) {
        const size_t query = ShiftJis::FindFirst(path, '?');
        if (query != std::string::npos)
            path.erase(query);
    }
    const size_t slash = ShiftJis::FindLast(path, '/');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

}  // namespace

std::string CWyExplorerWnd::StorePrefix() const
{
    CWyFileSystem* store = m_owner.GetFileSystem();
    return store ? store->GetAddressPrefix() : std::string();
}

bool CWyExplorerWnd::ComesFrom(const std::string& droppedPath, const std::string& targetDirectory) const
{
    // Whole addresses are compared, host or drive included: a file of the
    // same path on another server is no file of this directory.
    std::string source = SourceDirectory(droppedPath);
    std::string target = targetDirectory;
    // "ftp://host" and "ftp://host/", "P:" and "P:/" are the same top.
    for (std::string* path : {&source, &target}) {
        if (ShiftJis::EndsWithChar(*path, '/'))
            path->pop_back();
    }
    // Local paths name the same directory in any case.
    CWyFileSystem* store = m_owner.GetFileSystem();
    if (store && !store->IsCaseSensitive())
        return ShiftJis::CompareNoCase(source, target) == 0;
    return source == target;
}

bool CWyExplorerWnd::CanTakeDrop(const std::vector<std::string>& paths, DWORD effect) const
{
    // A drop while a transfer holds the store does nothing, as any gesture.
    return effect == DROPEFFECT_COPY && !paths.empty() && m_owner.GetFileSystem() && !m_owner.IsTransferring();
}

bool CWyExplorerWnd::UploadDropped(const std::vector<std::string>& paths, const std::string& targetDirectory,
                                   bool withForwardSlashes)
{
    const DWORD chunkSize = m_owner.GetTransferChunkSize();
    try {
        for (const std::string& dropped : paths) {
            const std::string source = withForwardSlashes ? WithForwardSlashes(dropped) : dropped;
            m_owner.FireTransferStart(source);
            // A handler may have disconnected.
            if (!m_owner.GetFileSystem())
                return false;
            m_owner.SetTransferring(true);
            m_owner.UseFileSystem([&](CWyFileSystem& store) {
                store.PutFile(source.c_str(), targetDirectory.c_str(), chunkSize);
            });
            m_owner.SetTransferring(false);
            m_owner.FireTransferEnd();
            if (!m_owner.GetFileSystem())
                return false;
        }
    } catch (const CException& error) {
        // The first failure ends the drop: one report, nothing refreshed.
        ReportActionError(m_owner, error, ErrorDescription::CategoryAndMessage, true);
        return false;
    } catch (const std::bad_alloc&) {
        m_owner.SetTransferring(false);
        return false;
    }
    return true;
}

bool CWyExplorerWnd::OnTreeDropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point)
{
    const CWyOwnerCall call(m_owner);
    CWyTreeView* view = GetTreeView();
    if (!view || !CanTakeDrop(paths, effect))
        return false;
    const CTreeCtrl tree = view->Tree();
    const HTREEITEM item = tree.HitTest(point);
    if (!item)
        return false;
    const std::string itemPath = GetTreeItemPath(tree, item);
    const std::string target = StorePrefix() + itemPath;
    if (ComesFrom(paths[0], target))
        return false;
    if (!UploadDropped(paths, target, false))
        return false;
    if (m_owner.IsTreeVisible()) {
        RefreshTree(itemPath);
        SelectCurrentDirectoryItem();
    }
    // The list goes on showing the current directory: its Delete and
    // rename work on the current directory's entries.
    RefreshList(m_owner.GetCurrentDirectoryString());
    return true;
}

bool CWyExplorerWnd::OnListDropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point)
{
    const CWyOwnerCall call(m_owner);
    CWyListView* view = GetListView();
    if (!view || !CanTakeDrop(paths, effect))
        return false;
    const CListCtrl list = view->List();
    const std::string current = m_owner.GetCurrentDirectoryString();
    const int item = list.HitTest(point);
    std::string target;
    if (item != -1 && list.GetItemImage(item) == 0) {
        const std::string name = list.GetItemText(item, 0);
        try {
            RequirePlainName(name);
        } catch (const CException& error) {
            ReportActionError(m_owner, error, ErrorDescription::CategoryAndMessage, true);
            return false;
        }
        target = StorePrefix() + JoinPath(current, name);
    } else {
        target = StorePrefix() + current;
        if (ComesFrom(paths[0], target))
            return false;
    }
    if (!UploadDropped(paths, target, true))
        return false;
    RefreshList(current);
    RedrawWindow(GetParent(GetHwnd()), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
}

// Every drag offers a copy; the drop decides whether it is taken.
DWORD CWyExplorerWnd::OnTreeDragOver(IDataObject*, DWORD, POINT)
{
    return DROPEFFECT_COPY;
}

DWORD CWyExplorerWnd::OnListDragOver(IDataObject*, DWORD, POINT)
{
    return DROPEFFECT_COPY;
}

bool CWyExplorerWnd::OnTreeBeginDrag(std::vector<std::string>&)
{
    return false;  // nothing is dragged out of the tree
}

bool CWyExplorerWnd::OnListBeginDrag(std::vector<std::string>& paths)
{
    CWyListView* view = GetListView();
    CWyFileSystem* store = m_owner.GetFileSystem();
    if (!view || !store)
        return false;
    const std::string current = m_owner.GetCurrentDirectoryString();
    const CListCtrl list = view->List();
    for (int item = list.GetNextItem(-1, LVNI_SELECTED); item != -1; item = list.GetNextItem(item, LVNI_SELECTED)) {
        if (list.GetItemImage(item) != 0)
            paths.push_back(store->GetDragOutEntry(JoinPath(current, list.GetItemText(item, 0))));
    }
    return true;
}
