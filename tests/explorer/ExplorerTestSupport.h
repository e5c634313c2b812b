// The control in a real container, its explorer windows found, driven with messages and read back.
#pragma once
#include "tests/control/WindowTestSupport.h"
#include "tests/integration/HostSupport.h"

class FtpServer;

#include <commctrl.h>
#include <oleidl.h>

#include <functional>
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


// The tree as text: each item's text, its children in brackets, siblings
// separated by spaces, "+" after an item with a button but no children
// read yet: "/[docs pub+]".
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

// Connects the control to the local disk: root as its drive ("P:"), in
// directory (a store path; "" keeps the control's ConnectDirectory).
void ConnectToDisk(HostedControl& control, const std::string& root, const char* directory = "");
// Connects the control to server (as its user account when asUser, else
// anonymously), then enters directory unless it is "".
void ConnectToServer(HostedControl& control, const FtpServer& server, const char* directory = "", bool asUser = false);

// Edits a label the way a user does: F2, type, Enter.
void EditLabel(HWND view, const wchar_t* text);

// The Error events a sink recorded: (scode, description).
std::vector<std::pair<long, std::string>> Errors(const HostEventSink& sink);
// The names of the recorded TransferStart events, in order.
std::vector<std::string> TransferStarts(const HostEventSink& sink);

// Answers the next message box of this thread as a user does, from a timer
// that runs inside the box's modal loop: reads its text and presses the
// button. One at a time; the timer goes with the object.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(int button);
    ~MessageBoxAnswer();
    MessageBoxAnswer(const MessageBoxAnswer&) = delete;
    MessageBoxAnswer& operator=(const MessageBoxAnswer&) = delete;

    bool Answered() const { return m_answered; }
    const std::string& Text() const { return m_text; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    int m_button;
    UINT_PTR m_timer;
    bool m_answered = false;
    std::string m_text;
};

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

// Real mouse input (SendInput, in screen coordinates), played from a timer
// that goes on running inside nested message loops such as a drag's: each
// step waits until its condition holds, then sends its input. Gives up
// after about ten seconds, releasing the buttons so that no drag hangs.
struct MouseStep {
    std::function<bool()> ready;  // null: at once
    std::function<void()> act;
};
class MouseScript {
public:
    explicit MouseScript(std::vector<MouseStep> steps);
    ~MouseScript();
    MouseScript(const MouseScript&) = delete;
    MouseScript& operator=(const MouseScript&) = delete;
    bool Finished() const { return m_next == m_steps.size(); }
    bool GaveUp() const { return m_gaveUp; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    std::vector<MouseStep> m_steps;
    size_t m_next = 0;
    int m_ticks = 0;
    bool m_gaveUp = false;
    UINT_PTR m_timer;
};
