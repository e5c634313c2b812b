// Shell files dropped on the list and the tree: targets, events, failures, and the views' feedback while a drag goes on.
#include "tests/explorer/ExplorerTestSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/ScratchDrive.h"

#include <olectl.h>

namespace {

const std::initializer_list<const char*> kEntries = {"pub/", "pub/inner/", "pub/inner/deeper.txt", "pub/old.txt"};
constexpr DWORD kCopyOrMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;

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

// A point of the list below its rows.
POINT EmptyListSpace(HWND list)
{
    RECT client = {};
    GetClientRect(list, &client);
    return {client.right - 5, client.bottom - 5};
}

std::vector<std::wstring> PathsOn(const ScratchDrive& drive, const std::vector<std::string>& names)
{
    std::vector<std::wstring> paths;
    for (const std::string& name : names)
        paths.push_back(ToWide(drive.PathOf(name)));
    return paths;
}

struct DropOnServers : testing::TestWithParam<RemoteKind> {};

TEST_P(DropOnServers, FilesGoIntoTheDirectoryUnderThePointerAndTheViewsStayOnTheCurrentOne)
{
    ScratchDrive drive;
    ServerExplorer fixture(kEntries, GetParam().server, "/pub");
    HostedControl& control = fixture.Control();
    const HWND list = fixture.host.List();
    const HWND tree = fixture.host.Tree();
    // Each drop's files hold its description, to tell where they went.
    const struct {
        const char* what;
        bool onTree;
        const char* onto;  // the row or the item; nullptr: below the rows or items
        std::vector<std::string> names;
        DWORD allowed;
        bool withFiles;
        const char* into;  // on the server; nullptr: nowhere
    } drops[] = {
        {"allowed to move only", false, nullptr, {"one.txt"}, DROPEFFECT_MOVE, true, nullptr},
        {"without files", false, nullptr, {"one.txt"}, kCopyOrMove, false, nullptr},
        {"below the list's rows", false, nullptr, {"one.txt", "two.txt"}, kCopyOrMove, true, "pub/"},
        {"on a directory's row", false, "inner", {"one.txt"}, kCopyOrMove, true, "pub/inner/"},
        {"on a file's row", false, "old.txt", {"one.txt"}, kCopyOrMove, true, "pub/"},
        {"on a tree item", true, "pub/inner", {"two.txt"}, kCopyOrMove, true, "pub/inner/"},
        {"below the tree's items", true, nullptr, {"two.txt"}, kCopyOrMove, true, nullptr},
    };
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.what);
        control.sink.events.clear();
        std::vector<std::string> starts;
        std::vector<DISPID> events;
        for (const std::string& name : drop.names) {
            WriteBytes(drive.PathOf(name), drop.what);
            if (!drop.into)
                continue;
            // The list passes the paths with forward slashes, the tree as the shell dropped them.
            std::string path = drive.PathOf(name);
            for (char& c : path)
                c = c == '\\' && !drop.onTree ? '/' : c;
            starts.push_back(path);
            events.insert(events.end(), {kTransferStartEvent, kTransferEndEvent});
        }
        RECT client = {};
        GetClientRect(tree, &client);
        const POINT point = drop.onTree ? (drop.onto ? TreeItemPoint(tree, TreeItemAt(tree, drop.onto))
                                                     : POINT{5, client.bottom - 5})
                                        : (drop.onto ? RowPoint(list, ListRow(list, drop.onto)) : EmptyListSpace(list));
        const auto data = MakeShellDrop(PathsOn(drive, drop.names), drop.withFiles);
        const DWORD effect = DragAndDrop(drop.onTree ? tree : list, data.Get(), point, drop.allowed);
        EXPECT_EQ(static_cast<DWORD>(drop.into ? DROPEFFECT_COPY : DROPEFFECT_NONE), effect);
        EXPECT_EQ(starts, TransferStarts(control.sink));
        EXPECT_EQ(events, EventsBesideProgress(control.sink));
        for (const std::string& name : drop.names) {
            for (const std::string directory : {"", "pub/", "pub/inner/"}) {
                const bool holds = fixture.server.Exists(directory + name)
                    && fixture.server.ReadFile(directory + name) == drop.what;
                EXPECT_EQ(drop.into && directory == drop.into, holds) << directory << name;
            }
            if (drop.into && std::string(drop.into) == "pub/") {
                EXPECT_NE(-1, ListRow(list, name)) << "the list shows the new file";
            }
        }
        EXPECT_EQ("/pub", control.Must(L"GetCurrentDirectory", {0}).AsText());
        EXPECT_EQ("pub", SelectedTreeText(tree));
        EXPECT_NE(-1, ListRow(list, "old.txt"));
        EXPECT_EQ(-1, ListView_GetNextItem(list, -1, LVNI_DROPHILITED));
    }
}

