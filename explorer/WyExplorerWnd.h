// The explorer: a splitter with the tree view on the left and the list view on the right, bound to the control's file store.
#pragma once
#include "explorer/WyExplorerOwner.h"
#include "explorer/WyHSplitterWnd.h"
#include "framework/TreeCtrl.h"

#include <windows.h>
#include <commctrl.h>
#include <oleidl.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CTreeButtonWorker;
class CWyTreeView;
class CWyListView;
struct CWyDirectoryEntry;

// Paths are store paths: "/" separates components, "/" is the top, and no
// path built here ends in "/" except "/" itself. A tree item holds one
// component; the root stands for "/" (image 2), directories use images 0 and
// 1, and a child "1" marks a directory whose level was not read yet; an
// item whose button is still being found out in the background holds the
// number of that question as its item data (0 otherwise). A list
// item holds an entry name, image 0 for a directory and 1 for a file, and the
// entry's sequence in its listing as item data.
class CWyExplorerWnd : public CWyHSplitterWnd {
public:
    explicit CWyExplorerWnd(CWyExplorerOwner& owner);
    ~CWyExplorerWnd() override;

    BOOL CreateExplorer(const RECT& rect, HWND parent, UINT id, BOOL showTree);
    BOOL ShowTree(BOOL show) { return ShowLeftPane(show); }
    CWyTreeView* GetTreeView() const;
    CWyListView* GetListView() const;

    // The drop effect of a drag over either view, shared by the two: open
    // from the first drag enter until the drag leaves a view or drops.
    void OpenDropEffect()
    {
        if (!m_dropEffect)
            m_dropEffect = DROPEFFECT_NONE;
    }
    DWORD* GetDropEffect() { return m_dropEffect ? &*m_dropEffect : nullptr; }
    void CloseDropEffect() { m_dropEffect.reset(); }

    // Hooks: the views turn every gesture into one of these. Hooks never
    // throw: they run inside window procedures.
    bool OnTreeDropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point);
    bool OnTreeBeginDrag(std::vector<std::string>& paths);
    DWORD OnTreeDragOver(IDataObject* data, DWORD keyState, POINT point);
    void OnTreeDeleteKey(HTREEITEM item);
    // Whether the item's label may be edited.
    bool OnTreeBeginLabelEdit(HTREEITEM item);
    void OnTreeEndLabelEdit(HTREEITEM item, const std::string* newText, bool* reject);
    void OnTreeRightClick(POINT point);
    void OnTreeItemExpanding(HTREEITEM item);
    // Whether item has children (1) or not (0), for an item inserted with
    // I_CHILDRENCALLBACK; -1 when that cannot be told now. Where the store
    // can be asked in the background, 1 until the answer comes.
    int OnTreeItemChildren(HTREEITEM item);
    // The item goes; data is its item data.
    void OnTreeItemDeleted(LPARAM data);
    void OnTreeSelChanged(HTREEITEM item);
    bool OnListDropFiles(const std::vector<std::string>& paths, DWORD effect, POINT point);
    bool OnListBeginDrag(std::vector<std::string>& paths);
    DWORD OnListDragOver(IDataObject* data, DWORD keyState, POINT point);
    void OnListDeleteKey();
    bool OnListBeginLabelEdit(int item);
    void OnListEndLabelEdit(int item, const std::string* newText, bool* reject);
    void OnListColumnClick(int column);
    void OnListRightClick(POINT point);
    void OnListDoubleClick();

    // Listing (ExplorerListing.cpp). FALSE when the directory cannot be
    // listed; the list is then empty and nothing is reported.
    BOOL ShowDirectoryInList(const std::string& path);
    BOOL RefreshList(const std::string& path) { return ShowDirectoryInList(path); }
    // The list's four report columns, inserted once after creation.
    void PrepareList();

    // The directory tree (ExplorerTree.cpp)
    std::string GetTreeItemPath(const CTreeCtrl& tree, HTREEITEM item) const;
    BOOL RefreshTree(const std::string& path) { return FillTreeLevel(path, FALSE); }
    // Re-reads the children of the item that shows path; FALSE when it cannot.
    BOOL FillTreeLevel(const std::string& path, BOOL select);
    // The item that shows path (an ftp URL or a drive path is reduced to its
    // store path), or null. Looks only at items already in the tree.
    HTREEITEM FindTreeItem(const std::string& path) const;
    // Opens the tree down to path, building the root first when needed.
    void InitTreeForPath(const std::string& path);

    // Sorting (ExplorerSorting.cpp): column 0 name, 1 size, 2 type, 3 date;
    // descending 0 or 1. Other values do nothing.
    void SortList(int column, int descending);

    // Selection and display services (ExplorerSelection.cpp)
    // Selects and focuses the item named by the last component of path.
    BOOL SelectListItem(const std::string& path);
    void GetSelectedNames(std::vector<std::string>& names) const;
    // The selected item's name when exactly one is selected, else "".
    std::string GetCurrentFileName() const;
    BOOL ClearSelection(const std::string& name);
    void SetListViewMode(long mode);
    BOOL SelectTreeParent();
    BOOL ForgetRememberedPaths();
    // Empties the views, as after a disconnection, and ends the work done
    // for them in the background.
    void ClearViews();

    // Asks the user before a deletion (ExplorerDeletion.cpp): a message box
    // with OK and Cancel; true for OK.
    bool ConfirmDeletion(const std::string& question);

