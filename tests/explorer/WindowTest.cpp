// The control's window: the splitter's bar, the panes' layout, properties that restyle the views, keys, the screen against a full repaint, leaks.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/control/ProcessCounters.h"

#include <ocidl.h>

namespace {

RECT ChildRect(HWND parent, HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int TreeWidth(const ExplorerHost& host)
{
    return ChildRect(host.Splitter(), host.Tree()).right;
}

// Releases the mouse capture when it receives kReleaseCapture: a stand-in
// for another window taking the capture while the bar is dragged.
constexpr UINT kReleaseCapture = WM_APP + 1;
LRESULT CALLBACK CaptureThief(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kReleaseCapture) {
        ReleaseCapture();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message queued for window (null: the splitter).
struct Queued {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

TEST(Splitter, TheBarFollowsADragStaysInsideAndCancelsOnEscapeRightButtonAndCaptureLoss)
{
    ExplorerHost host({400, 300});
    const HWND splitter = host.Splitter();
    ASSERT_NE(nullptr, splitter);
    EXPECT_EQ(100, TreeWidth(host));
    EXPECT_EQ(105, ChildRect(splitter, host.List()).left) << "a bar 5 pixels wide";

    WNDCLASSW thiefClass = {};
    thiefClass.lpfnWndProc = CaptureThief;
    thiefClass.hInstance = GetModuleHandleW(nullptr);
    thiefClass.lpszClassName = L"WyFTPCaptureThief";
    RegisterClassW(&thiefClass);
    const HWND thief = CreateWindowW(L"WyFTPCaptureThief", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);

    // A press on the bar with these messages queued: the press runs the
    // splitter's capture loop over them.
    const auto at = [](int x) { return MAKELPARAM(x, 20); };
    const struct {
        const char* what;
        std::vector<Queued> after;
        int expectedLeftEdge;
    } drags[] = {
        {"drag right", {{nullptr, WM_MOUSEMOVE, 0, at(150)}, {nullptr, WM_LBUTTONUP, 0, at(150)}}, 148},
        {"escape", {{nullptr, WM_MOUSEMOVE, 0, at(200)}, {nullptr, WM_KEYDOWN, VK_ESCAPE, 1}}, 148},
        {"right button", {{nullptr, WM_MOUSEMOVE, 0, at(200)}, {nullptr, WM_RBUTTONDOWN, 0, at(200)}}, 148},
        {"capture lost", {{nullptr, WM_MOUSEMOVE, 0, at(200)}, {thief, kReleaseCapture, 0, 0},
                          {nullptr, WM_MOUSEMOVE, 0, at(210)}, {nullptr, WM_LBUTTONUP, 0, at(210)}}, 148},
        {"release where pressed", {{nullptr, WM_LBUTTONUP, 0, at(150)}}, 148},
        {"far left", {{nullptr, WM_MOUSEMOVE, 0, at(-300)}, {nullptr, WM_LBUTTONUP, 0, at(-300)}}, 0},
        {"far right", {{nullptr, WM_MOUSEMOVE, 0, at(5000)}, {nullptr, WM_LBUTTONUP, 0, at(5000)}}, 400 - 5},
    };
    int pressX = 102;
    for (const auto& drag : drags) {
        for (const Queued& message : drag.after)
            PostMessageW(message.window ? message.window : splitter, message.message, message.wParam, message.lParam);
        SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, at(pressX));
        PumpMessages();
        EXPECT_EQ(drag.expectedLeftEdge, TreeWidth(host)) << drag.what;
        EXPECT_EQ(nullptr, GetCapture()) << drag.what;
        pressX = TreeWidth(host) + 2;
    }
    DestroyWindow(thief);

    // Shrinking the window moves the bar left, its width kept; the
    // explorer goes on covering the control.
    MoveWindow(host.Host(), 0, 0, 200, 300, TRUE);
    PumpMessages();
    EXPECT_EQ(200 - 1 - 5, TreeWidth(host));
    EXPECT_EQ(200, ChildRect(splitter, host.List()).right);
    EXPECT_EQ(ClientSize(host.ControlWindow()).cx, ClientSize(splitter).cx);
    EXPECT_EQ(300, ClientSize(splitter).cy);
}

TEST(ControlWindow, TreeViewWidthAndVisibleTreeLayOutThePanesAndTheBar)
{
    ExplorerHost host({400, 300});
    HostedControl& control = host.Control();
    const HWND splitter = host.Splitter();
    const HIMAGELIST treeImages = TreeView_GetImageList(host.Tree(), TVSIL_NORMAL);
    ASSERT_NE(nullptr, treeImages);
    EXPECT_EQ(3, ImageList_GetImageCount(treeImages));
    EXPECT_EQ(2, ImageList_GetImageCount(ListView_GetImageList(host.List(), LVSIL_NORMAL)));
    EXPECT_EQ(2, ImageList_GetImageCount(ListView_GetImageList(host.List(), LVSIL_SMALL)));

    // The sizing cursor shows over the bar only while the tree shows.
    POINT bar = {102, 50};
    ClientToScreen(splitter, &bar);
    SetCursorPos(bar.x, bar.y);
    const auto sizingCursor = [&] {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        SendMessageW(splitter, WM_SETCURSOR, reinterpret_cast<WPARAM>(splitter), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor() == LoadCursor(nullptr, IDC_SIZEWE);
    };
    EXPECT_TRUE(sizingCursor());
    // Hidden, the tree leaves the list the whole window, a press on the old
    // bar does nothing, and a new width waits until the tree shows again.
    control.SetProperty(L"VisibleTree", false);
    EXPECT_FALSE(IsWindowVisible(host.Tree()));
    EXPECT_FALSE(sizingCursor());
    PostMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(150, 20));
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(102, 20));
    PumpMessages();
    EXPECT_EQ(nullptr, GetCapture());
    control.SetProperty(L"TreeViewWidth", 60);
    EXPECT_EQ(0, ChildRect(splitter, host.List()).left);
    control.SetProperty(L"VisibleTree", true);
    EXPECT_TRUE(IsWindowVisible(host.Tree()));
    EXPECT_EQ(60, TreeWidth(host));
    control.SetProperty(L"TreeViewWidth", 150);
    EXPECT_EQ(150, TreeWidth(host));
    EXPECT_EQ(treeImages, TreeView_GetImageList(host.Tree(), TVSIL_NORMAL)) << "the image list is made once";
}

TEST(ControlWindow, ListViewModeAndTheColoursRestyleTheViews)
{
    ExplorerHost host;
    HostedControl& control = host.Control();
    // Anything unknown gives icons.
    const std::pair<long, DWORD> modes[] = {{2, LVS_SMALLICON}, {3, LVS_LIST}, {0, LVS_ICON}, {7, LVS_ICON}, {1, LVS_REPORT}};
    for (const auto& [mode, style] : modes) {
        control.SetProperty(L"ListViewMode", mode);
        EXPECT_EQ(style, GetWindowLongW(host.List(), GWL_STYLE) & LVS_TYPEMASK) << mode;
    }
    // Both views take the colours, the tree once it shows.
    control.SetProperty(L"VisibleTree", false);
    control.SetProperty(L"BackColor", static_cast<long>(RGB(10, 200, 30)));
    control.SetProperty(L"ForeColor", static_cast<long>(RGB(90, 0, 0)));
    EXPECT_EQ(RGB(10, 200, 30), ListView_GetBkColor(host.List()));
    EXPECT_EQ(RGB(10, 200, 30), ListView_GetTextBkColor(host.List()));
    EXPECT_EQ(RGB(90, 0, 0), ListView_GetTextColor(host.List()));
    EXPECT_NE(RGB(10, 200, 30), TreeView_GetBkColor(host.Tree()));
    control.SetProperty(L"VisibleTree", true);
    EXPECT_EQ(RGB(10, 200, 30), TreeView_GetBkColor(host.Tree()));
    EXPECT_EQ(RGB(90, 0, 0), TreeView_GetTextColor(host.Tree()));
    // A system colour is shown as the colour it stands for.
    control.SetProperty(L"BackColor", static_cast<long>(0x80000000 | COLOR_BTNFACE));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), ListView_GetBkColor(host.List()));
}

