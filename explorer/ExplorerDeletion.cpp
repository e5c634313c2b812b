// The explorer's Delete key: directories and files removed from the store after the user confirms.
#include "explorer/WyExplorerWnd.h"

#include "explorer/EntryName.h"
#include "explorer/WyActionError.h"
#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"
#include "filesystem/ParentDirectory.h"
#include "filesystem/WyFileSystem.h"
#include "framework/CodePage932.h"
#include "framework/Exception.h"

#include <exception>
#include <new>

namespace {

std::string OneEntryQuestion(const std::string& name)
{
    return "'" + name + "'を削除してもよろしいですか？";
}

std::string EntriesQuestion(size_t count)
{
    return "これらの" + std::to_string(count) + "個のファイルを削除してもよろしいですか";
}

}  // namespace

bool CWyExplorerWnd::ConfirmDeletion(const std::string& question)
{
    const HWND owner = GetParent(GetHwnd());
    return MessageBoxW(owner, ToWide(question).c_str(), m_owner.GetMessageCaption(),
                       MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void CWyExplorerWnd::OnTreeDeleteKey(HTREEITEM item)
{
    const CWyOwnerCall call(m_owner);
    CWyTreeView* view = GetTreeView();
    // The top of the store is no directory one can remove.
    if (!view || !m_owner.GetFileSystem() || m_owner.IsTransferring() || item == view->Tree().GetRootItem())
        return;
    const CTreeCtrl tree = view->Tree();
    const std::string path = GetTreeItemPath(tree, item);
    if (!ConfirmDeletion(OneEntryQuestion(tree.GetItemText(item))))
        return;
    // The parent is shown next, in the tree and the list, and becomes the
    // current directory: the removed one may have been it.
    const std::string parent = ParentDirectory(CWyPath(path)).Str();
    try {
        m_owner.UseFileSystem([&](CWyFileSystem& store) {
            store.RemoveDirectory(path.c_str());
            {
                QuietTreeScope quiet(*this);
                tree.DeleteItem(item);
                if (const HTREEITEM parentItem = FindTreeItem(parent))
                    tree.SelectItem(parentItem);
            }
            store.SetCurrentDirectory(parent.c_str());
            RefreshList(parent);
        });
    } catch (const CException& error) {
        ReportActionError(m_owner, error, ErrorDescription::CategoryAndMessage, true);
    } catch (const std::bad_alloc&) {
        // nothing was removed that the views still show
    }
}

void CWyExplorerWnd::OnListDeleteKey()
{
    const CWyOwnerCall call(m_owner);
    CWyListView* view = GetListView();
    if (!view || !m_owner.GetFileSystem() || m_owner.IsTransferring())
        return;
    const CListCtrl list = view->List();
    std::vector<int> selected;
    for (int item = list.GetNextItem(-1, LVNI_SELECTED); item != -1; item = list.GetNextItem(item, LVNI_SELECTED))
        selected.push_back(item);
    if (selected.empty())
        return;
    const std::string directory = m_owner.GetCurrentDirectoryString();
    const std::string question =
        selected.size() == 1 ? OneEntryQuestion(list.GetItemText(selected[0], 0)) : EntriesQuestion(selected.size());
    if (!ConfirmDeletion(question))
        return;
    SetFocus(view->GetHwnd());

    // From the last index to the first, so that removing a row leaves the
    // indices still to come where they were. A failing entry stays; only
    // the last failure is reported, once the walk is over.
    std::exception_ptr lastFailure;
    bool directoryRemoved = false;
    for (auto index = selected.rbegin(); index != selected.rend(); ++index) {
        const std::string name = list.GetItemText(*index, 0);
        const bool isDirectory = list.GetItemImage(*index) == 0;
        try {
            RequirePlainName(name);
            const std::string path = JoinPath(directory, name);
            m_owner.UseFileSystem([&](CWyFileSystem& store) {
                if (isDirectory)
                    store.RemoveDirectory(path.c_str());
                else
                    store.RemoveFile(path.c_str());
            });
            list.DeleteItem(*index);
            directoryRemoved = directoryRemoved || isDirectory;
        } catch (const CException&) {
            lastFailure = std::current_exception();
        } catch (const std::bad_alloc&) {
            lastFailure = std::current_exception();
        }
        // An event handler may have disconnected meanwhile.
        if (!m_owner.GetFileSystem())
            break;
    }
    // The tree's level is read once for all the directories that went.
    if (directoryRemoved && m_owner.GetFileSystem())
        RefreshTree(directory);
    if (!lastFailure)
        return;
    try {
        std::rethrow_exception(lastFailure);
    } catch (const CException& error) {
        ReportActionError(m_owner, error, ErrorDescription::CategoryAndMessage, true);
    } catch (const std::bad_alloc&) {
    }
}
