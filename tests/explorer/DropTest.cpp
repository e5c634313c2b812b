// Shell files dropped on the list and the tree: targets, events, failures, and what the views show meanwhile.
#include "tests/explorer/ExplorerTestSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <olectl.h>

namespace {

// The recorded events but TransferProgress.
std::vector<DISPID> EventsBesideProgress(const HostEventSink& sink)
{
    std::vector<DISPID> ids;
    for (const DISPID id : sink.Ids()) {
        if (id != kTransferProgressEvent)
            ids.push_back(id);
    }
    return ids;
}

struct DropFixture {
    DropFixture()
    {
        server.MakeDirectory("pub");
        server.MakeDirectory("pub/inner");
        server.WriteFile("pub/inner/deeper.txt", "d");
        server.WriteFile("pub/old.txt", "o");
        WriteBytes(drive.PathOf("one.txt"), "first");
        WriteBytes(drive.PathOf("two.txt"), "second");
        MakeDirectory(drive.PathOf("folder"));
        control().SetProperty(L"ServerName", server.Host().c_str());
        control().Must(L"Connect");
        control().Must(L"SetCurrentDirectory", {"/pub"});
        control().sink.events.clear();
    }
    HostedControl& control() { return host.Control(); }
    std::wstring Dropped(const std::string& name) const { return ToWide(drive.PathOf(name)); }
    // A point of the list below its rows.
    POINT EmptyListSpace() const
    {
        RECT client = {};
        GetClientRect(host.List(), &client);
        return {client.right - 5, client.bottom - 5};
    }
    FtpServer server;
    ScratchDrive drive;
    ExplorerHost host;
};

TEST(Drop, OnTheListUploadsIntoTheCurrentDirectoryOrTheDirectoryDroppedOn)
{
    DropFixture fixture;
    const HWND list = fixture.host.List();
    auto data = MakeShellDrop({fixture.Dropped("one.txt"), fixture.Dropped("two.txt")});
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), DragAndDrop(list, data.Get(), fixture.EmptyListSpace()));
    EXPECT_EQ("first", fixture.server.ReadFile("pub/one.txt"));
    EXPECT_EQ("second", fixture.server.ReadFile("pub/two.txt"));
    // The host sees each path with forward slashes, and each transfer end.
    std::string expected = fixture.drive.PathOf("one.txt");
    for (char& c : expected)
        c = c == '\\' ? '/' : c;
    const auto starts = TransferStarts(fixture.control().sink);
    ASSERT_EQ(2u, starts.size());
    EXPECT_EQ(expected, starts[0]);
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferEndEvent, kTransferStartEvent, kTransferEndEvent}),
              EventsBesideProgress(fixture.control().sink));
    EXPECT_NE(-1, ListRow(list, "two.txt"));

    // On a directory's row (and on a file's row: the current directory).
    data = MakeShellDrop({fixture.Dropped("one.txt")});
    DragAndDrop(list, data.Get(), RowPoint(list, ListRow(list, "inner")));
    EXPECT_EQ("first", fixture.server.ReadFile("pub/inner/one.txt"));
    EXPECT_EQ(-1, ListView_GetNextItem(list, -1, LVNI_DROPHILITED));
    EXPECT_EQ("/pub", fixture.control().Must(L"GetCurrentDirectory", {0}).AsText());
    WriteBytes(fixture.drive.PathOf("one.txt"), "changed");
    DragAndDrop(list, data.Get(), RowPoint(list, ListRow(list, "old.txt")));
    EXPECT_EQ("changed", fixture.server.ReadFile("pub/one.txt"));
    EXPECT_TRUE(Errors(fixture.control().sink).empty());
}

TEST(Drop, OnTheTreeUploadsIntoTheItemsDirectoryAndTheListStaysOnTheCurrentOne)
{
    DropFixture fixture;
    const HWND tree = fixture.host.Tree();
    const HTREEITEM pub = TreeChild(tree, TreeView_GetRoot(tree), "pub");
    const HTREEITEM inner = TreeChild(tree, pub, "inner");
    ASSERT_NE(nullptr, inner);
    auto data = MakeShellDrop({fixture.Dropped("one.txt")});
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), DragAndDrop(tree, data.Get(), TreeItemPoint(tree, inner)));
    EXPECT_EQ("first", fixture.server.ReadFile("pub/inner/one.txt"));
    // The tree passes the path as the shell dropped it.
    EXPECT_EQ((std::vector<std::string>{fixture.drive.PathOf("one.txt")}), TransferStarts(fixture.control().sink));
    EXPECT_EQ(-1, ListRow(fixture.host.List(), "one.txt"));
    EXPECT_NE(-1, ListRow(fixture.host.List(), "old.txt"));
    EXPECT_EQ("pub", TreeItemText(tree, TreeSelection(tree)));

    // Below the last item there is no directory to drop on.
    RECT client = {};
    GetClientRect(tree, &client);
    data = MakeShellDrop({fixture.Dropped("two.txt")});
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), DragAndDrop(tree, data.Get(), {5, client.bottom - 5}));
    EXPECT_FALSE(fixture.server.Exists("two.txt"));
}

