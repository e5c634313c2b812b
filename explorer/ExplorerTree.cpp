// The explorer's directory tree: item paths, reading a level, lazy expansion, opening the tree down to a path.
#include "filesystem/DirectoryProbes.h"
#include "explorer/WyFTPExplorerWnd.h"

#include "explorer/EntryName.h"
#include "explorer/WyTreeView.h"
#include "filesystem/WyPath.h"
#include "framework/FileFind.h"
#include "framework/FtpFileFind.h"
#include "framework/RedrawOff.h"
#include "framework/ShiftJis.h"

#include <algorithm>

namespace {

constexpr int kClosedImage = 0;
constexpr int kOpenImage = 1;
constexpr int kRootImage = 2;
const char kPlaceholderText[] = "1";

// Shows the wait cursor while it lives.
class WaitCursor {
public:
    WaitCursor() : m_hPrevious(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_hPrevious); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_hPrevious;
};

// The component of path that follows the directory base (compared in lower
// case), or "" when path does not lie below base.
std::string NextComponentBelow(const std::string& path, const std::string& base)
{
    std::string prefix = base;
    if (!ShiftJis::EndsWithChar(prefix, '/'))
        prefix += '/';
    if (path.size() <= prefix.size() || ShiftJis::CompareNoCase(path.substr(0, prefix.size()), prefix) != 0)
        return {};
    const std::string rest = path.substr(prefix.size());
    const size_t slash = ShiftJis::FindFirst(rest, '/');
    return slash == std::string::npos ? rest : rest.substr(0, slash);
}

}  // namespace

std::string CWyFTPExplorerWnd::GetTreeItemPath(const CTreeCtrl& tree, HTREEITEM item) const
{
    const HTREEITEM root = tree.GetRootItem();
    if (!item || item == root)
        return "/";
    std::string path = tree.GetItemText(item);
    while (item && item != root) {
        item = tree.GetParentItem(item);
        if (item == root)
            path = "/" + path;
        else if (item)
            path = tree.GetItemText(item) + "/" + path;
    }
    return path;
}

HTREEITEM CWyFTPExplorerWnd::FindTreeItem(const std::string& path) const
{
    CWyTreeView* view = GetTreeView();
    if (!view)
        return nullptr;
    const CTreeCtrl tree = view->Tree();
    CWyPath target(path);
    target.ToForwardSlashes().Normalize();
    if (target.Str() == "/")
        return tree.GetRootItem();
    target.RemoveTrailingSlash();
    std::string prefix = "/";
    HTREEITEM item = tree.GetChildItem(tree.GetRootItem());
    while (item) {
        const CWyPath candidate(prefix + tree.GetItemText(item));
        if (candidate == target)
            return item;
        if (target.IsWithin(candidate)) {
            prefix = candidate.Str() + "/";
            item = tree.GetChildItem(item);
        } else {
            item = tree.GetNextSiblingItem(item);
        }
    }
    return nullptr;
}

HTREEITEM CWyFTPExplorerWnd::FindChildNoCase(HTREEITEM parent, const std::string& name) const
{
    const CTreeCtrl tree = GetTreeView()->Tree();
    const std::string wanted = ShiftJis::ToLower(name);
    for (HTREEITEM child = tree.GetChildItem(parent); child; child = tree.GetNextSiblingItem(child)) {
        if (ShiftJis::ToLower(tree.GetItemText(child)) == wanted)
            return child;
    }
    return nullptr;
}

bool CWyFTPExplorerWnd::LeadsToRememberedPath(const std::string& path) const
{
    for (const std::string& remembered : m_rememberedPaths) {
        if (!NextComponentBelow(remembered, path).empty())
            return true;
    }
    return false;
}

bool CWyFTPExplorerWnd::HasSubdirectory(const std::string& path) const
{
    std::unique_ptr<CFileFind> finder = MakeFinder();
    if (!finder->FindFile(JoinPath(path, "*").c_str(), CFtpFileFind::reload))
        return false;
    BOOL more;
    do {
        more = finder->FindNextFile();
        if (finder->IsDirectory() && !finder->IsDots())
            return true;
    } while (more);
    return false;
}

BOOL CWyFTPExplorerWnd::FillTreeLevel(const std::string& path, BOOL select)
{
    CWyTreeView* view = GetTreeView();
    if (!view)
        return FALSE;
    const CTreeCtrl tree = view->Tree();
    const HTREEITEM item = FindTreeItem(path);
    if (!item)
        return FALSE;
    const HTREEITEM root = tree.GetRootItem();
    m_nConnectTarget = m_owner.GetConnectTargetValue();
    const bool onFtp = m_nConnectTarget == 1;
    {
        QuietTreeScope quiet(*this);
        const RedrawOff redraw(tree.GetHwnd());
        while (HTREEITEM child = tree.GetChildItem(item))
            tree.DeleteItem(child);

        std::string pattern;
        if (item != root)
            pattern = JoinPath(path, "*");
        else
            pattern = onFtp ? "/*" : m_owner.GetServerNameProperty() + "/*";
        std::unique_ptr<CFileFind> finder = MakeFinder();
        const BOOL found = finder->FindFile(pattern.c_str(), CFtpFileFind::reload);
        if (!found && m_rememberedPaths.empty())
            return FALSE;
        bool inserted = false;
        if (found) {
            BOOL more;
            do {
                more = finder->FindNextFile();
                if (!finder->IsDirectory() || finder->IsDots())
                    continue;
                tree.InsertItem(finder->GetFileName(), kClosedImage, kOpenImage, item);
                inserted = true;
            } while (more);
        }
        finder->Close();

        // Directories the server's listing of this level hides, but which
        // were asked for and exist, stay reachable.
        const std::string levelPath = item == root ? std::string("/") : path;
        if (onFtp) {
            for (const std::string& remembered : m_rememberedPaths) {
                const std::string component = NextComponentBelow(remembered, levelPath);
                if (!component.empty() && !FindChildNoCase(item, component))
                    tree.InsertItem(component, kClosedImage, kOpenImage, item);
            }
        }
        if (inserted || (onFtp && !m_rememberedPaths.empty())) {
            for (HTREEITEM child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child)) {
                const std::string childPath = JoinPath(levelPath, tree.GetItemText(child));
                if (tree.GetItemImage(child) == kClosedImage
                    && (HasSubdirectory(childPath) || LeadsToRememberedPath(childPath)))
                    tree.InsertItem(kPlaceholderText, kClosedImage, kOpenImage, child);
            }
        }
    }
    if (select)
        tree.SelectItem(item);
    return TRUE;
}

