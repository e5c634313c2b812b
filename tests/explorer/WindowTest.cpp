// The control's window and the splitter: the bar's drag and its cancellations, pane layout, colours, modes, keys.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/FtpServer.h"

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

// A drag of the bar from x 102: the messages that follow the press are
// queued, then the press runs the splitter's capture loop over them.
struct Queued {
    HWND window;  // null: the splitter
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct BarDrag {
    const char* what;
    std::vector<Queued> after;
    int expectedLeftEdge;
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

    const auto at = [](int x) { return MAKELPARAM(x, 20); };
    const BarDrag drags[] = {
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
    for (const BarDrag& drag : drags) {
        for (const Queued& message : drag.after)
            PostMessageW(message.window ? message.window : splitter, message.message, message.wParam, message.lParam);
        SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, at(pressX));
        PumpMessages();
        EXPECT_EQ(drag.expectedLeftEdge, TreeWidth(host)) << drag.what;
        EXPECT_EQ(nullptr, GetCapture()) << drag.what;
        pressX = TreeWidth(host) + 2;
    }
    DestroyWindow(thief);

    // Shrinking the window moves the bar left, its width kept.
    MoveWindow(host.Host(), 0, 0, 200, 300, TRUE);
    PumpMessages();
    EXPECT_EQ(200 - 1 - 5, TreeWidth(host));
    EXPECT_EQ(200, ChildRect(splitter, host.List()).right);
}

TEST(Splitter, TheSizingCursorShowsOverTheBarOnlyWhileTheTreeShows)
{
    ExplorerHost host({400, 300});
    const HWND splitter = host.Splitter();
    POINT bar = {102, 50};
    ClientToScreen(splitter, &bar);
    SetCursorPos(bar.x, bar.y);
    SendMessageW(splitter, WM_SETCURSOR, reinterpret_cast<WPARAM>(splitter), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursor(nullptr, IDC_SIZEWE), GetCursor());

    host.Control().SetProperty(L"VisibleTree", false);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageW(splitter, WM_SETCURSOR, reinterpret_cast<WPARAM>(splitter), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(LoadCursor(nullptr, IDC_SIZEWE), GetCursor());
    // With the tree hidden the list fills the window and a press on the old bar does nothing.
    EXPECT_EQ(0, ChildRect(splitter, host.List()).left);
    EXPECT_FALSE(IsWindowVisible(host.Tree()));
    PostMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(150, 20));
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(102, 20));
    PumpMessages();
    EXPECT_EQ(nullptr, GetCapture());
}

TEST(ControlWindow, TreeViewWidthVisibleTreeAndTheImageListsFollowTheProperties)
{
    ExplorerHost host({400, 300});
    HostedControl& control = host.Control();
    const HIMAGELIST treeImages = TreeView_GetImageList(host.Tree(), TVSIL_NORMAL);
    ASSERT_NE(nullptr, treeImages);
    EXPECT_EQ(3, ImageList_GetImageCount(treeImages));
    EXPECT_EQ(2, ImageList_GetImageCount(ListView_GetImageList(host.List(), LVSIL_NORMAL)));
    EXPECT_EQ(2, ImageList_GetImageCount(ListView_GetImageList(host.List(), LVSIL_SMALL)));

    control.SetProperty(L"TreeViewWidth", 150);
    EXPECT_EQ(150, TreeWidth(host));
    // Hidden, the tree keeps its place; a new width waits until it shows again.
    control.SetProperty(L"VisibleTree", false);
    control.SetProperty(L"TreeViewWidth", 60);
    EXPECT_EQ(0, ChildRect(host.Splitter(), host.List()).left);
    control.SetProperty(L"VisibleTree", true);
    EXPECT_TRUE(IsWindowVisible(host.Tree()));
    EXPECT_EQ(60, TreeWidth(host));
    EXPECT_EQ(treeImages, TreeView_GetImageList(host.Tree(), TVSIL_NORMAL)) << "the image list is made once";

    // The explorer covers the control whatever its size.
    MoveWindow(host.Host(), 0, 0, 300, 200, TRUE);
    PumpMessages();
    EXPECT_EQ(ClientSize(host.ControlWindow()).cx, ClientSize(host.Splitter()).cx);
    EXPECT_EQ(200, ClientSize(host.Splitter()).cy);
}

TEST(ControlWindow, ListViewModeSetsTheListsViewAnythingUnknownGivesIcons)
{
    ExplorerHost host;
    const std::pair<long, DWORD> modes[] = {
        {2, LVS_SMALLICON}, {3, LVS_LIST}, {0, LVS_ICON}, {7, LVS_ICON}, {1, LVS_REPORT}};
    for (const auto& [mode, style] : modes) {
        host.Control().SetProperty(L"ListViewMode", mode);
        EXPECT_EQ(style, GetWindowLongW(host.List(), GWL_STYLE) & LVS_TYPEMASK) << mode;
    }
}

TEST(ControlWindow, ColoursGoToBothViewsAndToTheTreeOnceItShows)
{
    ExplorerHost host;
    HostedControl& control = host.Control();
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
    FtpServer server;
    server.MakeDirectory("pub");
    ExplorerHost host;
    HostedControl& control = host.Control();
    ConnectToServer(control, server);
    control.sink.events.clear();
    auto active = ComPtr<IDispatch>(control.Get()).As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    ASSERT_TRUE(active);
    const HWND list = host.List();
    SelectRows(list, {"pub"});
    // Focus given to the control goes on to the list.
    SetFocus(host.ControlWindow());
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

}  // namespace