TEST(Drop, OnTheLocalDiskAFileGoesIntoAnotherDirectoryButNeverOntoItself)
{
    ScratchDrive drive;
    Fill(drive, {"one.txt", "folder/"});
    ExplorerHost host;
    HostedControl& control = host.Control();
    ConnectToDisk(control, drive.Root(), "/");
    control.sink.events.clear();
    const HWND list = host.List();
    const auto data = MakeShellDrop(PathsOn(drive, {"one.txt"}));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), DragAndDrop(list, data.Get(), EmptyListSpace(list)));
    EXPECT_TRUE(control.sink.events.empty());
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), DragAndDrop(list, data.Get(), RowPoint(list, ListRow(list, "folder"))));
    EXPECT_EQ("one.txt", ReadBytes(drive.PathOf("folder\\one.txt")));
}

TEST(Drop, TheFirstFailureEndsTheDropWithOneErrorAndTheControlAnswersAgain)
{
    ScratchDrive drive;
    Fill(drive, {"one.txt", "two.txt", "folder/"});
    FtpServer server;
    Fill(server, kEntries);
    const std::string longName = drive.PathOf(std::string(300, 'n') + ".txt");
    // Not from the directory it is dropped on, which would leave it alone.
    const std::string missing = "ftp://" + server.Host() + "/missing.txt?uid=" + FtpServer::kUser + "&pw=" +
                                FtpServer::kPassword;
    const struct {
        const char* what;
        std::vector<std::string> dropped;
        std::vector<DISPID> events;  // beside TransferProgress
        long lastError;              // one of the control's own; 0: not checked
        size_t cutTo;                // the first TransferStart's length in characters; 0: not checked
    } drops[] = {
        {"a folder after a file", {drive.PathOf("one.txt"), drive.PathOf("folder"), drive.PathOf("two.txt")},
         {kTransferStartEvent, kTransferEndEvent, kTransferStartEvent, DISPID_ERROREVENT}, 20203, 0},
        {"a name longer than the limit", {longName}, {kTransferStartEvent, DISPID_ERROREVENT}, 0, 255},
        // The password in the address shows nowhere.
        {"a missing file of an address", {missing}, {kTransferStartEvent, DISPID_ERROREVENT}, 0, 0},
    };
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.what);
        ExplorerHost host;
        HostedControl& control = host.Control();
        ConnectToServer(control, server, "/pub");
        control.sink.events.clear();
        const HWND list = host.List();
        const std::vector<std::string> shown = ListColumn(list, 0);
        std::vector<std::wstring> names;
        for (const std::string& name : drop.dropped)
            names.push_back(ToWide(name));
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), DragAndDrop(list, MakeShellDrop(names).Get(), EmptyListSpace(list)));
        EXPECT_EQ(drop.events, EventsBesideProgress(control.sink));
        const auto errors = Errors(control.sink);
        ASSERT_EQ(1u, errors.size());
        EXPECT_EQ(std::string::npos, errors[0].second.find(FtpServer::kPassword));
        EXPECT_EQ(std::string::npos, control.LastMessage().find(FtpServer::kPassword));
        if (drop.lastError) {
            EXPECT_EQ(static_cast<long>(kOwnErrorStatus), errors[0].first);
            EXPECT_EQ(drop.lastError, control.LastError());
        }
        if (drop.cutTo) {
            EXPECT_EQ(drop.cutTo, ToWide(TransferStarts(control.sink).at(0)).size());
        }
        EXPECT_EQ(shown, ListColumn(list, 0)) << "nothing is shown of a failed drop";
        // The transfer is over: methods answer again.
        EXPECT_EQ(S_OK, control.Call(L"Refresh").hr);
    }
    // The file before the folder went; nothing after a failure did.
    EXPECT_TRUE(server.Exists("pub/one.txt"));
    EXPECT_FALSE(server.Exists("pub/two.txt"));
}