void CWyFTPExplorerWnd::OnTreeItemExpanding(HTREEITEM item)
{
    CWyTreeView* view = GetTreeView();
    if (!view || m_owner.IsTransferring())
        return;
    const CTreeCtrl tree = view->Tree();
    if (tree.GetItemState(item, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE)
        return;
    FillTreeLevel(GetTreeItemPath(tree, item), FALSE);
}

HTREEITEM CWyFTPExplorerWnd::EnsureTopLevelItem(const std::string& path)
{
    const CTreeCtrl tree = GetTreeView()->Tree();
    const HTREEITEM root = tree.GetRootItem();
    const std::string component = NextComponentBelow(path, "/");
    if (HTREEITEM existing = FindChildNoCase(root, component))
        return existing;
    return tree.InsertItem(component, kClosedImage, kOpenImage, root);
}

bool CWyFTPExplorerWnd::WalkTreeToPath(const std::string& path)
{
    const CTreeCtrl tree = GetTreeView()->Tree();
    HTREEITEM item = tree.GetRootItem();
    tree.Expand(item);
    std::string walked;
    size_t index = 0;
    while (index < path.size()) {
        if (path[index] == '/') {
            ++index;
            if (walked.empty())
                walked = "/";
            continue;
        }
        const size_t slash = ShiftJis::FindFirst(path, '/', index);
        const std::string component = path.substr(index, slash == std::string::npos ? std::string::npos : slash - index);
        index = slash == std::string::npos ? path.size() : slash;
        if (!ShiftJis::EndsWithChar(walked, '/'))
            walked += '/';
        walked += component;
        const HTREEITEM child = FindChildNoCase(item, component);
        if (!child)
            return false;
        if (ShiftJis::CompareNoCase(walked, path) == 0 || ShiftJis::CompareNoCase(walked + "/", path) == 0)
            tree.SelectItem(child);
        tree.Expand(child);
        item = child;
    }
    return true;
}

void CWyFTPExplorerWnd::InitTreeForPath(const std::string& requested)
{
    CWyTreeView* view = GetTreeView();
    if (requested.empty() || !view)
        return;
    const CTreeCtrl tree = view->Tree();
    m_nConnectTarget = m_owner.GetConnectTargetValue();
    const bool onFtp = m_nConnectTarget == 1;
    // Items are matched in lower case; the path keeps its case for the
    // server, which may tell "Pub" from "pub".
    std::string path = CWyPath(requested).ToForwardSlashes().Str();
    if (!onFtp) {
        const size_t slash = ShiftJis::FindFirst(path, '/');
        path = slash == std::string::npos ? std::string() : path.substr(slash);
    }
    WaitCursor wait;
    QuietTreeScope quiet(*this);

    if (onFtp) {
        m_pConnection = m_owner.GetFtpConnection();
        if (!m_pConnection) {
            tree.DeleteAllItems();
            return;
        }
    }
    // Whether the server has the directory, asked only when the tree cannot
    // show it; entering it tells, also for an empty one.
    const auto existsOnServer = [&] { return IsRemoteDirectory(path.c_str(), m_pConnection) == 1; };

    const auto makeRoot = [&] {
        // The local store's drive letter; the store's own root when no
        // ServerName names one.
        std::string drive = m_owner.GetServerNameProperty();
        if (drive.empty())
            drive = StoreRoot();
        const std::string rootText = onFtp ? "/" : drive.substr(0, drive.empty() ? 0 : 1);
        tree.InsertItem(rootText, kRootImage, kRootImage, TVI_ROOT, TVI_LAST);
        FillTreeLevel("/", TRUE);
        tree.Expand(tree.GetRootItem());
    };
    bool rootMadeNow = false;
    if (!tree.GetRootItem()) {
        makeRoot();
        rootMadeNow = true;
    }
    if (path == "/" || path.empty()) {
        if (!rootMadeNow) {
            tree.DeleteAllItems();
            makeRoot();
        }
        return;
    }
    // A directory the listing of its parent hides is remembered, so that
    // every later reading of the levels above shows it; the walk then runs
    // once more through the items the remembered path made.
    if (!tree.GetChildItem(tree.GetRootItem())) {
        if (!onFtp || !existsOnServer())
            return;
        m_rememberedPaths.push_back(path);
        EnsureTopLevelItem(path);
    }
    if (WalkTreeToPath(path) || !onFtp || !existsOnServer())
        return;
    const bool known = std::any_of(m_rememberedPaths.begin(), m_rememberedPaths.end(),
                                   [&](const std::string& remembered) { return ShiftJis::CompareNoCase(remembered, path) == 0; });
    if (!known)
        m_rememberedPaths.push_back(path);
    EnsureTopLevelItem(path);
    FillTreeLevel("/" + NextComponentBelow(path, "/"), FALSE);
    tree.Expand(tree.GetRootItem());
    WalkTreeToPath(path);
}