protected:
    BOOL CreateLeftPane(CWindow** pane) override;
    BOOL CreateRightPane(CWindow** pane) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class QuietTreeScope;

    // Rows or items put in a view between two looks at what other threads
    // sent (a few milliseconds' work).
    static constexpr int kItemsBetweenAnswers = 64;
    // Posted when answers of the button worker wait to be taken.
    static constexpr UINT kButtonAnswersMessage = WM_APP + 1;

    // The entries of a directory of the store ("." and ".." among them on
    // the local disk); false when it cannot be listed or lists nothing.
    bool ListDirectory(const std::string& path, std::vector<CWyDirectoryEntry>& entries) const;
    // Whether a directory at path has a subdirectory.
    bool HasSubdirectory(const std::string& path) const;
    // Whether a remembered path lies below path (its level must be readable).
    bool LeadsToRememberedPath(const std::string& path) const;
    // The child of parent whose text is name (compared in lower case), or null.
    HTREEITEM FindChildNoCase(HTREEITEM parent, const std::string& name) const;
    // Inserts the first component of path under the root unless it is there.
    HTREEITEM EnsureTopLevelItem(const std::string& path);
    bool WalkTreeToPath(const std::string& path);
    // Selects the item of the current directory again, as after a failed
    // navigation; nothing when the tree does not show it.
    void SelectCurrentDirectoryItem();
    void ReportNavigationError(const class CException& error);

    // The tree's buttons found out in the background (ExplorerTree.cpp).
    // Whether item's question went to the worker, which is made when first
    // needed; false when the store cannot be asked that way.
    bool AskButtonInBackground(HTREEITEM item, const std::string& path);
    void TakeButtonAnswers();
    // The item's question, if any, is no longer waited for.
    void ForgetButtonQuestion(HTREEITEM item);
    // Ends the worker; with onTheSpot, the items still waiting are asked
    // again when shown, on the store's own connection, from now on.
    void StopButtonWorker(bool onTheSpot);

    // Drops (ExplorerDrops.cpp)
    // What goes in front of a store path to make an upload target: "ftp://"
    // and the server, or the local store's drive.
    std::string StorePrefix() const;
    bool CanTakeDrop(const std::vector<std::string>& paths, DWORD effect) const;
    // Whether a dropped path lies in the target directory itself.
    bool ComesFrom(const std::string& droppedPath, const std::string& targetDirectory) const;
    // Uploads every path into the directory; the first failure ends the
    // drop with one report (false).
    bool UploadDropped(const std::vector<std::string>& paths, const std::string& targetDirectory,
                       bool withForwardSlashes);

    CWyExplorerOwner& m_owner;
    std::unique_ptr<CWyTreeView> m_treeView;
    std::unique_ptr<CWyListView> m_listView;
    std::optional<DWORD> m_dropEffect;
    std::vector<std::string> m_rememberedPaths;  // store paths, matched in lower case
    int m_sortColumn = 0;
    int m_sortDescending = 0;
    std::string m_labelBeforeEdit;
    int m_quietTreeChanges = 0;
    std::unique_ptr<CTreeButtonWorker> m_buttonWorker;
    std::map<unsigned, HTREEITEM> m_buttonQuestions;  // asked and not answered yet, by token
    unsigned m_lastButtonToken = 0;
    bool m_buttonsOnTheSpot = false;  // the store cannot be asked in the background
};

// While one lives, selection changes of the tree are the explorer's own
// (rebuilding a level, opening the tree down to a path) and navigate nowhere.
class QuietTreeScope {
public:
    explicit QuietTreeScope(CWyExplorerWnd& explorer) : m_explorer(explorer) { ++m_explorer.m_quietTreeChanges; }
    ~QuietTreeScope() { --m_explorer.m_quietTreeChanges; }
    QuietTreeScope(const QuietTreeScope&) = delete;
    QuietTreeScope& operator=(const QuietTreeScope&) = delete;

private:
    CWyExplorerWnd& m_explorer;
};
