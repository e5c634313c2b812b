// The Delete key on the list and the tree: the confirmation box, the walk over the selection, failures, and no deletion during a transfer.
#include "tests/explorer/ExplorerTestSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/ScratchDrive.h"

namespace {

const std::initializer_list<const char*> kEntries = {"pub/",      "pub/empty/", "pub/full/", "pub/full/keep.txt",
                                                     "pub/a.txt", "pub/b.txt"};

struct Deletion : testing::TestWithParam<RemoteKind> {};

TEST_P(Deletion, TheKeyAsksFirstThenRemovesWhatItCanAndShowsWhatIsLeft)
{
    const struct {
        const char* what;
        const char* directory;           // the current one
        std::vector<std::string> names;  // selected in the list; none: the Delete key goes to the tree
        int button;
        const char* question;
        std::vector<std::string> gone;  // from the server
        std::vector<std::string> kept;
        std::vector<std::string> listed;  // afterwards
        const char* after;                // the current directory afterwards
        size_t errors;
    } deletions[] = {
        {"one row, cancelled", "/pub", {"a.txt"}, IDCANCEL, "'a.txt'を削除してもよろしいですか？", {},
         {"pub/a.txt"}, {"empty", "full", "a.txt", "b.txt"}, "/pub", 0},
        {"three rows, cancelled", "/pub", {"a.txt", "b.txt", "empty"}, IDCANCEL,
         "これらの3個のファイルを削除してもよろしいですか", {}, {"pub/a.txt", "pub/b.txt", "pub/empty"},
         {"empty", "full", "a.txt", "b.txt"}, "/pub", 0},
        // "full" is not empty: the server refuses it, it stays, and the last failure is reported.
        {"three rows", "/pub", {"a.txt", "empty", "full"}, IDOK, "これらの3個のファイルを削除してもよろしいですか",
         {"pub/a.txt", "pub/empty"}, {"pub/full/keep.txt"}, {"full", "b.txt"}, "/pub", 1},
        // The parent is shown next in both views and becomes current.
        {"the tree's directory", "/pub/empty", {}, IDOK, "'empty'を削除してもよろしいですか？", {"pub/empty"}, {},
         {"full", "a.txt", "b.txt"}, "/pub", 0},
        {"the tree's directory, refused", "/pub/full", {}, IDOK, "'full'を削除してもよろしいですか？", {},
         {"pub/full/keep.txt"}, {"keep.txt"}, "/pub/full", 1},
    };
    for (const auto& deletion : deletions) {
        SCOPED_TRACE(deletion.what);
        ServerExplorer fixture(kEntries, GetParam().server, deletion.directory);
        HostedControl& control = fixture.Control();
        const HWND list = fixture.host.List();
        const HWND tree = fixture.host.Tree();
        const bool onTree = deletion.names.empty();
        SetFocus(onTree ? tree : list);
        SelectRows(list, deletion.names);
        EXPECT_EQ(deletion.question, AnswerMessageBox(deletion.button, [&] { PressKey(onTree ? tree : list, VK_DELETE); }));
        for (const std::string& path : deletion.gone)
            EXPECT_FALSE(fixture.server.Exists(path)) << path;
        for (const std::string& path : deletion.kept)
            EXPECT_TRUE(fixture.server.Exists(path)) << path;
        EXPECT_EQ(deletion.listed, ListColumn(list, 0));
        const std::string after = deletion.after;
        EXPECT_EQ(after, control.Must(L"GetCurrentDirectory", {0}).AsText());
        EXPECT_EQ(after.substr(after.rfind('/') + 1), SelectedTreeText(tree));
        // The tree's level is read again once a directory went.
        EXPECT_EQ(fixture.server.Exists("pub/empty"), TreeItemAt(tree, "pub/empty") != nullptr);
        const auto errors = Errors(control.sink);
        ASSERT_EQ(deletion.errors, errors.size());
        if (deletion.button == IDCANCEL) {
            EXPECT_TRUE(control.sink.events.empty());
        } else if (!errors.empty()) {
            EXPECT_EQ(static_cast<long>(kInternetErrorStatus), errors[0].first);
            EXPECT_EQ(0u, errors[0].second.find(kInternetErrorDescription + "："));
        }
        if (!onTree && deletion.button == IDOK) {
            EXPECT_EQ(list, GetFocus());
        }
    }
}

TEST_P(Deletion, NothingHappensWhileATransferRuns)
{
    ScratchDrive drive;
    ServerExplorer fixture({"pub/"}, GetParam().server, "/pub");
    fixture.server.WriteFile("pub/big.bin", std::string(3 * 1024 * 1024, 'x'));
    fixture.Control().Must(L"Refresh");
    const HWND list = fixture.host.List();
    SelectRows(list, {"big.bin"});
    // Delete pressed from a TransferProgress handler, in the middle of the
    // download: no box may come (one would be cancelled and noticed).
    // A drop meanwhile uploads nothing either.
    Fill(drive, {"dropped.txt"});
    auto data = MakeShellDrop({ToWide(drive.PathOf("dropped.txt"))});
    bool asked = true;
    DWORD dropped = DROPEFFECT_COPY;
    fixture.Control().sink.onProgress = [&](long) {
        asked = !AnswerMessageBox(IDCANCEL, [&] { PressKey(list, VK_DELETE); }).empty();
        dropped = DragAndDrop(list, data.Get(), RowPoint(list, 0));
    };
    fixture.Control().Must(L"GetFile", {drive.Root().c_str()});
    EXPECT_FALSE(asked);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), dropped);
    EXPECT_TRUE(fixture.server.Exists("pub/big.bin"));
    EXPECT_FALSE(fixture.server.Exists("pub/dropped.txt"));
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, Deletion, testing::ValuesIn(kRemoteKinds), RemoteKindName);

}  // namespace
