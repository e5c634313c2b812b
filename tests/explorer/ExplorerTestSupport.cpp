// The control in a real container, its explorer windows found, driven with messages and read back.
#include "tests/explorer/ExplorerTestSupport.h"

#include "examples/cpp-host/ShellFileDrop.h"
#include "framework/CodePage932.h"
#include "tests/fixture/ScratchDrive.h"

#include <olectl.h>

#include <algorithm>
#include <cstring>

ExplorerHost::ExplorerHost(SIZE size) : m_frame(size.cx + 40, size.cy + 60)
{
    ComPtr<IDispatch> control = ControlInAtlHost(m_frame.Get(), {0, 0, size.cx, size.cy}, &m_host);
    EXPECT_TRUE(control) << "the platform's ATL host did not take the control";
    m_control = std::make_unique<HostedControl>(std::move(control));
    m_control->sink.cancelDisplay = true;
}

void Fill(const FtpServer& server, std::initializer_list<const char*> entries)
{
    for (const std::string entry : entries) {
        if (entry.back() == '/')
            server.MakeDirectory(entry);
        else
            server.WriteFile(entry, entry);
    }
}

void Fill(const ScratchDrive& drive, std::initializer_list<const char*> entries)
{
    for (const std::string entry : entries) {
        if (entry.back() == '/')
            MakeDirectory(drive.PathOf(entry));
        else
            WriteBytes(drive.PathOf(entry), entry);
    }
}

void ConnectToDisk(HostedControl& control, const std::string& root, const char* directory)
{
    control.SetProperty(L"ConnectTarget", 0L);
    control.SetProperty(L"ServerName", root.c_str());
    if (*directory)
        control.SetProperty(L"ConnectDirectory", directory);
    control.Must(L"Connect");
}

void ConnectToServer(HostedControl& control, const FtpServer& server, const char* directory, bool asUser)
{
    PointAt(control, server, asUser);
    if (*directory)
        control.SetProperty(L"ConnectDirectory", directory);
    control.Must(L"Connect");
}

ServerExplorer::ServerExplorer(std::initializer_list<const char*> entries, const char* kind, const char* directory)
    : server(kind)
{
    Fill(server, entries);
    ConnectToServer(Control(), server, directory);
    Control().sink.events.clear();
}

TVITEMW QueryItem(HWND tree, HTREEITEM item, UINT mask, wchar_t* text)
{
    TVITEMW query = {};
    query.mask = mask;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = text ? 512 : 0;
    query.iImage = -7;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return query;
}

namespace {

// Whether the button of item or of an item below it is still being found
// out: its item data holds the question until the answer comes.
bool ButtonPending(HWND tree, HTREEITEM item)
{
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        if (QueryItem(tree, item, TVIF_PARAM).lParam != 0 || ButtonPending(tree, TreeView_GetChild(tree, item)))
            return true;
    }
    return false;
}

void OutlineOf(HWND tree, HTREEITEM item, std::string& out)
{
    for (HTREEITEM first = item; item; item = TreeView_GetNextSibling(tree, item)) {
        out += (item == first ? "" : " ") + TreeItemText(tree, item);
        const TVITEMW state = QueryItem(tree, item, TVIF_CHILDREN | TVIF_PARAM);
        if (HTREEITEM child = TreeView_GetChild(tree, item)) {
            out += '[';
            OutlineOf(tree, child, out);
            out += ']';
        } else if (state.cChildren != 0) {
            // A button before the children are read: asking for it is what
            // showing the item does (a lazily decided item decides now).
            out += '+';
        }
        if (state.lParam != 0)
            out += '?';  // still waiting for its answer
    }
}

}  // namespace

std::string TreeItemText(HWND tree, HTREEITEM item)
{
    wchar_t text[512] = L"";
    QueryItem(tree, item, TVIF_TEXT, text);
    return ToShiftJis(text);
}

std::string TreeOutline(HWND tree)
{
    // Asking shows every item; the answers that come in the background are
    // then waited for.
    std::string out;
    OutlineOf(tree, TreeView_GetRoot(tree), out);
    WaitForTreeAnswers(tree);
    out.clear();
    OutlineOf(tree, TreeView_GetRoot(tree), out);
    return out;
}

bool WaitForTreeAnswers(HWND tree)
{
    return PumpUntil([&] { return !ButtonPending(tree, TreeView_GetRoot(tree)); });
}

std::string SelectedTreeText(HWND tree)
{
    return TreeItemText(tree, TreeView_GetSelection(tree));
}

int TreeItemImage(HWND tree, HTREEITEM item)
{
    return QueryItem(tree, item, TVIF_IMAGE).iImage;
}

HTREEITEM TreeItemAt(HWND tree, const std::string& path)
{
    HTREEITEM item = TreeView_GetRoot(tree);
    // "/" is never a trail byte of Shift-JIS: the path splits bytewise.
    for (size_t start = 0; item && start < path.size();) {
        const size_t slash = std::min(path.find('/', start), path.size());
        const std::string text = path.substr(start, slash - start);
        item = TreeView_GetChild(tree, item);
        while (item && TreeItemText(tree, item) != text)
            item = TreeView_GetNextSibling(tree, item);
        start = slash + 1;
    }
    return item;
}

