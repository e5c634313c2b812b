// What the screen shows is what the views hold: after each layout and view change, the screen against a full repaint.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/FtpServer.h"

#include <functional>

namespace {

// A caret or a focus rectangle may blink between two captures; anything
// larger is a pane left unpainted (a column of names is about 2,000 pixels).
constexpr size_t kCaretPixels = 40;

struct ScreenChange {
    const char* what;
    std::function<void(ExplorerHost&)> change;
};

// The bar dragged with the real mouse from its middle to x, in the splitter's coordinates.
void DragBarTo(ExplorerHost& host, int x)
{
    const HWND splitter = host.Splitter();
    RECT tree = {};
    GetWindowRect(host.Tree(), &tree);
    POINT from = {tree.right - tree.left + 2, 200};
    POINT to = {x, 200};
    ClientToScreen(splitter, &from);
    ClientToScreen(splitter, &to);
    bool released = false;
    MouseScript script({
        {nullptr, [&] { SendMouseMove(from); }},
        {nullptr, [] { SendMouseButton(MOUSEEVENTF_LEFTDOWN); }},
        {[&] { return GetCapture() == splitter; }, [&] { SendMouseMove({(from.x + to.x) / 2, to.y}); }},
        {nullptr, [&] { SendMouseMove(to); }},
        {nullptr, [&] {
             SendMouseButton(MOUSEEVENTF_LEFTUP);
             released = true;
         }},
    });
    ASSERT_TRUE(PumpUntil([&] { return released && !GetCapture(); })) << "the drag did not end";
    EXPECT_FALSE(script.GaveUp());
}

TEST(Screen, EveryLayoutAndViewChangeLeavesTheScreenAsAFullRepaintDrawsIt)
{
    FtpServer server;
    for (int index = 0; index < 30; ++index)
        server.WriteFile("file" + std::to_string(index) + ".txt", std::string(100 + index * 37, 'x'));
    for (const char* directory : {"docs", "pub", "資料"})
        server.MakeDirectory(directory);

    const ScreenChange changes[] = {
        {"the bar dragged with the mouse", [](ExplorerHost& host) { DragBarTo(host, 260); }},
        {"TreeViewWidth", [](ExplorerHost& host) { host.Control().SetProperty(L"TreeViewWidth", 240L); }},
        {"ListViewMode report to icons", [](ExplorerHost& host) { host.Control().SetProperty(L"ListViewMode", 0L); }},
        {"ListViewMode report to list", [](ExplorerHost& host) { host.Control().SetProperty(L"ListViewMode", 3L); }},
        {"ListViewMode icons to list",
         [](ExplorerHost& host) {
             host.Control().SetProperty(L"ListViewMode", 0L);
             SettlePainting(host.Host());
             host.Control().SetProperty(L"ListViewMode", 3L);
         }},
        {"ListViewMode icons to report",
         [](ExplorerHost& host) {
             host.Control().SetProperty(L"ListViewMode", 0L);
             SettlePainting(host.Host());
             host.Control().SetProperty(L"ListViewMode", 1L);
         }},
        {"VisibleTree off and on",
         [](ExplorerHost& host) {
             host.Control().SetProperty(L"VisibleTree", false);
             SettlePainting(host.Host());
             host.Control().SetProperty(L"VisibleTree", true);
         }},
        {"VisibleTree off", [](ExplorerHost& host) { host.Control().SetProperty(L"VisibleTree", false); }},
        {"BackColor and ForeColor",
         [](ExplorerHost& host) {
             host.Control().SetProperty(L"BackColor", static_cast<long>(RGB(255, 255, 200)));
             host.Control().SetProperty(L"ForeColor", static_cast<long>(RGB(0, 0, 160)));
         }},
        {"the control resized", [](ExplorerHost& host) { MoveWindow(host.Host(), 0, 0, 700, 420, TRUE); }},
    };
    for (const ScreenChange& change : changes) {
        // A fresh control right after Connect, as a user has it: no forced
        // repaint before the change, which would hide the fault.
        ExplorerHost host({800, 480});
        ConnectToServer(host.Control(), server);
        ASSERT_TRUE(SettlePainting(host.Host())) << change.what;
        change.change(host);
        ASSERT_TRUE(SettlePainting(host.Host())) << change.what;
        const size_t stale = StalePixels(host.ControlWindow()); printf("%s: %zu\n", change.what, stale);
        EXPECT_GE(kCaretPixels, stale) << change.what;
    }
}

}  // namespace