// One step of a drag over window at point (client coordinates): the effect the view asks for.
DWORD DragOver(HWND window, POINT point)
{
    ClientToScreen(window, &point);
    DWORD effect = kCopyOrMove;
    RegisteredDropTarget(window)->DragOver(0, {point.x, point.y}, &effect);
    return effect;
}

void DragEnter(HWND window, IDataObject* data)
{
    DWORD effect = DROPEFFECT_COPY;
    RegisteredDropTarget(window)->DragEnter(data, 0, {0, 0}, &effect);
}

TEST(DropTarget, ThePointedDirectoryIsHighlightedOpensWhenRestedOnAndAnEdgeScrolls)
{
    ScratchDrive drive;
    Fill(drive, {"one.txt"});
    ServerExplorer fixture(kEntries, "normal", "/pub");
    const HWND list = fixture.host.List();
    const HWND tree = fixture.host.Tree();
    ASSERT_TRUE(RegisteredDropTarget(list) && RegisteredDropTarget(tree));
    const auto data = MakeShellDrop(PathsOn(drive, {"one.txt"}));
    DragEnter(list, data.Get());
    const int inner = ListRow(list, "inner");
    const int old = ListRow(list, "old.txt");
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), DragOver(list, RowPoint(list, inner)));
    EXPECT_TRUE(ListView_GetItemState(list, inner, LVIS_DROPHILITED));
    DragOver(list, RowPoint(list, old));
    EXPECT_FALSE(ListView_GetItemState(list, inner, LVIS_DROPHILITED));
    EXPECT_TRUE(ListView_GetItemState(list, old, LVIS_DROPHILITED));
    RegisteredDropTarget(list)->DragLeave();
    EXPECT_FALSE(ListView_GetItemState(list, old, LVIS_DROPHILITED));

    // (Wine's tree never drop-highlights its selected item: another one.)
    const HTREEITEM innerItem = TreeItemAt(tree, "pub/inner");
    DragEnter(tree, data.Get());
    // (At the pane's edge: the first move starts a scroll zone.)
    DragOver(tree, TreeItemPoint(tree, innerItem));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), DragOver(tree, TreeItemPoint(tree, innerItem)));
    EXPECT_EQ(innerItem, TreeView_GetDropHilight(tree));
    RegisteredDropTarget(tree)->DragLeave();
    EXPECT_EQ(nullptr, TreeView_GetDropHilight(tree));

    // A collapsed item with children opens while the drag rests on it; inner
    // holds files only, and resting on it arms no expansion (timer 4).
    HostedControl& control = fixture.Control();
    control.Must(L"SetCurrentDirectory", {"/"});
    const HTREEITEM pub = TreeItemAt(tree, "pub");
    TreeView_Expand(tree, pub, TVE_COLLAPSE);
    DragEnter(tree, data.Get());
    DragOver(tree, TreeItemPoint(tree, pub));
    EXPECT_TRUE(PumpUntil([&] { return (TreeView_GetItemState(tree, pub, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }));
    ASSERT_NE(nullptr, TreeItemAt(tree, "pub/inner"));
    DragOver(tree, TreeItemPoint(tree, TreeItemAt(tree, "pub/inner")));
    EXPECT_FALSE(KillTimer(tree, 4));
    RegisteredDropTarget(tree)->DragLeave();

    // A zone at the list's edge starts one scroll step and says it scrolls.
    for (int i = 0; i < 60; ++i)
        fixture.server.WriteFile("pub/f" + std::to_string(100 + i) + ".txt", "x");
    control.SetProperty(L"ListViewMode", 1L);
    control.Must(L"SetCurrentDirectory", {"/pub"});
    ListView_EnsureVisible(list, ListView_GetItemCount(list) - 1, FALSE);
    const int top = ListView_GetTopIndex(list);
    ASSERT_GT(top, 0);
    DragEnter(list, data.Get());
    RECT client = {};
    GetClientRect(list, &client);
    const POINT zone = {(client.left + client.right) / 2, client.top + 3};
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_SCROLL), DragOver(list, zone));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), DragOver(list, zone));  // the zone's timer is running
    EXPECT_TRUE(PumpUntil([&] { return ListView_GetTopIndex(list) < top; }));
    EXPECT_EQ(top - 1, ListView_GetTopIndex(list));
    RegisteredDropTarget(list)->DragLeave();
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, DropOnServers, testing::ValuesIn(kRemoteKinds), RemoteKindName);

}  // namespace
