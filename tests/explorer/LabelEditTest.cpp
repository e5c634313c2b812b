// Label editing started by the mouse: a second click on the selected label opens its editor, other clicks cancel.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

namespace {

struct LabelEditFixture {
    LabelEditFixture()
    {
        server.MakeDirectory("pub");
        server.WriteFile("a.txt", "a");
        server.WriteFile("b.txt", "b");
        host.Control().SetProperty(L"ServerName", server.Host().c_str());
        host.Control().Must(L"Connect");
    }
    FtpServer server;
    ExplorerHost host;
};

// A left click with the real mouse at a point of window.
void Click(HWND window, POINT point)
{
    ClientToScreen(window, &point);
    SendMouseMove(point);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    PumpMessages();
}

HWND Editor(HWND view)
{
    return FindDescendant(view, L"Edit");
}

// Handles messages for a while: what a pending edit's timer would need.
void PumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= milliseconds; });
}

// Two clicks further apart than the platform's double-click time: a user's
// slow second click.
void PauseBetweenClicks()
{
    PumpFor(GetDoubleClickTime() + 100);
}

TEST(LabelEditing, ASecondClickOnTheSelectedLabelOpensItsEditor)
{
    LabelEditFixture fixture;
    const HWND list = fixture.host.List();
    Click(list, RowPoint(list, ListRow(list, "a.txt")));  // selects
    ASSERT_EQ((std::vector<std::string>{"a.txt"}), SelectedNames(list));
    PauseBetweenClicks();
    Click(list, RowPoint(list, ListRow(list, "a.txt")));
    ASSERT_TRUE(PumpUntil([&] { return Editor(list) != nullptr; }));
    // The control's own click editing does not take it over meanwhile.
    PumpFor(800);
    EXPECT_NE(nullptr, Editor(list));
    SendMessageW(Editor(list), WM_KEYDOWN, VK_ESCAPE, 1);
    PumpMessages();

    const HWND tree = fixture.host.Tree();
    const HTREEITEM pub = TreeChild(tree, TreeView_GetRoot(tree), "pub");
    Click(tree, TreeItemPoint(tree, pub));
    PauseBetweenClicks();
    Click(tree, TreeItemPoint(tree, pub));
    EXPECT_TRUE(PumpUntil([&] { return Editor(tree) != nullptr; }));
    if (const HWND editor = Editor(tree))
        SendMessageW(editor, WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST(LabelEditing, ADoubleClickOrAClickElsewhereOpensNoEditor)
{
    LabelEditFixture fixture;
    const HWND list = fixture.host.List();
    const POINT a = RowPoint(list, ListRow(list, "a.txt"));
    Click(list, a);
    PauseBetweenClicks();
    // The platform's double click: the first click arms, the second cancels.
    Click(list, a);
    Click(list, a);
    PumpFor(800);
    EXPECT_EQ(nullptr, Editor(list));
    PauseBetweenClicks();
    // A second click on a, then at once a click on b.
    Click(list, a);
    Click(list, RowPoint(list, ListRow(list, "b.txt")));
    PumpFor(800);
    EXPECT_EQ(nullptr, Editor(list));
    EXPECT_EQ((std::vector<std::string>{"b.txt"}), SelectedNames(list));
}

TEST(Renaming, ALocalEntryIsRenamedOnItsDrive)
{
    ScratchDrive drive;
    MakeDirectory(drive.PathOf("docs"));
    WriteBytes(drive.PathOf("docs\\a.txt"), "local");
    ExplorerHost host;
    HostedControl& control = host.Control();
    ConnectToDisk(control, drive.Root(), "/docs");
    const HWND list = host.List();
    SetFocus(list);
    SelectRows(list, {"a.txt"});
    EditLabel(list, L"b.txt");
    EXPECT_EQ("local", ReadBytes(drive.PathOf("docs\\b.txt")));
    EXPECT_FALSE(PathExists(drive.PathOf("docs\\a.txt")));
    EXPECT_TRUE(Errors(control.sink).empty());
}

}  // namespace
