// The explorer's directory tree: item paths, reading a level, lazy expansion, opening the tree down to a path.
#include "explorer/WyExplorerWnd.h"

#include "explorer/EntryName.h"
#include "explorer/TreeButtonWorker.h"
#include "explorer/WyTreeView.h"
#include "filesystem/WyDirectoryEntry.h"
#include "filesystem/WyFileSystem.h"
#include "filesystem/WyPath.h"
#include "framework/RedrawOff.h"
#include "framework/ShiftJis.h"

#include <algorithm>

namespace {

constexpr int kClosedImage = 0;
constexpr int kOpenImage = 1;
constexpr int kRootImage = 2;

// Shows the wait cursor while it lives.
class WaitCursor {
public:
    WaitCursor() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
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

std::string CWyExplorerWnd::GetTreeItemPath(const CTreeCtrl& tree, HTREEITEM item) const
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

HTREEITEM CWyExplorerWnd::FindTreeItem(const std::string& path) const
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

HTREEITEM CWyExplorerWnd::FindChildNoCase(HTREEITEM parent, const std::string& name) const
{
    const CTreeCtrl tree = GetTreeView()->Tree();
    const std::string wanted = ShiftJis::ToLower(name);
    for (HTREEITEM child = tree.GetChildItem(parent); child; child = tree.GetNextSiblingItem(child)) {
        if (ShiftJis::ToLower(tree.GetItemText(child)) == wanted)
            return child;
    }
    return nullptr;
}

bool CWyExplorerWnd::LeadsToRememberedPath(const std::string& path) const
{
    for (const std::string& remembered : m_rememberedPaths) {
        if (!NextComponentBelow(remembered, path).empty())
            return true;
    }
    return false;
}

bool CWyExplorerWnd::HasSubdirectory(const std::string& path) const
{
    std::vector<CWyDirectoryEntry> entries;
    ListDirectory(path, entries);
    return std::any_of(entries.begin(), entries.end(), [](const CWyDirectoryEntry& entry) {
        return entry.type == CWyDirectoryEntry::kDirectory && !IsDots(entry.name);
    });
}

BOOL CWyExplorerWnd::FillTreeLevel(const std::string& path, BOOL select)
{
    CWyTreeView* view = GetTreeView();
    if (!view)
        return FALSE;
    const CTreeCtrl tree = view->Tree();
    const HTREEITEM item = FindTreeItem(path);
    if (!item)
        return FALSE;
    const HTREEITEM root = tree.GetRootItem();
    {
        QuietTreeScope quiet(*this);
        const RedrawOff redraw(tree.GetHwnd());
        while (HTREEITEM child = tree.GetChildItem(item))
            tree.DeleteItem(child);

        ForgetButtonQuestion(item);
        const std::string levelPath = item == root ? std::string("/") : path;
        std::vector<CWyDirectoryEntry> entries;
        const bool found = ListDirectory(levelPath, entries);
        if (!found && m_rememberedPaths.empty()) {
            // Empty, or not to be listed: no button (the item may have
            // shown one while the background had not answered yet).
            if (item != root)
                tree.SetItemChildren(item, 0);
            return FALSE;
        }
        // A child shows its button from what the listing tells (a Unix
        // link count); where it tells nothing, the tree asks when the item
        // is first shown (OnTreeItemChildren), not by listing every
        // subdirectory of the level now.
        int inserted = 0;
        const auto insert = [&](const std::string& name, int subdirectories) {
            if (++inserted % kItemsBetweenAnswers == 0)
                m_owner.AnswerSentMessages();
            const HTREEITEM child = tree.InsertItem(name, kClosedImage, kOpenImage, item);
            if (LeadsToRememberedPath(JoinPath(levelPath, name)) || subdirectories > 0)
                tree.SetItemChildren(child, 1);
            else if (subdirectories < 0)
                tree.SetItemChildren(child, I_CHILDRENCALLBACK);
        };
        for (const CWyDirectoryEntry& entry : entries) {
            if (entry.type == CWyDirectoryEntry::kDirectory && !IsDots(entry.name))
                insert(entry.name, entry.subdirectories);
        }

        // Directories the store's listing of this level hides (a server may),
        // but which were asked for and exist, stay reachable.
        for (const std::string& remembered : m_rememberedPaths) {
            const std::string component = NextComponentBelow(remembered, levelPath);
            if (!component.empty() && !FindChildNoCase(item, component))
                insert(component, -1);
        }
        // A level found empty loses its button.
        if (item != root)
            tree.SetItemChildren(item, tree.GetChildItem(item) ? 1 : 0);
    }
    if (select)
        tree.SelectItem(item);
    return TRUE;
}

int CWyExplorerWnd::OnTreeItemChildren(HTREEITEM item)
{
    CWyTreeView* view = GetTreeView();
    if (!view || !m_owner.GetFileSystem())
        return -1;
    const std::string path = GetTreeItemPath(view->Tree(), item);
    if (LeadsToRememberedPath(path) || AskButtonInBackground(item, path))
        return 1;
    const CWyOwnerCall call(m_owner);
    if (m_owner.IsTransferring())
        return -1;
    return HasSubdirectory(path) ? 1 : 0;
}

void CWyExplorerWnd::OnTreeItemDeleted(LPARAM data)
{
    const auto question = m_buttonQuestions.find(static_cast<unsigned>(data));
    if (data == 0 || question == m_buttonQuestions.end())
        return;
    m_buttonQuestions.erase(question);
    if (m_buttonWorker)
        m_buttonWorker->Cancel(static_cast<unsigned>(data));
}

void CWyExplorerWnd::ForgetButtonQuestion(HTREEITEM item)
{
    const CTreeCtrl tree = GetTreeView()->Tree();
    const LPARAM data = tree.GetItemData(item);
    if (data == 0)
        return;
    OnTreeItemDeleted(data);
    tree.SetItemData(item, 0);
}

bool CWyExplorerWnd::AskButtonInBackground(HTREEITEM item, const std::string& path)
{
    if (m_buttonsOnTheSpot)
        return false;
    try {
        if (!m_buttonWorker) {
            std::unique_ptr<CWySubdirectoryProbe> probe = m_owner.GetFileSystem()->MakeSubdirectoryProbe();
            if (!probe)
                return false;
            m_buttonWorker = std::make_unique<CTreeButtonWorker>(std::move(probe), GetHwnd(), kButtonAnswersMessage);
        }
        if (++m_lastButtonToken == 0)
            ++m_lastButtonToken;
        m_buttonQuestions[m_lastButtonToken] = item;
        GetTreeView()->Tree().SetItemData(item, m_lastButtonToken);
        m_buttonWorker->Ask(m_lastButtonToken, path);
        return true;
    } catch (const std::exception&) {
        // No thread to be had, or no memory: the tree asks as it waits.
        m_buttonsOnTheSpot = true;
        return false;
    }
}

void CWyExplorerWnd::TakeButtonAnswers()
{
    CWyTreeView* view = GetTreeView();
    if (!m_buttonWorker || !view)
        return;
    const CTreeCtrl tree = view->Tree();
    for (const CTreeButtonWorker::Answer& answer : m_buttonWorker->TakeAnswers()) {
        // The store takes no second connection: the items still waiting
        // are asked as they are shown again, the way a tree without a
        // worker asks.
        if (answer.value == CWySubdirectoryProbe::Answer::cannotAsk) {
            StopButtonWorker(true);
            return;
        }
        // Gone, re-read or expanded meanwhile: the answer is for nobody.
        const auto question = m_buttonQuestions.find(answer.token);
        if (question == m_buttonQuestions.end())
            continue;
        const HTREEITEM item = question->second;
        m_buttonQuestions.erase(question);
        tree.SetItemData(item, 0);
        tree.SetItemChildren(item, answer.value == CWySubdirectoryProbe::Answer::yes ? 1 : 0);
    }
}

void CWyExplorerWnd::StopButtonWorker(bool onTheSpot)
{
    m_buttonWorker.reset();
    CWyTreeView* view = GetTreeView();
    if (onTheSpot && view) {
        for (const auto& [token, item] : m_buttonQuestions) {
            view->Tree().SetItemData(item, 0);
            view->Tree().SetItemChildren(item, I_CHILDRENCALLBACK);
        }
    }
    m_buttonQuestions.clear();
    m_buttonsOnTheSpot = onTheSpot;
}

void CWyExplorerWnd::OnTreeItemExpanding(HTREEITEM item)
{
    const CWyOwnerCall call(m_owner);
    CWyTreeView* view = GetTreeView();
    if (!view || m_owner.IsTransferring())
        return;
    const CTreeCtrl tree = view->Tree();
    if (tree.GetItemState(item, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE)
        return;
    FillTreeLevel(GetTreeItemPath(tree, item), FALSE);
}

HTREEITEM CWyExplorerWnd::EnsureTopLevelItem(const std::string& path)
{
    const CTreeCtrl tree = GetTreeView()->Tree();
    const HTREEITEM root = tree.GetRootItem();
    const std::string component = NextComponentBelow(path, "/");
    if (HTREEITEM existing = FindChildNoCase(root, component))
        return existing;
    return tree.InsertItem(component, kClosedImage, kOpenImage, root);
}

bool CWyExplorerWnd::WalkTreeToPath(const std::string& path)
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

void CWyExplorerWnd::InitTreeForPath(const std::string& requested)
{
    CWyTreeView* view = GetTreeView();
    if (requested.empty() || !view)
        return;
    const CTreeCtrl tree = view->Tree();
    CWyFileSystem* store = m_owner.GetFileSystem();
    if (!store) {
        tree.DeleteAllItems();
        return;
    }
    // Items are matched in lower case; the path keeps its case for the
    // server, which may tell "Pub" from "pub". A store with a drive root
    // shows its paths below the drive.
    std::string path = CWyPath(requested).ToForwardSlashes().Str();
    if (!store->GetRoot().empty()) {
        const size_t slash = ShiftJis::FindFirst(path, '/');
        path = slash == std::string::npos ? std::string() : path.substr(slash);
    }
    WaitCursor wait;
    QuietTreeScope quiet(*this);

    // Whether the store has the directory, asked only when the tree cannot
    // show it; entering it tells, also for an empty one.
    const auto existsInStore = [&] { return store->IsDirectory(path.c_str()); };

    const auto makeRoot = [&] {
        tree.InsertItem(store->GetRootText(), kRootImage, kRootImage, TVI_ROOT, TVI_LAST);
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
        if (!existsInStore())
            return;
        m_rememberedPaths.push_back(path);
        EnsureTopLevelItem(path);
    }
    if (WalkTreeToPath(path) || !existsInStore())
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