std::string ListText(HWND list, int row, int column)
{
    wchar_t text[512] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return ToShiftJis(text);
}

std::vector<std::string> ListColumn(HWND list, int column)
{
    std::vector<std::string> texts;
    for (int row = 0; row < ListView_GetItemCount(list); ++row)
        texts.push_back(ListText(list, row, column));
    return texts;
}

int ListRow(HWND list, const std::string& name)
{
    const std::vector<std::string> names = ListColumn(list, 0);
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
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
    RECT label = {LVIR_LABEL, 0, 0, 0};
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

void EditLabel(HWND view, const wchar_t* text)
{
    PressKey(view, VK_F2);
    const HWND edit = FindDescendant(view, L"Edit");
    ASSERT_NE(nullptr, edit) << "no label editing started";
    SetWindowTextW(edit, text);
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    PumpMessages();
}

std::vector<std::pair<long, std::string>> Errors(const HostEventSink& sink)
{
    std::vector<std::pair<long, std::string>> errors;
    for (const HostEvent& event : sink.events) {
        if (event.id == DISPID_ERROREVENT)
            errors.emplace_back(event.args[2].AsLong(), event.args[1].AsText());
    }
    return errors;
}

std::vector<std::string> TransferStarts(const HostEventSink& sink)
{
    std::vector<std::string> names;
    for (const HostEvent& event : sink.events) {
        if (event.id == kTransferStartEvent)
            names.push_back(event.args[0].AsText());
    }
    return names;
}

namespace {

struct PendingAnswer {
    int button;
    bool answered;
    std::string text;
};
PendingAnswer* g_pendingAnswer = nullptr;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD)
{
    const HWND box = FindThreadWindow(L"#32770", nullptr);
    if (!g_pendingAnswer || g_pendingAnswer->answered || !box || !IsWindowVisible(box))
        return;
    // A message box holds its text in a static control with id 0xFFFF.
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    g_pendingAnswer->text = ToShiftJis(text);
    g_pendingAnswer->answered = true;
    SendMessageW(GetDlgItem(box, g_pendingAnswer->button), BM_CLICK, 0, 0);
}

}  // namespace

std::string AnswerMessageBox(int button, const std::function<void()>& action)
{
    PendingAnswer answer = {button, false, {}};
    g_pendingAnswer = &answer;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBox);
    action();
    KillTimer(nullptr, timer);
    g_pendingAnswer = nullptr;
    return answer.text;
}

ComPtr<IDataObject> MakeShellDrop(const std::vector<std::wstring>& names, bool withFiles)
{
    return ComPtr<IDataObject>::Attach(NewShellFileDrop(names, withFiles ? CF_HDROP : CF_TEXT));
}

IDropTarget* RegisteredDropTarget(HWND window)
{
    return static_cast<IDropTarget*>(GetPropW(window, L"OleDropTargetInterface"));
}

DWORD DragAndDrop(HWND window, IDataObject* data, POINT point, DWORD allowed)
{
    IDropTarget* target = RegisteredDropTarget(window);
    if (!target)
        return DROPEFFECT_NONE;
    ClientToScreen(window, &point);
    const POINTL at = {point.x, point.y};
    DWORD effect = allowed;
    target->DragEnter(data, MK_LBUTTON, at, &effect);
    effect = allowed;
    target->DragOver(MK_LBUTTON, at, &effect);
    effect = allowed;
    target->Drop(data, 0, at, &effect);
    PumpMessages();
    return effect;
}

bool PumpUntil(const std::function<bool()>& done)
{
    for (int wait = 0; wait < 1000; ++wait) {
        if (done())
            return true;
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

namespace {

struct MouseScript {
    const std::vector<MouseStep>& steps;
    size_t next;
    int ticks;
    bool gaveUp;
};
MouseScript* g_runningScript = nullptr;

void CALLBACK PlayNextStep(HWND, UINT, UINT_PTR, DWORD)
{
    MouseScript* script = g_runningScript;
    if (!script || script->next == script->steps.size() || script->gaveUp)
        return;
    if (++script->ticks > 500) {
        script->gaveUp = true;
        SendMouseButton(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTUP);
        return;
    }
    const MouseStep& step = script->steps[script->next];
    if (step.ready && !step.ready())
        return;
    ++script->next;
    step.act();
}

}  // namespace

bool PlayMouse(const std::vector<MouseStep>& steps)
{
    MouseScript script = {steps, 0, 0, false};
    g_runningScript = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, PlayNextStep);
    const bool played = PumpUntil([&] { return script.next == steps.size() || script.gaveUp; }) && !script.gaveUp;
    PumpMessages();
    KillTimer(nullptr, timer);
    g_runningScript = nullptr;
    if (!played)
        SendMouseButton(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTUP);
    return played;
}
