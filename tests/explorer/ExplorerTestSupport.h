// The control in a real container, its explorer windows found, driven with messages and read back.
#pragma once
#include "tests/control/WindowTestSupport.h"
#include "tests/integration/HostSupport.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

// A frame window with ATL's host holding the registered control, in-place
// active, with an event sink. The explorer's windows are found below the
// control's window by their classes.
class ExplorerHost {
public:
    explicit ExplorerHost(SIZE size = {640, 400});
    ExplorerHost(const ExplorerHost&) = delete;
    ExplorerHost& operator=(const ExplorerHost&) = delete;

    HostedControl& Control() { return *m_control; }
    HWND Host() const { return m_host; }
    HWND ControlWindow() const;
    HWND Splitter() const;
    HWND Tree() const;
    HWND List() const;

private:
    TestWindow m_frame;
    HWND m_host = nullptr;
    std::unique_ptr<HostedControl> m_control;
};

// The first descendant of parent with that window class, or null.
HWND FindDescendant(HWND parent, const wchar_t* className);

// The tree as text: each item's text, its children in brackets, siblings
// separated by spaces: "/[docs pub[1]]".
std::string TreeOutline(HWND tree);
std::string TreeItemText(HWND tree, HTREEITEM item);
int TreeItemImage(HWND tree, HTREEITEM item);
// The child of parent (TVI_ROOT for the top) with that text, or null.
HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const std::string& text);
HTREEITEM TreeSelection(HWND tree);

// The texts of one column of the list, in row order.
std::vector<std::string> ListColumn(HWND list, int column);
std::string ListText(HWND list, int row, int column);
int ListImage(HWND list, int row);
LPARAM ListData(HWND list, int row);
int ListRow(HWND list, const std::string& name);
void SelectRows(HWND list, const std::vector<std::string>& names);
std::vector<std::string> SelectedNames(HWND list);
// The centre of a row's label, in the list's client coordinates.
POINT RowPoint(HWND list, int row);
POINT TreeItemPoint(HWND tree, HTREEITEM item);

// A click of the right button at point: the release is queued first, so the
// view's wait for it ends at once, as a quick click does.
void RightClick(HWND window, POINT point);
void DoubleClick(HWND window, POINT point);
void PressKey(HWND window, UINT key);
