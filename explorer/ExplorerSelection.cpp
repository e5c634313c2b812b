// The explorer's selection and display services for the control's methods and properties.
#include "explorer/WyExplorerWnd.h"

#include "explorer/WyListView.h"
#include "explorer/WyTreeView.h"
#include "filesystem/WyPath.h"

namespace {

// The text after the last "/" of a path, backslashes counting as "/".
std::string LastComponent(const std::string& path)
{
    CWyPath name(path);
    return name.ToForwardSlashes().GetLastComponent().Str();
}

}  // namespace

BOOL CWyExplorerWnd::SelectListItem(const std::string& path)
{
    CWyListView* view = GetListView();
    if (!view)
        return FALSE;
    const int item = view->List().FindItemByText(LastComponent(path));
    if (item == -1)
        return FALSE;
    return view->List().SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CWyExplorerWnd::GetSelectedNames(std::vector<std::string>& names) const
{
    CWyListView* view = GetListView();
    if (!view)
        return;
    const CListCtrl list = view->List();
    for (int item = list.GetNextItem(-1, LVNI_SELECTED); item != -1; item = list.GetNextItem(item, LVNI_SELECTED))
        names.push_back(list.GetItemText(item, 0));
}

std::string CWyExplorerWnd::GetCurrentFileName() const
{
    CWyListView* view = GetListView();
    if (!view || view->List().GetSelectedCount() != 1)
        return {};
    return view->List().GetItemText(view->GetFirstSelected(), 0);
}

BOOL CWyExplorerWnd::ClearSelection(const std::string& name)
{
    CWyListView* view = GetListView();
    if (!view)
        return FALSE;
    const CListCtrl list = view->List();
    if (name.empty()) {
        BOOL result = FALSE;
        for (int item = list.GetNextItem(-1, LVNI_SELECTED); item != -1; item = list.GetNextItem(item, LVNI_SELECTED))
            result = list.SetItemState(item, 0, LVIS_SELECTED);
        return result;
    }
    const int item = list.FindItemByText(LastComponent(name));
    if (item == -1)
        return FALSE;
    if (!(list.GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED))
        return TRUE;
    return list.SetItemState(item, 0, LVIS_SELECTED);
}

void CWyExplorerWnd::SetListViewMode(long mode)
{
    CWyListView* view = GetListView();
    if (!view)
        return;
    const DWORD type = (mode == 1 || mode == 2 || mode == 3) ? static_cast<DWORD>(mode) : LVS_ICON;
    const HWND list = view->GetHwnd();
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(list, GWL_STYLE));
    SetWindowLongPtrW(list, GWL_STYLE, (style & ~LVS_TYPEMASK) | type);
}

BOOL CWyExplorerWnd::SelectTreeParent()
{
    // The tree reports the new selection, which changes the directory.
    if (CWyTreeView* view = GetTreeView()) {
        const CTreeCtrl tree = view->Tree();
        if (const HTREEITEM parent = tree.GetParentItem(tree.GetSelectedItem()))
            tree.SelectItem(parent);
    }
    return TRUE;
}

BOOL CWyExplorerWnd::ForgetRememberedPaths()
{
    m_rememberedPaths.clear();
    return TRUE;
}

void CWyExplorerWnd::ClearViews()
{
    StopButtonWorker(false);
    if (CWyTreeView* view = GetTreeView()) {
        QuietTreeScope quiet(*this);
        view->Tree().DeleteAllItems();
    }
    if (CWyListView* view = GetListView())
        view->List().DeleteAllItems();
    ForgetRememberedPaths();
}