TEST(ControlWindow, KeysReachTheViewsThroughTheContainersAcceleratorCall)
{
    ServerExplorer fixture({"pub/"});
    HostedControl& control = fixture.Control();
    auto active = ComPtr<IDispatch>(control.Get()).As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    ASSERT_TRUE(active);
    const HWND list = fixture.host.List();
    SelectRows(list, {"pub"});
    // Focus given to the control goes on to the list.
    SetFocus(fixture.host.ControlWindow());
    EXPECT_EQ(list, GetFocus());
    MSG enter = {};
    enter.hwnd = list;
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_EQ(S_OK, active->TranslateAccelerator(&enter));
    EXPECT_EQ((std::vector<std::string>{"/pub"}), control.sink.DirectoryChanges());
    MSG letter = enter;
    letter.wParam = 'A';
    EXPECT_EQ(S_FALSE, active->TranslateAccelerator(&letter)) << "other keys stay the container's";
}

// The bar dragged with the real mouse from its middle to x, in the splitter's coordinates.
void DragBarTo(ExplorerHost& host, int x)
{
    const HWND splitter = host.Splitter();
    POINT from = {TreeWidth(host) + 2, 200};
    POINT to = {x, 200};
    ClientToScreen(splitter, &from);
    ClientToScreen(splitter, &to);
    EXPECT_TRUE(PlayMouse({
        {nullptr, [&] { SendMouseMove(from); }},
        {nullptr, [] { SendMouseButton(MOUSEEVENTF_LEFTDOWN); }},
        {[&] { return GetCapture() == splitter; }, [&] { SendMouseMove({(from.x + to.x) / 2, to.y}); }},
        {nullptr, [&] { SendMouseMove(to); }},
        {nullptr, [] { SendMouseButton(MOUSEEVENTF_LEFTUP); }},
    }));
    EXPECT_TRUE(PumpUntil([] { return !GetCapture(); })) << "the drag did not end";
}

