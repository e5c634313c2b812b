// Navigation by the user and the host: tree selection, double click and Enter, DirUp, failures and pop-ups.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/FtpServer.h"

#include <olectl.h>

namespace {

struct NavigationFixture {
    explicit NavigationFixture(const char* kind = "normal") : server(kind)
    {
        server.MakeDirectory("pub");
        server.MakeDirectory("pub/sub");
        server.WriteFile("pub/in-pub.txt", "p");
        server.WriteFile("top.txt", "t");
        control().SetProperty(L"ServerName", server.Host().c_str());
        control().Must(L"Connect");
        control().sink.events.clear();
    }
    HostedControl& control() { return host.Control(); }
    FtpServer server;
    ExplorerHost host;
};

TEST(Navigation, SelectingATreeItemChangesTheDirectoryAndListsIt)
{
    NavigationFixture fixture;
    const HWND tree = fixture.host.Tree();
    TreeView_SelectItem(tree, TreeChild(tree, TreeView_GetRoot(tree), "pub"));
    EXPECT_EQ((std::vector<std::string>{"/pub"}), fixture.control().sink.DirectoryChanges());
    EXPECT_EQ((std::vector<std::string>{"sub", "in-pub.txt"}), ListColumn(fixture.host.List(), 0));
    EXPECT_EQ("/pub", fixture.control().Must(L"GetCurrentDirectory", {0}).AsText());
}

// Double click and Enter open a directory of the list the same way.
class OpenFromList : public testing::TestWithParam<bool> {};

TEST_P(OpenFromList, OpensDirectoriesOnlyAndFollowsInTheTree)
{
    NavigationFixture fixture;
    const HWND list = fixture.host.List();
    const auto open = [&](const std::string& name) {
        SelectRows(list, {name});
        if (GetParam())
            DoubleClick(list, RowPoint(list, ListRow(list, name)));
        else
            PressKey(list, VK_RETURN);
    };
    open("top.txt");  // a file: nothing happens
    EXPECT_TRUE(fixture.control().sink.DirectoryChanges().empty());
    open("pub");  // from "/": /pub, not //pub
    EXPECT_EQ((std::vector<std::string>{"/pub"}), fixture.control().sink.DirectoryChanges());
    EXPECT_EQ((std::vector<std::string>{"sub", "in-pub.txt"}), ListColumn(list, 0));
    const HWND tree = fixture.host.Tree();
    EXPECT_EQ("pub", TreeItemText(tree, TreeSelection(tree)));
    open("sub");
    EXPECT_EQ("sub", TreeItemText(tree, TreeSelection(tree)));
    EXPECT_EQ("/[pub[sub]]", TreeOutline(tree));
    EXPECT_TRUE(Errors(fixture.control().sink).empty());
}

INSTANTIATE_TEST_SUITE_P(DoubleClickOrEnter, OpenFromList, testing::Bool());

TEST(Navigation, WithTheTreeHiddenOpeningFromTheListLeavesTheTreeAlone)
{
    NavigationFixture fixture;
    fixture.control().SetProperty(L"VisibleTree", false);
    const HWND tree = fixture.host.Tree();
    const std::string before = TreeOutline(tree);
    SelectRows(fixture.host.List(), {"pub"});
    PressKey(fixture.host.List(), VK_RETURN);
    EXPECT_EQ((std::vector<std::string>{"/pub"}), fixture.control().sink.DirectoryChanges());
    EXPECT_EQ(before, TreeOutline(tree));
    // Shown again, the tree opens down to the current directory.
    fixture.control().SetProperty(L"VisibleTree", true);
    EXPECT_EQ("pub", TreeItemText(tree, TreeSelection(tree)));
}

TEST(Navigation, AFailedNavigationFiresOneErrorAndLeavesTheViewsOnTheOldDirectory)
{
    NavigationFixture fixture;
    const HWND tree = fixture.host.Tree();
    const HWND list = fixture.host.List();
    const std::vector<std::string> before = ListColumn(list, 0);
    RemoveDirectoryA(fixture.server.PathOf("pub/sub").c_str());
    DeleteFileA(fixture.server.PathOf("pub/in-pub.txt").c_str());
    RemoveDirectoryA(fixture.server.PathOf("pub").c_str());

    SelectRows(list, {"pub"});
    PressKey(list, VK_RETURN);
    auto errors = Errors(fixture.control().sink);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(static_cast<long>(kInternetErrorStatus), errors[0].first);
    EXPECT_EQ(0u, errors[0].second.rfind("WININETエラー：550", 0)) << errors[0].second;
    EXPECT_EQ(before, ListColumn(list, 0));
    EXPECT_EQ(12003, fixture.control().LastError());

    fixture.control().sink.events.clear();
    TreeView_SelectItem(tree, TreeChild(tree, TreeView_GetRoot(tree), "pub"));
    errors = Errors(fixture.control().sink);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(0u, errors[0].second.rfind("WININETエラー：550", 0)) << errors[0].second;
    EXPECT_EQ(before, ListColumn(list, 0));
    EXPECT_EQ(TreeView_GetRoot(tree), TreeSelection(tree)) << "the tree stays on the current directory";
    EXPECT_EQ("/", fixture.control().Must(L"GetCurrentDirectory", {0}).AsText());
}

TEST(Navigation, AServerThatVanishesGivesOneErrorAndTheControlConnectsAgain)
{
    NavigationFixture fixture("vanish-on-cwd");
    fixture.server.MakeDirectory("gone");
    fixture.control().Must(L"Refresh");
    const HWND list = fixture.host.List();
    SelectRows(list, {"gone"});
    PressKey(list, VK_RETURN);
    EXPECT_EQ(1u, Errors(fixture.control().sink).size());
    fixture.control().Must(L"DisConnect");
    fixture.control().Must(L"Connect");
    EXPECT_EQ((std::vector<std::string>{"gone", "pub", "top.txt"}), ListColumn(list, 0));
}

TEST(Navigation, AListingThatBreaksOffLeavesTheViewsUsable)
{
    NavigationFixture fixture("drop-list");
    for (int i = 0; i < 300; ++i)
        fixture.server.WriteFile("pub/file-" + std::to_string(i) + ".txt", "x");
    HostedControl& control = fixture.control();
    control.Must(L"SetCurrentDirectory", {"/pub"});
    // The server sent part of the listing and then 426: no partial list.
    EXPECT_EQ(0, ListView_GetItemCount(fixture.host.List()));
    // The tree and the list still navigate, and the control connects again.
    const HWND tree = fixture.host.Tree();
    TreeView_SelectItem(tree, TreeView_GetRoot(tree));
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ((std::vector<std::string>{"pub", "top.txt"}), ListColumn(fixture.host.List(), 0));
    control.Must(L"DisConnect");
    control.Must(L"Connect");
    EXPECT_EQ((std::vector<std::string>{"pub", "top.txt"}), ListColumn(fixture.host.List(), 0));
}

TEST(Navigation, DirUpSelectsTheParentInTheTreeAndListsIt)
{
    NavigationFixture fixture;
    HostedControl& control = fixture.control();
    control.Must(L"SetCurrentDirectory", {"/pub/sub"});
    control.Must(L"DirUp");
    const HWND tree = fixture.host.Tree();
    EXPECT_EQ("pub", TreeItemText(tree, TreeSelection(tree)));
    EXPECT_EQ("/pub", control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ((std::vector<std::string>{"sub", "in-pub.txt"}), ListColumn(fixture.host.List(), 0));
    control.Must(L"DirUp");
    ExpectOwnError(control, control.Call(L"DirUp"), 20201, "1番上のディレクトリ階層です");
    EXPECT_EQ(TreeView_GetRoot(tree), TreeSelection(tree));
}

TEST(Navigation, RightClicksFirePopUpsWithTheItemsText)
{
    NavigationFixture fixture;
    HostedControl& control = fixture.control();
    const HWND tree = fixture.host.Tree();
    const HWND list = fixture.host.List();
    RightClick(tree, TreeItemPoint(tree, TreeView_GetRoot(tree)));
    RightClick(tree, TreeItemPoint(tree, TreeChild(tree, TreeView_GetRoot(tree), "pub")));
    // On an unselected row the selection becomes that row; on a selected one it stays.
    SelectRows(list, {"pub", "top.txt"});
    RightClick(list, RowPoint(list, ListRow(list, "top.txt")));
    EXPECT_EQ((std::vector<std::string>{"pub", "top.txt"}), SelectedNames(list));
    SelectRows(list, {"pub"});
    RightClick(list, RowPoint(list, ListRow(list, "top.txt")));
    EXPECT_EQ((std::vector<std::string>{"top.txt"}), SelectedNames(list));
    // Beyond the end of a row's text is no click on the row.
    RECT row = {};
    row.left = LVIR_BOUNDS;
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

}  // namespace

namespace {

TEST(Renaming, AListLabelEditRenamesTheEntryAndTheTreeFollows)
{
    NavigationFixture fixture;
    const HWND list = fixture.host.List();
    SetFocus(list);
    SelectRows(list, {"top.txt"});
    EditLabel(list, L"\u540d\u524d.txt");  // 名前.txt
    EXPECT_TRUE(fixture.server.Exists("名前.txt"));
    EXPECT_FALSE(fixture.server.Exists("top.txt"));
    EXPECT_NE(-1, ListRow(list, "名前.txt"));

    SelectRows(list, {"pub"});
    EditLabel(list, L"pub2");
    EXPECT_TRUE(fixture.server.Exists("pub2/in-pub.txt"));
    const HWND tree = fixture.host.Tree();
    EXPECT_EQ("/[pub2+]", TreeOutline(tree));

    // Refused by the server: the label comes back and Error tells why.
    SelectRows(list, {"名前.txt"});
    EditLabel(list, L"pub2");
    EXPECT_NE(-1, ListRow(list, "名前.txt"));
    const auto errors = Errors(fixture.control().sink);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(static_cast<long>(kInternetErrorStatus), errors[0].first);
    // An empty label renames nothing.
    EditLabel(list, L"");
    EXPECT_NE(-1, ListRow(list, "名前.txt"));
    EXPECT_EQ(1u, Errors(fixture.control().sink).size());
    // A label that is no plain name reaches nothing outside the directory.
    EditLabel(list, L"../escaped.txt");
    EXPECT_NE(-1, ListRow(list, "名前.txt"));
    EXPECT_TRUE(fixture.server.Exists("名前.txt"));
    const auto refused = Errors(fixture.control().sink);
    ASSERT_EQ(2u, refused.size());
    EXPECT_EQ(static_cast<long>(kFileErrorStatus), refused[1].first);
}

TEST(Renaming, ATreeLabelEditRenamesTheCurrentDirectory)
{
    NavigationFixture fixture;
    HostedControl& control = fixture.control();
    control.Must(L"SetCurrentDirectory", {"/pub/sub"});
    const HWND tree = fixture.host.Tree();
    SetFocus(tree);
    EditLabel(tree, L"renamed");
    EXPECT_TRUE(fixture.server.Exists("pub/renamed"));
    EXPECT_EQ("/pub/renamed", control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ("renamed", TreeItemText(tree, TreeSelection(tree)));
    EXPECT_TRUE(Errors(control.sink).empty());
}

}  // namespace
