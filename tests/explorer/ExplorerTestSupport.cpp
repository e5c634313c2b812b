// The control in a real container, its explorer windows found, driven with messages and read back.
#include "tests/explorer/ExplorerTestSupport.h"

#include "framework/CodePage932.h"

#include <commctrl.h>

#include <cstring>

ExplorerHost::ExplorerHost(SIZE size) : m_frame(size.cx + 40, size.cy + 60)
{
    ComPtr<IDispatch> control = ControlInAtlHost(m_frame.Get(), {0, 0, size.cx, size.cy}, &m_host);
    EXPECT_TRUE(control) << "the platform's ATL host did not take the control";
    m_control = std::make_unique<HostedControl>(std::move(control));
    m_control->sink.cancelDisplay = true;
}

HWND ExplorerHost::ControlWindow() const
{
    return GetWindow(m_host, GW_CHILD);
}

HWND ExplorerHost::Splitter() const
{
    return FindDescendant(m_host, L"WyFTPSplitter");
}

HWND ExplorerHost::Tree() const
{
    return FindDescendant(m_host, WC_TREEVIEWW);
}

HWND ExplorerHost::List() const
{
    return FindDescendant(m_host, WC_LISTVIEWW);
}

namespace {
struct DescendantSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<DescendantSearch*>(parameter);
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (lstrcmpW(className, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

std::string Narrow(const wchar_t* text)
{
    return ToShiftJis(text);
}

void OutlineOf(HWND tree, HTREEITEM item, std::string& out)
{
    bool first = true;
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        if (!first)
            out += ' ';
        first = false;
        out += TreeItemText(tree, item);
        if (HTREEITEM child = TreeView_GetChild(tree, item)) {
            out += '[';
            OutlineOf(tree, child, out);
            out += ']';
        }
    }
}
}  // namespace

HWND FindDescendant(HWND parent, const wchar_t* className)
{
    DescendantSearch search = {className, nullptr};
    EnumChildWindows(parent, &MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TreeItemText(HWND tree, HTREEITEM item)
{
    wchar_t text[512] = L"";
    TVITEMW query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = 512;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return Narrow(text);
}

int TreeItemImage(HWND tree, HTREEITEM item)
{
    TVITEMW query = {};
    query.mask = TVIF_IMAGE;
    query.hItem = item;
    query.iImage = -7;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return query.iImage;
}

std::string TreeOutline(HWND tree)
{
    std::string out;
    OutlineOf(tree, TreeView_GetRoot(tree), out);
    return out;
}

HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const std::string& text)
{
    HTREEITEM item = parent == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent);
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        if (TreeItemText(tree, item) == text)
            return item;
    }
    return nullptr;
}

HTREEITEM TreeSelection(HWND tree)
{
    return TreeView_GetSelection(tree);
}

std::string ListText(HWND list, int row, int column)
{
    wchar_t text[512] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return Narrow(text);
}

std::vector<std::string> ListColumn(HWND list, int column)
{
    std::vector<std::string> texts;
    const int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row)
        texts.push_back(ListText(list, row, column));
    return texts;
}

int ListImage(HWND list, int row)
{
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -7;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

LPARAM ListData(HWND list, int row)
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = -7;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int ListRow(HWND list, const std::string& name)
{
    const std::vector<std::string> names = ListColumn(list, 0);
    for (size_t row = 0; row < names.size(); ++row) {
        if (names[row] == name)
            return static_cast<int>(row);
    }
    return -1;
}

void SelectRows(HWND list, const std::vector<std::string>& names)
{
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (const std::string& name : names) {
        const int row = ListRow(list, name);
        EXPECT_NE(-1, row) << name << " is not in the list";
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
}

std::vector<std::string> SelectedNames(HWND list)
{
    std::vector<std::string> names;
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED))
        names.push_back(ListText(list, row, 0));
    return names;
}

POINT RowPoint(HWND list, int row)
{
    RECT label = {};
    label.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
    // Near the start of the text: a click on the blank rest of a row is no click on the item.
    return {label.left + 4, (label.top + label.bottom) / 2};
}

POINT TreeItemPoint(HWND tree, HTREEITEM item)
{
    RECT rect = {};
    std::memcpy(&rect, &item, sizeof item);  // the item goes in, the rectangle comes out
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void RightClick(HWND window, POINT point)
{
    const LPARAM position = MAKELPARAM(point.x, point.y);
    PostMessageW(window, WM_RBUTTONUP, 0, position);
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, position);
    PumpMessages();
}

void DoubleClick(HWND window, POINT point)
{
    const LPARAM position = MAKELPARAM(point.x, point.y);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, position);
    SendMessageW(window, WM_LBUTTONUP, 0, position);
    PumpMessages();
}

void PressKey(HWND window, UINT key)
{
    SendMessageW(window, WM_KEYDOWN, key, 1);
    SendMessageW(window, WM_KEYUP, key, 0xC0000001);
    PumpMessages();
}
