// The explorer's renaming by label editing: a list entry, or the current directory through the tree.
#include "explorer/WyExplorerWnd.h"

#include "explorer/EntryName.h"
#include "explorer/WyActionError.h"
#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"
#include "filesystem/WyFileSystem.h"
#include "framework/Exception.h"
#include "framework/ShiftJis.h"

#include <new>

namespace {

// Runs a rename; a failure is reported and rejects the edit, so the view
// shows the old label again.
template <class Rename>
void RenameOrReject(CWyExplorerOwner& owner, bool* reject, Rename rename)
{
    try {
        owner.UseFileSystem(rename);
    } catch (const CException& error) {
        ReportActionError(owner, error, ErrorDescription::CategoryAndMessage);
        *reject = true;
    } catch (const std::bad_alloc&) {
        *reject = true;
    }
}

}  // namespace

bool CWyExplorerWnd::OnListBeginLabelEdit(int item)
{
    // No rename while a transfer holds the store.
    if (m_owner.IsTransferring() || !m_owner.GetFileSystem())
        return false;
    m_labelBeforeEdit = GetListView()->List().GetItemText(item, 0);
    return true;
}

void CWyExplorerWnd::OnListEndLabelEdit(int, const std::string* newText, bool* reject)
{
    const CWyOwnerCall call(m_owner);
    // An empty label renames nothing; the old one stays.
    if (!newText || newText->empty()) {
        *reject = true;
        return;
    }
    std::string directory = m_owner.GetCurrentDirectoryString();
    if (directory != "/")
        directory += '/';
    const std::string oldName = m_labelBeforeEdit;
    // Store paths: the store puts its drive in front where it has one.
    const std::string oldPath = directory + oldName;
    const std::string newPath = directory + *newText;
    m_labelBeforeEdit.clear();
    bool renamed = false;
    RenameOrReject(m_owner, reject, [&](CWyFileSystem& store) {
        RequirePlainName(oldName);
        RequirePlainName(*newText);
        store.RenameFile(oldPath.c_str(), newPath.c_str());
        renamed = true;
    });
    // A directory the tree shows is renamed there too.
    if (renamed) {
        if (const HTREEITEM item = FindTreeItem(oldPath))
            GetTreeView()->Tree().SetItemText(item, *newText);
    }
}

bool CWyExplorerWnd::OnTreeBeginLabelEdit(HTREEITEM item)
{
    // Only the current directory is renamed through the tree, and never the root.
    if (m_owner.IsTransferring() || !m_owner.GetFileSystem())
        return false;
    const CTreeCtrl tree = GetTreeView()->Tree();
    return item != tree.GetRootItem() && item == tree.GetSelectedItem();
}

void CWyExplorerWnd::OnTreeEndLabelEdit(HTREEITEM, const std::string* newText, bool* reject)
{
    const CWyOwnerCall call(m_owner);
    if (!newText || newText->empty()) {
        *reject = true;
        return;
    }
    const std::string current = m_owner.GetCurrentDirectoryString();
    const size_t slash = ShiftJis::FindLast(current, '/');
    const std::string parent = slash == std::string::npos ? std::string("/") : current.substr(0, slash + 1);
    const std::string renamed = parent + *newText;
    RenameOrReject(m_owner, reject, [&](CWyFileSystem& store) {
        RequirePlainName(*newText);
        store.RenameFile(current.c_str(), renamed.c_str());
        // The current directory goes on under its new name (the local store
        // has moved there itself).
        if (m_owner.GetCurrentDirectoryString() == current)
            store.SetCurrentDirectory(renamed.c_str());
    });
}
