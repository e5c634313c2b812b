// The directory tree: root and first level after Connect, placeholders, lazy reading, opening down to a path.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

namespace {

// /pub/sub, /pub/file.txt, /docs/a.txt and 表/ソフト: trail byte 0x5C in both.
void MakeTree(const FtpServer& server)
{
    server.MakeDirectory("pub");
    server.MakeDirectory("pub/sub");
    server.WriteFile("pub/file.txt", "x");
    server.MakeDirectory("docs");
    server.WriteFile("docs/a.txt", "a");
    server.MakeDirectory("表");
    server.MakeDirectory("表/ソフト");
}

struct TreeFixture {
    explicit TreeFixture(const char* kind = "normal") : server(kind)
    {
        MakeTree(server);
        host.Control().SetProperty(L"ServerName", server.Host().c_str());
    }
    HWND Tree() const { return host.Tree(); }
    FtpServer server;
    ExplorerHost host;
};

TEST(Tree, ConnectShowsTheRootAndFirstLevelWithButtonsOnDirectoriesWithSubdirectories)
{
    TreeFixture fixture;
    fixture.host.Control().Must(L"Connect");
    const HWND tree = fixture.Tree();
    EXPECT_EQ("/[docs pub+ 表+]", TreeOutline(tree));
    const HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_EQ(2, TreeItemImage(tree, root));
    EXPECT_EQ(0, TreeItemImage(tree, TreeChild(tree, root, "pub")));
    EXPECT_EQ(root, TreeSelection(tree));
    EXPECT_NE(nullptr, TreeView_GetImageList(tree, TVSIL_NORMAL));
}

TEST(Tree, ExpandingReadsALevelOnceAndNeverAgain)
{
    TreeFixture fixture;
    fixture.host.Control().Must(L"Connect");
    const HWND tree = fixture.Tree();
    const HTREEITEM pub = TreeChild(tree, TreeView_GetRoot(tree), "pub");
    TreeView_Expand(tree, pub, TVE_EXPAND);
    EXPECT_EQ("/[docs pub[sub] 表+]", TreeOutline(tree));
    // Read once: a directory made later does not show on the next expansion.
    fixture.server.MakeDirectory("pub/later");
    TreeView_Expand(tree, pub, TVE_COLLAPSE);
    TreeView_Expand(tree, pub, TVE_EXPAND);
    EXPECT_EQ("/[docs pub[sub] 表+]", TreeOutline(tree));
    // The Shift-JIS names with a 0x5C trail byte read as names.
    TreeView_Expand(tree, TreeChild(tree, TreeView_GetRoot(tree), "表"), TVE_EXPAND);
    EXPECT_EQ("/[docs pub[sub] 表[ソフト]]", TreeOutline(tree));
}

TEST(Tree, SetCurrentDirectoryAndConnectDirectoryOpenTheTreeDownToThePath)
{
    TreeFixture fixture;
    HostedControl& control = fixture.host.Control();
    control.SetProperty(L"ConnectDirectory", "/表/ソフト");
    control.Must(L"Connect");
    const HWND tree = fixture.Tree();
    EXPECT_EQ("/[docs pub+ 表[ソフト]]", TreeOutline(tree));
    EXPECT_EQ("ソフト", TreeItemText(tree, TreeSelection(tree)));

    fixture.server.MakeDirectory("Mixed");
    fixture.server.MakeDirectory("Mixed/In");
    control.Must(L"SetCurrentDirectory", {"/pub/sub"});
    EXPECT_EQ("/[docs pub[sub] 表[ソフト]]", TreeOutline(tree));
    EXPECT_EQ("sub", TreeItemText(tree, TreeSelection(tree)));
    // Items are matched in lower case, so a level read before Mixed existed
    // makes the walk end there; Mixed is then remembered and shown.
    control.Must(L"SetCurrentDirectory", {"/Mixed/In"});
    EXPECT_EQ("In", TreeItemText(tree, TreeSelection(tree)));
    // "/" on a built tree builds it anew from the root.
    control.Must(L"SetCurrentDirectory", {"/"});
    EXPECT_EQ("/[docs Mixed+ pub+ 表+]", TreeOutline(tree));
}

TEST(Tree, DirectoriesTheParentListingHidesAreRememberedAndStayReachable)
{
    TreeFixture fixture("hide-dirs");
    fixture.server.MakeDirectory("pub/hidden");
    fixture.server.MakeDirectory("pub/hidden/deep");
    HostedControl& control = fixture.host.Control();
    control.Must(L"Connect");
    const HWND tree = fixture.Tree();
    control.Must(L"SetCurrentDirectory", {"/pub/hidden/deep"});
    EXPECT_EQ("/[docs pub[hidden[deep] sub] 表+]", TreeOutline(tree));
    EXPECT_EQ("deep", TreeItemText(tree, TreeSelection(tree)));
    // Reading the levels again keeps the remembered path in view.
    control.Must(L"SetCurrentDirectory", {"/pub"});
    control.Must(L"Refresh");
    EXPECT_EQ("/[docs pub[hidden+ sub] 表+]", TreeOutline(tree));
    // A disconnection forgets it.
    control.Must(L"DisConnect");
    EXPECT_EQ("", TreeOutline(tree));
    control.Must(L"Connect");
    control.Must(L"SetCurrentDirectory", {"/pub"});
    EXPECT_EQ("/[docs pub[sub] 表+]", TreeOutline(tree));
}

TEST(Tree, TheLocalDiskShowsItsDriveLetterAsTheRoot)
{
    ScratchDrive drive;
    MakeDirectory(drive.PathOf("data"));
    MakeDirectory(drive.PathOf("data/inner"));
    MakeDirectory(drive.PathOf("plain"));
    ExplorerHost host;
    HostedControl& control = host.Control();
    ConnectToDisk(control, drive.Root());
    const std::string letter = drive.Root().substr(0, 1);
    EXPECT_EQ(letter + "[data+ plain]", TreeOutline(host.Tree()));
    EXPECT_EQ(2, TreeItemImage(host.Tree(), TreeView_GetRoot(host.Tree())));
    EXPECT_EQ((std::vector<std::string>{"data", "plain"}), ListColumn(host.List(), 0));
    control.Must(L"SetCurrentDirectory", {"/data/inner"});
    EXPECT_EQ(letter + "[data[inner] plain]", TreeOutline(host.Tree()));
    EXPECT_EQ("inner", TreeItemText(host.Tree(), TreeSelection(host.Tree())));
    control.Must(L"DisConnect");
}

}  // namespace
