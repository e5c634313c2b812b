// The control in a real container, its explorer windows found, driven with messages and read back.
#pragma once
#include "tests/control/WindowTestSupport.h"
#include "tests/fixture/FtpServer.h"
#include "tests/integration/HostSupport.h"

#include <commctrl.h>
#include <oleidl.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class ScratchDrive;

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
    HWND ControlWindow() const { return GetWindow(m_host, GW_CHILD); }
    HWND Splitter() const { return FindDescendant(m_host, L"WyFTPSplitter"); }
    HWND Tree() const { return FindDescendant(m_host, WC_TREEVIEWW); }
    HWND List() const { return FindDescendant(m_host, WC_LISTVIEWW); }

private:
    TestWindow m_frame;
    HWND m_host = nullptr;
    std::unique_ptr<HostedControl> m_control;
};

// Makes entries below the server's root or on the drive: a name ending in
// "/" is a directory, any other a file that holds its own name.
void Fill(const FtpServer& server, std::initializer_list<const char*> entries);
void Fill(const ScratchDrive& drive, std::initializer_list<const char*> entries);

// Connects the control to the local disk: root as its drive ("P:"), in
// directory (a store path; "" keeps the control's ConnectDirectory).
void ConnectToDisk(HostedControl& control, const std::string& root, const char* directory = "");
// Connects the control to server (as its user account when asUser, else
// anonymously), in directory ("" keeps the control's ConnectDirectory).
void ConnectToServer(HostedControl& control, const FtpServer& server, const char* directory = "", bool asUser = false);

// A server of kind holding entries (see Fill) and the control in a
// container connected to it anonymously in directory, the events of the
// connection forgotten.
struct ServerExplorer {
    explicit ServerExplorer(std::initializer_list<const char*> entries, const char* kind = "normal",
                            const char* directory = "/");
    HostedControl& Control() { return host.Control(); }

    FtpServer server;
    ExplorerHost host;
};

// The tree as text: each item's text, its children in brackets, siblings
// separated by spaces, "+" after an item with a button but no children
// read yet: "/[docs pub+]".
// Answers the tree waits for in the background are waited for first, and
// an item still waiting (after about ten seconds) shows "?".
std::string TreeOutline(HWND tree);
// Waits, handling messages, until no item of the tree waits for an answer
// about its button; whether none does.
bool WaitForTreeAnswers(HWND tree);
// Asks the tree for the fields of mask of item, its text into text (512 characters).
TVITEMW QueryItem(HWND tree, HTREEITEM item, UINT mask, wchar_t* text = nullptr);
std::string TreeItemText(HWND tree, HTREEITEM item);
std::string SelectedTreeText(HWND tree);
int TreeItemImage(HWND tree, HTREEITEM item);
// The item at path, the texts of the items below the root joined with "/"
// ("" is the root), or null.
HTREEITEM TreeItemAt(HWND tree, const std::string& path);

// The texts of one column of the list, in row order.
std::vector<std::string> ListColumn(HWND list, int column);
std::string ListText(HWND list, int row, int column);
int ListRow(HWND list, const std::string& name);
void SelectRows(HWND list, const std::vector<std::string>& names);
std::vector<std::string> SelectedNames(HWND list);
// The point of a row's label or a tree item's text, in client coordinates.
POINT RowPoint(HWND list, int row);
POINT TreeItemPoint(HWND tree, HTREEITEM item);

// A click of the right button at point: the release is queued first, so the
// view's wait for it ends at once, as a quick click does.
void RightClick(HWND window, POINT point);
void DoubleClick(HWND window, POINT point);
void PressKey(HWND window, UINT key);
// Edits a label the way a user does: F2, type, Enter.
void EditLabel(HWND view, const wchar_t* text);

// The Error events a sink recorded: (scode, description).
std::vector<std::pair<long, std::string>> Errors(const HostEventSink& sink);
// The names of the recorded TransferStart events, in order.
std::vector<std::string> TransferStarts(const HostEventSink& sink);

// Runs action, answering the message box it opens as a user does: a timer
// that runs inside the box's modal loop reads its text and presses button.
// The box's text, or "" when no box came.
std::string AnswerMessageBox(int button, const std::function<void()>& action);

// Data as the shell offers dropped files: CF_HDROP with wide names (or, for
// withFiles false, some other format only).
ComPtr<IDataObject> MakeShellDrop(const std::vector<std::wstring>& names, bool withFiles = true);
// The drop target the window registered, or null.
IDropTarget* RegisteredDropTarget(HWND window);
// A whole drag over window: enter and move at point (client coordinates)
// with the left button held, then a drop with the allowed effects. The
// effect the drop reported.
DWORD DragAndDrop(HWND window, IDataObject* data, POINT point, DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE);
// Waits, handling messages, until done() holds or about ten seconds pass.
bool PumpUntil(const std::function<bool()>& done);

// Plays real mouse input (SendInput, in screen coordinates) from a timer
// that goes on running inside nested message loops such as a drag's: each
// step waits until its condition holds, then sends its input. Gives up
// after about ten seconds, releasing the buttons so that no drag hangs.
// Whether every step ran.
struct MouseStep {
    std::function<bool()> ready;  // null: at once
    std::function<void()> act;
};
bool PlayMouse(const std::vector<MouseStep>& steps);