TEST(Screen, EveryLayoutAndViewChangeLeavesTheScreenAsAFullRepaintDrawsIt)
{
    FtpServer server;
    for (int index = 0; index < 30; ++index)
        server.WriteFile("file" + std::to_string(index) + ".txt", std::string(100 + index * 37, 'x'));
    Fill(server, {"docs/", "pub/", "資料/"});
    // A caret or a focus rectangle may blink between two captures; anything
    // larger is a pane left unpainted (a column of names is about 2,000 pixels).
    constexpr size_t kCaretPixels = 40;
    // Property settings made one after another, the screen settled between
    // them; or a change of another kind.
    const struct {
        const char* what;
        std::vector<std::pair<const wchar_t*, Variant>> settings;
        std::function<void(ExplorerHost&)> change;
    } changes[] = {
        {"the bar dragged with the mouse", {}, [](ExplorerHost& host) { DragBarTo(host, 260); }},
        {"the control resized", {}, [](ExplorerHost& host) { MoveWindow(host.Host(), 0, 0, 700, 420, TRUE); }},
        {"BackColor and ForeColor", {},
         [](ExplorerHost& host) {
             host.Control().SetProperty(L"BackColor", static_cast<long>(RGB(255, 255, 200)));
             host.Control().SetProperty(L"ForeColor", static_cast<long>(RGB(0, 0, 160)));
         }},
        {"TreeViewWidth", {{L"TreeViewWidth", 240L}}, nullptr},
        {"ListViewMode report to icons", {{L"ListViewMode", 0L}}, nullptr},
        {"ListViewMode report to list", {{L"ListViewMode", 3L}}, nullptr},
        {"ListViewMode icons to list", {{L"ListViewMode", 0L}, {L"ListViewMode", 3L}}, nullptr},
        {"ListViewMode icons to report", {{L"ListViewMode", 0L}, {L"ListViewMode", 1L}}, nullptr},
        {"VisibleTree off and on", {{L"VisibleTree", false}, {L"VisibleTree", true}}, nullptr},
        {"VisibleTree off", {{L"VisibleTree", false}}, nullptr},
    };
    for (const auto& change : changes) {
        // A fresh control right after Connect, as a user has it: no forced
        // repaint before the change, which would hide the fault.
        ExplorerHost host({800, 480});
        ConnectToServer(host.Control(), server);
        ASSERT_TRUE(SettlePainting(host.Host())) << change.what;
        for (size_t index = 0; index < change.settings.size(); ++index) {
            if (index > 0)
                SettlePainting(host.Host());
            host.Control().SetProperty(change.settings[index].first, change.settings[index].second);
        }
        if (change.change)
            change.change(host);
        ASSERT_TRUE(SettlePainting(host.Host())) << change.what;
        EXPECT_GE(kCaretPixels, StalePixels(host.ControlWindow())) << change.what;
    }
}

// The growth of the counters over cycles repetitions, after ten to warm up.
ProcessCounters Growth(const std::function<void()>& cycle, int cycles)
{
    const std::string proc = OwnProcDirectory();
    for (int i = 0; i < 10; ++i)
        cycle();
    const ProcessCounters before = ReadProcessCounters(proc);
    for (int i = 0; i < cycles; ++i)
        cycle();
    const ProcessCounters after = ReadProcessCounters(proc);
    ProcessCounters growth;
    growth.anonKib = after.anonKib > before.anonKib ? after.anonKib - before.anonKib : 0;
    growth.serverDescriptors = after.serverDescriptors - before.serverDescriptors;
    growth.windows = after.windows - before.windows;
    return growth;
}

TEST(Leaks, ControlsAndConnectionsMadeAndUndoneAgainAndAgainLeaveNothingBehind)
{
    TestWindow frame(400, 300);
    const ProcessCounters controls = Growth(
        [&] {
            HWND host = nullptr;
            ComPtr<IDispatch> control = ControlInAtlHost(frame.Get(), {0, 0, 380, 260}, &host);
            ASSERT_TRUE(control);
            control = ComPtr<IDispatch>();
            DestroyWindow(host);
        },
        100);
    // Generous: the heaps move a little; a control's worth a cycle would not fit.
    EXPECT_LE(controls.anonKib, 2048u);
    EXPECT_EQ(0, controls.windows);
    EXPECT_LE(controls.serverDescriptors, 5);
    for (const RemoteKind& kind : kRemoteKinds) {
        SCOPED_TRACE(kind.name);
        FtpServer server(kind.server);
        Fill(server, {"a.txt"});
        HostedControl control;
        PointAt(control, server);
        const ProcessCounters connections = Growth(
            [&] {
                control.Must(L"Connect");
                control.Must(L"GetFileList", {"/"});
                control.Must(L"DisConnect");
            },
            30);
        // Cycles grow it by tens of KiB; a session left behind each (an SSH
        // one is some 80 KiB) would not fit.
        EXPECT_LE(connections.anonKib, 1024u);
        EXPECT_EQ(0, connections.windows);
        EXPECT_LE(connections.serverDescriptors, 5);
    }
}

}  // namespace
