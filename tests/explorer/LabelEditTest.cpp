// Label editing: opened by a slow second click, renaming entries on the server and the local disk, the current directory through the tree.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/ScratchDrive.h"

#include <cstring>

namespace {

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

TEST(LabelEditing, OnlyASlowSecondClickOnTheSelectedLabelOpensItsEditor)
{
    ServerExplorer fixture({"pub/", "a.txt", "b.txt"});
    const HWND list = fixture.host.List();
    const HWND tree = fixture.host.Tree();
    // Clicks on names (nullptr: a pause longer than a double click), each
    // run a pause after the one before.
    const struct {
        const char* what;
        bool onTree;
        std::vector<const char*> clicks;
        bool opens;
    } runs[] = {
        {"a slow second click", false, {"a.txt", nullptr, "a.txt"}, true},
        // The platform's double click: the first click arms, the second cancels.
        {"a double click", false, {"a.txt", "a.txt"}, false},
        {"a second click, then at once a click elsewhere", false, {"a.txt", "b.txt"}, false},
        {"a slow second click on the tree", true, {"pub", nullptr, "pub"}, true},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.what);
        const HWND view = run.onTree ? tree : list;
        PumpFor(GetDoubleClickTime() + 100);
        for (const char* name : run.clicks) {
            if (!name)
                PumpFor(GetDoubleClickTime() + 100);
            else
                Click(view, run.onTree ? TreeItemPoint(tree, TreeItemAt(tree, name)) : RowPoint(list, ListRow(list, name)));
        }
        EXPECT_TRUE(!run.opens || PumpUntil([&] { return Editor(view) != nullptr; }));
        // The control's own click editing neither takes the editor over nor opens one meanwhile.
        PumpFor(800);
        EXPECT_EQ(run.opens, Editor(view) != nullptr);
        if (const HWND editor = Editor(view)) {
            SendMessageW(editor, WM_KEYDOWN, VK_ESCAPE, 1);
            PumpMessages();
        }
        if (!run.onTree) {
            EXPECT_EQ((std::vector<std::string>{run.clicks.back()}), SelectedNames(list));
        }
    }
}

struct Renaming : testing::TestWithParam<RemoteKind> {};

TEST_P(Renaming, LabelEditsRenameListEntriesAndTheCurrentDirectoryOnTheStore)
{
    ScratchDrive drive;
    ServerExplorer fixture({"pub/", "pub/sub/", "pub/in-pub.txt", "top.txt"}, GetParam().server);
    HostedControl& control = fixture.Control();
    const HWND list = fixture.host.List();
    const HWND tree = fixture.host.Tree();
    const struct {
        const char* what;
        const char* name;      // the row edited
        const wchar_t* label;  // typed
        const char* after;     // the entry's name afterwards, on the server and in the list
        long error;            // the status of the Error event; 0: none
    } edits[] = {
        {"a Japanese name", "top.txt", L"\u540d\u524d.txt", "名前.txt", 0},
        {"a directory", "pub", L"pub2", "pub2", 0},
        // The label comes back and Error tells why.
        {"refused by the server", "名前.txt", L"pub2", "名前.txt", static_cast<long>(kInternetErrorStatus)},
        {"an empty label: no rename", "名前.txt", L"", "名前.txt", 0},
        // Nothing outside the directory is reached.
        {"a label that is no plain name", "名前.txt", L"../escaped.txt", "名前.txt", static_cast<long>(kFileErrorStatus)},
    };
    SetFocus(list);
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.what);
        control.sink.events.clear();
        SelectRows(list, {edit.name});
        EditLabel(list, edit.label);
        EXPECT_TRUE(fixture.server.Exists(edit.after));
        EXPECT_EQ(std::strcmp(edit.name, edit.after) == 0, fixture.server.Exists(edit.name));
        EXPECT_NE(-1, ListRow(list, edit.after));
        const auto errors = Errors(control.sink);
        ASSERT_EQ(edit.error ? 1u : 0u, errors.size());
        EXPECT_EQ(edit.error, errors.empty() ? 0 : errors[0].first);
    }
    // The tree shows the directory under its new name.
    EXPECT_TRUE(fixture.server.Exists("pub2/in-pub.txt"));
    EXPECT_EQ("/[pub2+]", TreeOutline(tree));

    // Through the tree the current directory is renamed, and stays current.
    control.Must(L"SetCurrentDirectory", {"/pub2/sub"});
    control.sink.events.clear();
    SetFocus(tree);
    EditLabel(tree, L"renamed");
    EXPECT_TRUE(fixture.server.Exists("pub2/renamed"));
    EXPECT_EQ("/pub2/renamed", control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ("renamed", SelectedTreeText(tree));
    EXPECT_TRUE(Errors(control.sink).empty());

    // On the local disk the store puts its drive in front of the paths.
    Fill(drive, {"docs/", "docs/a.txt"});
    control.Must(L"DisConnect");
    ConnectToDisk(control, drive.Root(), "/docs");
    SetFocus(list);
    SelectRows(list, {"a.txt"});
    EditLabel(list, L"b.txt");
    EXPECT_EQ("docs/a.txt", ReadBytes(drive.PathOf("docs/b.txt")));
    EXPECT_FALSE(PathExists(drive.PathOf("docs/a.txt")));
    EXPECT_TRUE(Errors(control.sink).empty());
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, Renaming, testing::ValuesIn(kRemoteKinds), RemoteKindName);

}  // namespace