TEST(Drop, DropsThatAreRefusedUploadNothing)
{
    DropFixture fixture;
    const HWND list = fixture.host.List();
    // Move only, no files at all, and files back onto their own directory
    // (a local store on the scratch drive, showing where they come from).
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE),
              DragAndDrop(list, MakeShellDrop({fixture.Dropped("one.txt")}).Get(), fixture.EmptyListSpace(),
                          DROPEFFECT_MOVE));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE),
              DragAndDrop(list, MakeShellDrop({L"ignored"}, false).Get(), fixture.EmptyListSpace()));
    EXPECT_FALSE(fixture.server.Exists("pub/one.txt"));

    HostedControl& control = fixture.control();
    control.Must(L"DisConnect");
    ConnectToDisk(control, fixture.drive.Root());
    control.sink.events.clear();
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE),
              DragAndDrop(list, MakeShellDrop({fixture.Dropped("one.txt")}).Get(), fixture.EmptyListSpace()));
    EXPECT_TRUE(control.sink.events.empty());
    // Into a subdirectory of the same store it is a copy.
    DragAndDrop(list, MakeShellDrop({fixture.Dropped("one.txt")}).Get(), RowPoint(list, ListRow(list, "folder")));
    EXPECT_EQ("first", ReadBytes(fixture.drive.PathOf("folder\\one.txt")));
}

TEST(Drop, TheFirstFailureEndsTheDropWithOneError)
{
    DropFixture fixture;
    auto data = MakeShellDrop({fixture.Dropped("one.txt"), fixture.Dropped("folder"), fixture.Dropped("two.txt")});
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE),
              DragAndDrop(fixture.host.List(), data.Get(), fixture.EmptyListSpace()));
    EXPECT_TRUE(fixture.server.Exists("pub/one.txt"));
    EXPECT_FALSE(fixture.server.Exists("pub/two.txt"));
    const HostEventSink& sink = fixture.control().sink;
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferEndEvent, kTransferStartEvent, DISPID_ERROREVENT}),
              EventsBesideProgress(sink));
    const auto errors = Errors(sink);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(static_cast<long>(kOwnErrorStatus), errors[0].first);
    EXPECT_EQ(20203, fixture.control().LastError());
    // The transfer is over: methods answer again.
    EXPECT_EQ(S_OK, fixture.control().Call(L"Refresh").hr);
}

TEST(Drop, CancelInTheProgressDialogEndsTheDrop)
{
    DropFixture fixture;
    WriteBytes(fixture.drive.PathOf("big.bin"), std::string(1024 * 1024, 'b'));
    HostedControl& control = fixture.control();
    control.SetProperty(L"ShowProgressDialog", 1L);  // kilobytes
    control.SetProperty(L"TransferByte", 1L);
    bool pressed = false;
    control.sink.onProgress = [&](long) {
        const HWND dialog = FindThreadWindow(L"#32770", nullptr);
        if (pressed || !dialog || !IsWindowVisible(dialog))
            return;
        // Pressed as a user would; the transfer's pump delivers the click.
        pressed = true;
        PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        Sleep(20);
    };
    auto data = MakeShellDrop({fixture.Dropped("big.bin"), fixture.Dropped("two.txt")});
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), DragAndDrop(fixture.host.List(), data.Get(), fixture.EmptyListSpace()));
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(fixture.server.Exists("pub/big.bin"));
    EXPECT_FALSE(fixture.server.Exists("pub/two.txt"));
    EXPECT_EQ(1u, Errors(control.sink).size());
    EXPECT_EQ(20202, control.LastError());
    EXPECT_FALSE(control.sink.Received(kTransferEndEvent));
}

TEST(Drop, NamesLongerThanTheLimitArriveCutAndFailCleanly)
{
    DropFixture fixture;
    const std::wstring longName = fixture.Dropped(std::string(300, 'n') + ".txt");
    DragAndDrop(fixture.host.List(), MakeShellDrop({longName}).Get(), fixture.EmptyListSpace());
    const auto starts = TransferStarts(fixture.control().sink);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(255u, ToWide(starts[0]).size());
    EXPECT_EQ(1u, Errors(fixture.control().sink).size());
    EXPECT_EQ((std::vector<std::string>{"inner", "old.txt"}), ListColumn(fixture.host.List(), 0));
}

