// The directory tree: the first level after Connect, levels read once, opening down to a path, hidden directories, the local disk.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/ScratchDrive.h"

namespace {

struct TreeOnServers : testing::TestWithParam<RemoteKind> {};

TEST_P(TreeOnServers, ConnectShowsTheFirstLevelLevelsAreReadOnceAndPathsOpenTheTreeDownToThem)
{
    // 表 and ソフト: trail byte 0x5C in both.
    ServerExplorer fixture({"pub/", "pub/sub/", "pub/file.txt", "docs/", "docs/a.txt", "表/", "表/ソフト/"},
                           GetParam().server);
    HostedControl& control = fixture.Control();
    const HWND tree = fixture.host.Tree();
    // Buttons on the directories with subdirectories.
    EXPECT_EQ("/[docs pub+ 表+]", TreeOutline(tree));
    EXPECT_EQ("/", SelectedTreeText(tree));
    EXPECT_EQ(2, TreeItemImage(tree, TreeItemAt(tree, "")));
    EXPECT_EQ(0, TreeItemImage(tree, TreeItemAt(tree, "pub")));
    TreeView_Expand(tree, TreeItemAt(tree, "pub"), TVE_EXPAND);
    EXPECT_EQ("/[docs pub[sub] 表+]", TreeOutline(tree));
    // Read once: a directory made later does not show on the next expansion.
    fixture.server.MakeDirectory("pub/later");
    TreeView_Expand(tree, TreeItemAt(tree, "pub"), TVE_COLLAPSE);
    TreeView_Expand(tree, TreeItemAt(tree, "pub"), TVE_EXPAND);
    EXPECT_EQ("/[docs pub[sub] 表+]", TreeOutline(tree));
    RemoveDirectoryA(fixture.server.PathOf("pub/later").c_str());
    TreeView_Expand(tree, TreeItemAt(tree, "表"), TVE_EXPAND);
    EXPECT_EQ("/[docs pub[sub] 表[ソフト]]", TreeOutline(tree));

    // ConnectDirectory and SetCurrentDirectory open the tree down to the path.
    control.Must(L"DisConnect");
    control.SetProperty(L"ConnectDirectory", "/表/ソフト");
    control.Must(L"Connect");
    EXPECT_EQ("/[docs pub+ 表[ソフト]]", TreeOutline(tree));
    EXPECT_EQ("ソフト", SelectedTreeText(tree));
    fixture.server.MakeDirectory("Mixed");
    fixture.server.MakeDirectory("Mixed/In");
    control.Must(L"SetCurrentDirectory", {"/pub/sub"});
    EXPECT_EQ("/[docs pub[sub] 表[ソフト]]", TreeOutline(tree));
    EXPECT_EQ("sub", SelectedTreeText(tree));
    // Items are matched in lower case, so a level read before Mixed existed
    // makes the walk end there; Mixed is then remembered and shown.
    control.Must(L"SetCurrentDirectory", {"/Mixed/In"});
    EXPECT_EQ("In", SelectedTreeText(tree));
    // "/" on a built tree builds it anew from the root.
    control.Must(L"SetCurrentDirectory", {"/"});
    EXPECT_EQ("/[docs Mixed+ pub+ 表+]", TreeOutline(tree));
}

TEST(Tree, DirectoriesTheParentListingHidesAreRememberedUntilTheControlDisconnects)
{
    ServerExplorer fixture({"pub/", "pub/sub/", "pub/hidden/", "pub/hidden/deep/", "docs/", "表/", "表/ソフト/"},
                           "hide-dirs");
    HostedControl& control = fixture.Control();
    const HWND tree = fixture.host.Tree();
    control.Must(L"SetCurrentDirectory", {"/pub/hidden/deep"});
    EXPECT_EQ("/[docs pub[hidden[deep] sub] 表+]", TreeOutline(tree));
    EXPECT_EQ("deep", SelectedTreeText(tree));
    // Reading the levels again keeps the remembered path in view.
    control.Must(L"SetCurrentDirectory", {"/pub"});
    control.Must(L"Refresh");
    EXPECT_EQ("/[docs pub[hidden+ sub] 表+]", TreeOutline(tree));
    // A disconnection empties both views and forgets it.
    control.Must(L"DisConnect");
    EXPECT_EQ("", TreeOutline(tree));
    EXPECT_EQ(0, ListView_GetItemCount(fixture.host.List()));
    control.Must(L"Connect");
    control.Must(L"SetCurrentDirectory", {"/pub"});
    EXPECT_EQ("/[docs pub[sub] 表+]", TreeOutline(tree));
}

TEST(Tree, TheLocalDiskShowsItsDriveLetterAsTheRoot)
{
    ScratchDrive drive;
    Fill(drive, {"data/", "data/inner/", "plain/"});
    ExplorerHost host;
    HostedControl& control = host.Control();
    ConnectToDisk(control, drive.Root(), "/");
    const HWND tree = host.Tree();
    const std::string letter = drive.Root().substr(0, 1);
    // The store lists "." and "..": neither view shows them.
    EXPECT_EQ(letter + "[data+ plain]", TreeOutline(tree));
    EXPECT_EQ((std::vector<std::string>{"data", "plain"}), ListColumn(host.List(), 0));
    control.Must(L"SetCurrentDirectory", {"/data/inner"});
    EXPECT_EQ(letter + "[data[inner] plain]", TreeOutline(tree));
    EXPECT_EQ("inner", SelectedTreeText(tree));
    control.Must(L"DisConnect");
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, TreeOnServers, testing::ValuesIn(kRemoteKinds), RemoteKindName);

}  // namespace
