// Navigation by the user and the host: double click and Enter, tree selection, DirUp, failures and pop-ups.
#include "tests/explorer/ExplorerTestSupport.h"

namespace {

const std::initializer_list<const char*> kEntries = {"pub/", "pub/sub/", "pub/in-pub.txt", "top.txt"};

struct NavigationOnServers : testing::TestWithParam<RemoteKind> {};

TEST_P(NavigationOnServers, DoubleClickAndEnterOpenDirectoriesOfTheListAndTheTreeFollows)
{
    const struct {
        const char* what;
        bool doubleClick;  // else Enter
        bool treeShown;
    } gestures[] = {{"double click", true, true}, {"Enter", false, true}, {"Enter, the tree hidden", false, false}};
    for (const auto& gesture : gestures) {
        SCOPED_TRACE(gesture.what);
        ServerExplorer fixture(kEntries, GetParam().server);
        HostedControl& control = fixture.Control();
        const HWND list = fixture.host.List();
        const HWND tree = fixture.host.Tree();
        control.SetProperty(L"VisibleTree", gesture.treeShown);
        const std::string outline = TreeOutline(tree);
        const auto open = [&](const std::string& name) {
            SelectRows(list, {name});
            if (gesture.doubleClick)
                DoubleClick(list, RowPoint(list, ListRow(list, name)));
            else
                PressKey(list, VK_RETURN);
        };
        open("top.txt");  // a file: nothing happens
        EXPECT_TRUE(control.sink.DirectoryChanges().empty());
        open("pub");  // from "/": /pub, not //pub
        EXPECT_EQ((std::vector<std::string>{"/pub"}), control.sink.DirectoryChanges());
        EXPECT_EQ((std::vector<std::string>{"sub", "in-pub.txt"}), ListColumn(list, 0));
        if (!gesture.treeShown) {
            // The hidden tree is left alone; shown again, it opens down to the current directory.
            EXPECT_EQ(outline, TreeOutline(tree));
            control.SetProperty(L"VisibleTree", true);
        }
        EXPECT_EQ("pub", SelectedTreeText(tree));
        open("sub");
        EXPECT_EQ("sub", SelectedTreeText(tree));
        EXPECT_EQ("/[pub[sub]]", TreeOutline(tree));
        EXPECT_EQ(0, ListView_GetItemCount(list)) << "an empty directory shows no rows";
        EXPECT_TRUE(Errors(control.sink).empty());
    }
}

TEST_P(NavigationOnServers, TreeSelectionAndDirUpMoveBothViewsAndAFailureLeavesThemWhereTheyWere)
{
    ServerExplorer fixture(kEntries, GetParam().server);
    HostedControl& control = fixture.Control();
    const HWND tree = fixture.host.Tree();
    const HWND list = fixture.host.List();
    TreeView_SelectItem(tree, TreeItemAt(tree, "pub"));
    EXPECT_EQ((std::vector<std::string>{"/pub"}), control.sink.DirectoryChanges());
    EXPECT_EQ((std::vector<std::string>{"sub", "in-pub.txt"}), ListColumn(list, 0));
    EXPECT_EQ("/pub", control.Must(L"GetCurrentDirectory", {0}).AsText());
    control.Must(L"SetCurrentDirectory", {"/pub/sub"});
    control.Must(L"DirUp");
    EXPECT_EQ("pub", SelectedTreeText(tree));
    EXPECT_EQ((std::vector<std::string>{"sub", "in-pub.txt"}), ListColumn(list, 0));
    control.Must(L"DirUp");
    EXPECT_NE(S_OK, control.Call(L"DirUp").hr) << "already at the top";
    EXPECT_EQ(TreeView_GetRoot(tree), TreeView_GetSelection(tree));

    // pub goes from the server behind the views' back.
    const std::vector<std::string> before = ListColumn(list, 0);
    RemoveDirectoryA(fixture.server.PathOf("pub/sub").c_str());
    DeleteFileA(fixture.server.PathOf("pub/in-pub.txt").c_str());
    RemoveDirectoryA(fixture.server.PathOf("pub").c_str());
    const std::function<void()> opens[] = {
        [&] {
            SelectRows(list, {"pub"});
            PressKey(list, VK_RETURN);
        },
        [&] { TreeView_SelectItem(tree, TreeItemAt(tree, "pub")); },
    };
    for (const auto& open : opens) {
        control.sink.events.clear();
        open();
        const auto errors = Errors(control.sink);
        ASSERT_EQ(1u, errors.size());
        EXPECT_EQ(static_cast<long>(kInternetErrorStatus), errors[0].first);
        EXPECT_EQ(0u, errors[0].second.rfind(std::string("WININETエラー：") + GetParam().refusal, 0)) << errors[0].second;
        EXPECT_EQ(12003, control.LastError());
        EXPECT_EQ(before, ListColumn(list, 0));
        EXPECT_EQ(TreeView_GetRoot(tree), TreeView_GetSelection(tree)) << "the tree stays on the current directory";
        EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
    }
}

TEST(Navigation, AServerThatFailsMidwayLeavesTheViewsUsableAndTheControlConnectsAgain)
{
    const auto reconnect = [](ServerExplorer& fixture) {
        fixture.Control().Must(L"DisConnect");
        fixture.Control().Must(L"Connect");
        return ListColumn(fixture.host.List(), 0);
    };
    {
        // One that vanishes when "gone" is entered: one error.
        ServerExplorer fixture(kEntries, "vanish-on-cwd");
        fixture.server.MakeDirectory("gone");
        fixture.Control().Must(L"Refresh");
        SelectRows(fixture.host.List(), {"gone"});
        PressKey(fixture.host.List(), VK_RETURN);
        EXPECT_EQ(1u, Errors(fixture.Control().sink).size());
        EXPECT_EQ((std::vector<std::string>{"gone", "pub", "top.txt"}), reconnect(fixture));
    }
    // One that sends part of a listing and then 426: no partial list, and
    // the tree and the list still navigate.
    ServerExplorer fixture(kEntries, "drop-list");
    for (int i = 0; i < 300; ++i)
        fixture.server.WriteFile("pub/file-" + std::to_string(i) + ".txt", "x");
    HostedControl& control = fixture.Control();
    control.Must(L"SetCurrentDirectory", {"/pub"});
    EXPECT_EQ(0, ListView_GetItemCount(fixture.host.List()));
    const HWND tree = fixture.host.Tree();
    TreeView_SelectItem(tree, TreeView_GetRoot(tree));
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ((std::vector<std::string>{"pub", "top.txt"}), ListColumn(fixture.host.List(), 0));
    EXPECT_EQ((std::vector<std::string>{"pub", "top.txt"}), reconnect(fixture));
}

TEST_P(NavigationOnServers, RightClicksFirePopUpsWithTheItemsText)
{
    ServerExplorer fixture(kEntries, GetParam().server);
    HostedControl& control = fixture.Control();
    const HWND tree = fixture.host.Tree();
    const HWND list = fixture.host.List();
    RightClick(tree, TreeItemPoint(tree, TreeItemAt(tree, "")));
    RightClick(tree, TreeItemPoint(tree, TreeItemAt(tree, "pub")));
    // On an unselected row the selection becomes that row; on a selected one it stays.
    SelectRows(list, {"pub", "top.txt"});
    RightClick(list, RowPoint(list, ListRow(list, "top.txt")));
    EXPECT_EQ((std::vector<std::string>{"pub", "top.txt"}), SelectedNames(list));
    SelectRows(list, {"pub"});
    RightClick(list, RowPoint(list, ListRow(list, "top.txt")));
    EXPECT_EQ((std::vector<std::string>{"top.txt"}), SelectedNames(list));
    // Beyond the end of a row's text is no click on the row.
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    RightClick(list, {row.right - 2, (row.top + row.bottom) / 2});

    std::vector<std::pair<DISPID, std::string>> popups;
    for (const HostEvent& event : control.sink.events)
        popups.emplace_back(event.id, event.args.empty() ? "" : event.args[0].AsText());
    EXPECT_EQ((std::vector<std::pair<DISPID, std::string>>{{kTreePopUpEvent, "/"},
                                                           {kTreePopUpEvent, "pub"},
                                                           {kListPopUpEvent, "top.txt"},
                                                           {kListPopUpEvent, "top.txt"}}),
              popups);
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, NavigationOnServers, testing::ValuesIn(kRemoteKinds), RemoteKindName);

}  // namespace