TEST(DropTarget, HighlightFollowsThePointerAndGoesOnLeave)
{
    DropFixture fixture;
    const HWND list = fixture.host.List();
    const HWND tree = fixture.host.Tree();
    IDropTarget* listTarget = RegisteredDropTarget(list);
    IDropTarget* treeTarget = RegisteredDropTarget(tree);
    ASSERT_TRUE(listTarget && treeTarget);
    auto data = MakeShellDrop({fixture.Dropped("one.txt")});
    const auto over = [&](IDropTarget* target, HWND window, POINT point) {
        ClientToScreen(window, &point);
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->DragOver(0, {point.x, point.y}, &effect);
        return effect;
    };
    DWORD effect = DROPEFFECT_COPY;
    listTarget->DragEnter(data.Get(), 0, {0, 0}, &effect);
    const int innerRow = ListRow(list, "inner");
    const int old = ListRow(list, "old.txt");
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), over(listTarget, list, RowPoint(list, innerRow)));
    EXPECT_TRUE(ListView_GetItemState(list, innerRow, LVIS_DROPHILITED));
    over(listTarget, list, RowPoint(list, old));
    EXPECT_FALSE(ListView_GetItemState(list, innerRow, LVIS_DROPHILITED));
    EXPECT_TRUE(ListView_GetItemState(list, old, LVIS_DROPHILITED));
    listTarget->DragLeave();
    EXPECT_FALSE(ListView_GetItemState(list, old, LVIS_DROPHILITED));

    // (Wine's tree never drop-highlights its selected item: another one.)
    const HTREEITEM inner = TreeChild(tree, TreeChild(tree, TreeView_GetRoot(tree), "pub"), "inner");
    treeTarget->DragEnter(data.Get(), 0, {0, 0}, &effect);
    // (At the pane's edge: the first move starts a scroll zone.)
    over(treeTarget, tree, TreeItemPoint(tree, inner));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), over(treeTarget, tree, TreeItemPoint(tree, inner)));
    EXPECT_EQ(inner, TreeView_GetDropHilight(tree));
    treeTarget->DragLeave();
    EXPECT_EQ(nullptr, TreeView_GetDropHilight(tree));
}

TEST(DropTarget, ATreeItemWithChildrenOpensWhenTheDragRestsOnIt)
{
    DropFixture fixture;
    HostedControl& control = fixture.control();
    control.Must(L"SetCurrentDirectory", {"/"});
    const HWND tree = fixture.host.Tree();
    const HTREEITEM pub = TreeChild(tree, TreeView_GetRoot(tree), "pub");
    TreeView_Expand(tree, pub, TVE_COLLAPSE);
    IDropTarget* target = RegisteredDropTarget(tree);
    ASSERT_NE(nullptr, target);
    auto data = MakeShellDrop({fixture.Dropped("one.txt")});
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(data.Get(), 0, {0, 0}, &effect);
    POINT point = TreeItemPoint(tree, pub);
    ClientToScreen(tree, &point);
    effect = DROPEFFECT_COPY;
    target->DragOver(0, {point.x, point.y}, &effect);
    EXPECT_TRUE(PumpUntil([&] { return (TreeView_GetItemState(tree, pub, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }));
    const HTREEITEM inner = TreeChild(tree, pub, "inner");
    ASSERT_NE(nullptr, inner);
    // inner holds files only: resting on it arms no expansion (timer 4).
    point = TreeItemPoint(tree, inner);
    ClientToScreen(tree, &point);
    effect = DROPEFFECT_COPY;
    target->DragOver(0, {point.x, point.y}, &effect);
    EXPECT_FALSE(KillTimer(tree, 4));
    target->DragLeave();
}

TEST(DropTarget, AZoneStartsOneScrollStepAndReportsScrolling)
{
    DropFixture fixture;
    for (int i = 0; i < 60; ++i)
        fixture.server.WriteFile("pub/f" + std::to_string(100 + i) + ".txt", "x");
    HostedControl& control = fixture.control();
    control.SetProperty(L"ListViewMode", 1L);
    control.Must(L"Refresh");
    const HWND list = fixture.host.List();
    ListView_EnsureVisible(list, ListView_GetItemCount(list) - 1, FALSE);
    const int top = ListView_GetTopIndex(list);
    ASSERT_GT(top, 0);
    IDropTarget* target = RegisteredDropTarget(list);
    auto data = MakeShellDrop({fixture.Dropped("one.txt")});
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(data.Get(), 0, {0, 0}, &effect);
    RECT client = {};
    GetClientRect(list, &client);
    POINT point = {(client.left + client.right) / 2, client.top + 3};
    ClientToScreen(list, &point);
    const auto over = [&] {
        DWORD allowed = DROPEFFECT_COPY;
        target->DragOver(0, {point.x, point.y}, &allowed);
        return allowed;
    };
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_SCROLL), over());
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), over());  // the zone's timer is running
    EXPECT_TRUE(PumpUntil([&] { return ListView_GetTopIndex(list) < top; }));
    EXPECT_EQ(top - 1, ListView_GetTopIndex(list));
    target->DragLeave();
}

}  // namespace
