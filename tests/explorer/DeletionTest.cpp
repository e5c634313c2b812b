// The Delete key on the list and the tree: the confirmation box, the walk over the selection, failures.
#include "tests/explorer/ExplorerTestSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

namespace {

struct DeletionFixture {
    explicit DeletionFixture(const char* kind = "normal") : server(kind)
    {
        server.MakeDirectory("pub");
        server.MakeDirectory("pub/empty");
        server.MakeDirectory("pub/full");
        server.WriteFile("pub/full/keep.txt", "k");
        server.WriteFile("pub/a.txt", "a");
        server.WriteFile("pub/b.txt", "b");
        control().SetProperty(L"ServerName", server.Host().c_str());
        control().Must(L"Connect");
        control().Must(L"SetCurrentDirectory", {"/pub"});
        control().sink.events.clear();
    }
    HostedControl& control() { return host.Control(); }
    // Selects names in the list and presses Delete there, answering the box.
    std::string DeleteFromList(const std::vector<std::string>& names, int button)
    {
        const HWND list = host.List();
        SetFocus(list);
        SelectRows(list, names);
        MessageBoxAnswer answer(button);
        PressKey(list, VK_DELETE);
        EXPECT_TRUE(answer.Answered()) << "no confirmation box";
        return answer.Text();
    }
    FtpServer server;
    ExplorerHost host;
};

TEST(Deletion, CancelInTheBoxChangesNothing)
{
    DeletionFixture fixture;
    EXPECT_EQ("'a.txt'を削除してもよろしいですか？", fixture.DeleteFromList({"a.txt"}, IDCANCEL));
    EXPECT_EQ("これらの3個のファイルを削除してもよろしいですか",
              fixture.DeleteFromList({"a.txt", "b.txt", "empty"}, IDCANCEL));
    EXPECT_TRUE(fixture.server.Exists("pub/a.txt"));
    EXPECT_TRUE(fixture.server.Exists("pub/empty"));
    EXPECT_EQ(4u, ListColumn(fixture.host.List(), 0).size());
    EXPECT_TRUE(fixture.control().sink.events.empty());
}

TEST(Deletion, TheListWalkRemovesWhatItCanAndReportsTheLastFailureOnce)
{
    DeletionFixture fixture;
    const HWND tree = fixture.host.Tree();
    ASSERT_NE(nullptr, TreeChild(tree, TreeChild(tree, TreeView_GetRoot(tree), "pub"), "empty"));
    // "full" is not empty: the server refuses it and it stays.
    fixture.DeleteFromList({"a.txt", "empty", "full"}, IDOK);
    EXPECT_FALSE(fixture.server.Exists("pub/a.txt"));
    EXPECT_FALSE(fixture.server.Exists("pub/empty"));
    EXPECT_TRUE(fixture.server.Exists("pub/full/keep.txt"));
    EXPECT_EQ((std::vector<std::string>{"full", "b.txt"}), ListColumn(fixture.host.List(), 0));
    // The tree was read again after the directory went.
    EXPECT_EQ(nullptr, TreeChild(tree, TreeChild(tree, TreeView_GetRoot(tree), "pub"), "empty"));
    const auto errors = Errors(fixture.control().sink);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(static_cast<long>(kInternetErrorStatus), errors[0].first);
    EXPECT_EQ(0u, errors[0].second.find(kInternetErrorDescription + "："));
    EXPECT_EQ(GetFocus(), fixture.host.List());
}

TEST(Deletion, TheTreeRemovesTheDirectoryAndShowsItsParent)
{
    DeletionFixture fixture;
    HostedControl& control = fixture.control();
    control.Must(L"SetCurrentDirectory", {"/pub/empty"});
    const HWND tree = fixture.host.Tree();
    SetFocus(tree);
    {
        MessageBoxAnswer answer(IDOK);
        PressKey(tree, VK_DELETE);
        EXPECT_EQ("'empty'を削除してもよろしいですか？", answer.Text());
    }
    EXPECT_FALSE(fixture.server.Exists("pub/empty"));
    EXPECT_EQ("pub", TreeItemText(tree, TreeSelection(tree)));
    EXPECT_EQ("/pub", control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ(-1, ListRow(fixture.host.List(), "empty"));
    EXPECT_NE(-1, ListRow(fixture.host.List(), "a.txt"));

    // A refused removal reports and leaves both views as they were.
    control.Must(L"SetCurrentDirectory", {"/pub/full"});
    control.sink.events.clear();
    {
        MessageBoxAnswer answer(IDOK);
        PressKey(tree, VK_DELETE);
    }
    EXPECT_EQ("full", TreeItemText(tree, TreeSelection(tree)));
    EXPECT_EQ((std::vector<std::string>{"keep.txt"}), ListColumn(fixture.host.List(), 0));
    EXPECT_EQ(1u, Errors(control.sink).size());
}

TEST(Deletion, NamesThatAreNoPlainNamesTouchNothing)
{
    DeletionFixture fixture("odd-names");
    fixture.server.WriteFile("odd-escape.txt", "outside");
    fixture.DeleteFromList({"../../odd-escape.txt"}, IDOK);
    fixture.DeleteFromList({"odd/sub.txt"}, IDOK);
    EXPECT_TRUE(fixture.server.Exists("odd-escape.txt"));
    const auto errors = Errors(fixture.control().sink);
    ASSERT_EQ(2u, errors.size());
    EXPECT_EQ(static_cast<long>(kFileErrorStatus), errors[0].first);
}

TEST(Deletion, NothingHappensWhileATransferRuns)
{
    DeletionFixture fixture;
    ScratchDrive drive;
    fixture.server.WriteFile("pub/big.bin", std::string(3 * 1024 * 1024, 'x'));
    fixture.control().Must(L"Refresh");
    const HWND list = fixture.host.List();
    SelectRows(list, {"big.bin"});
    // Delete pressed from a TransferProgress handler, in the middle of the
    // download: no box may come (one would be cancelled and noticed).
    // A drop meanwhile uploads nothing either.
    WriteBytes(drive.PathOf("dropped.txt"), "d");
    auto data = MakeShellDrop({ToWide(drive.PathOf("dropped.txt"))});
    bool asked = true;
    DWORD dropped = DROPEFFECT_COPY;
    fixture.control().sink.onProgress = [&](long) {
        MessageBoxAnswer answer(IDCANCEL);
        PressKey(list, VK_DELETE);
        asked = answer.Answered();
        dropped = DragAndDrop(list, data.Get(), RowPoint(list, 0));
    };
    fixture.control().Must(L"GetFile", {drive.Root().c_str()});
    EXPECT_FALSE(asked);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), dropped);
    EXPECT_TRUE(fixture.server.Exists("pub/big.bin"));
    EXPECT_FALSE(fixture.server.Exists("pub/dropped.txt"));
}

}  // namespace
