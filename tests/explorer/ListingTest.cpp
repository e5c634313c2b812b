// The list: its columns after Connect, names that are no plain names, sorting, and the selection services behind the methods.
#include "tests/explorer/ExplorerTestSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/ScratchDrive.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>

namespace {

// Sets the last-write time of a file or directory.
void SetWriteTime(const std::string& path, FILETIME written)
{
    const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
}

struct ListingOnServers : testing::TestWithParam<RemoteKind> {};

TEST_P(ListingOnServers, ConnectFillsTheListInReportModeWithFourColumns)
{
    FtpServer server(GetParam().server);
    server.WriteFile("big.bin", std::string(1234567, 'b'));
    server.WriteFile("edge.txt", std::string(1023, 'e'));
    server.WriteFile("one.txt", std::string(1024, 'o'));
    server.MakeDirectory("フォルダ");
    // edge.txt was written yesterday at a whole minute.
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    FILETIME written;
    SystemTimeToFileTime(&utc, &written);
    ULARGE_INTEGER ticks = {{written.dwLowDateTime, written.dwHighDateTime}};
    ticks.QuadPart -= 86400ULL * 10000000ULL + (utc.wSecond * 1000ULL + utc.wMilliseconds) * 10000ULL;
    written = {ticks.LowPart, ticks.HighPart};
    SetWriteTime(server.PathOf("edge.txt"), written);
    ExplorerHost host;
    ConnectToServer(host.Control(), server);
    const HWND list = host.List();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(static_cast<DWORD>(LVS_REPORT), GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK);

    const HWND header = ListView_GetHeader(list);
    ASSERT_EQ(4, Header_GetItemCount(header));
    const struct {
        const char* heading;
        int format;
    } columns[] = {{"名前", HDF_LEFT}, {"サイズ", HDF_RIGHT}, {"種類", HDF_LEFT}, {"更新日時", HDF_LEFT}};
    for (int column = 0; column < 4; ++column) {
        wchar_t text[64] = L"";
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(columns[column].heading, ToShiftJis(text));
        EXPECT_EQ(columns[column].format, item.fmt & HDF_JUSTIFYMASK) << column;
        EXPECT_EQ(100, item.cxy);
    }

    // Name order, the directory first; sizes in whole kilobytes.
    EXPECT_EQ((std::vector<std::string>{"フォルダ", "big.bin", "edge.txt", "one.txt"}), ListColumn(list, 0));
    EXPECT_EQ((std::vector<std::string>{"", "1,205KB", "0KB", "1KB"}), ListColumn(list, 1));
    EXPECT_EQ("ファイルフォルダ\xDE", ListText(list, 0, 2));
    EXPECT_FALSE(ListText(list, 2, 2).empty()) << "no shell type name for a .txt file";
    EXPECT_EQ(ListText(list, 2, 2), ListText(list, 3, 2)) << "one extension, one type name";
    // The date column: the user's short date and time pictures, as the
    // platform formats them (the listing gives whole minutes).
    FILETIME local;
    FileTimeToLocalFileTime(&written, &local);
    SYSTEMTIME shown;
    FileTimeToSystemTime(&local, &shown);
    wchar_t date[64] = L"";
    wchar_t time[64] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &shown, nullptr, date, 64);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &shown, nullptr, time, 64);
    EXPECT_EQ(ToShiftJis(std::wstring(date) + L" " + time), ListText(list, 2, 3));

    // Images: the directory's and the files'; item data: each row's place in the listing, distinct.
    std::vector<int> images;
    std::vector<LPARAM> data;
    for (int row = 0; row < 4; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE | LVIF_PARAM;
        item.iItem = row;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        images.push_back(item.iImage);
        data.push_back(item.lParam);
    }
    EXPECT_EQ((std::vector<int>{0, 1, 1, 1}), images);
    std::sort(data.begin(), data.end());
    EXPECT_EQ((std::vector<LPARAM>{0, 1, 2, 3}), data);
}

TEST(Listing, NamesThatAreNoPlainNamesAreShownButNeverTakenForPaths)
{
    // What the odd names resolve to on the server once "\" reads as "/".
    ServerExplorer fixture({"sub/", "sub/odd/", "sub/odd/sub.txt", "odd-up.txt", "odd-escape.txt"}, "odd-names", "/sub");
    HostedControl& control = fixture.Control();
    const HWND list = fixture.host.List();
    const std::vector<std::string> hostile = {"..\\odd-up.txt", "odd/sub.txt", "../../odd-escape.txt"};
    const std::vector<std::string> names = ListColumn(list, 0);
    for (const std::string& name : hostile)
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), name)) << name;
    // Downloaded as a user selects them: each is fetched by its name or
    // refused, and nothing is written outside the destination.
    ScratchDrive local;
    Fill(local, {"outer/", "outer/dl/"});
    for (const std::string& name : hostile) {
        SelectRows(list, {name});
        control.Call(L"GetFile", {(local.Root() + "/outer/dl").c_str()});
    }
    EXPECT_EQ(std::vector<std::string>{"dl"}, NamesIn(local.PathOf("outer")));
    EXPECT_EQ(std::vector<std::string>{"outer"}, NamesIn(local.UnixView()));
    std::vector<std::string> fetched = NamesIn(local.PathOf("outer/dl"));
    std::sort(fetched.begin(), fetched.end());
    EXPECT_EQ((std::vector<std::string>{"odd-escape.txt", "odd-up.txt", "sub.txt"}), fetched);
    // Deleted with the Delete key: each is refused, and nothing goes.
    control.sink.events.clear();
    SetFocus(list);
    for (const std::string& name : hostile) {
        SelectRows(list, {name});
        AnswerMessageBox(IDOK, [&] { PressKey(list, VK_DELETE); });
    }
    for (const char* path : {"odd-up.txt", "sub/odd/sub.txt", "odd-escape.txt"})
        EXPECT_TRUE(fixture.server.Exists(path)) << path;
    std::vector<long> refusals;
    for (const auto& error : Errors(control.sink))
        refusals.push_back(error.first);
    EXPECT_EQ(std::vector<long>(3, kFileErrorStatus), refusals);
}

// The run under code page 1252 shows the Japanese names right as well: the
// views hold UTF-16 text made from Shift-JIS explicitly.
TEST(CodePage, TheRunUsesTheSystemCodePageItWasStartedFor)
{
    char expected[16] = "932";
    GetEnvironmentVariableA("WYFTP_EXPECTED_CODE_PAGE", expected, sizeof expected);
    EXPECT_EQ(static_cast<UINT>(std::atoi(expected)), GetACP());
}

void ClickHeader(HWND list, int column)
{
    const HWND header = ListView_GetHeader(list);
    RECT rect = {};
    Header_GetItemRect(header, column, &rect);
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(header, WM_LBUTTONUP, 0, point);
    PumpMessages();
}

TEST_P(ListingOnServers, HeaderClicksAndSortListItemOrderTheRows)
{
    FtpServer server(GetParam().server);
    server.WriteFile("b.txt", std::string(2000, 'b'));         // 1KB
    server.WriteFile("a.log", std::string(1024000, 'a'));      // 1,000KB
    server.WriteFile("c.dat", std::string(999 * 1024, 'c'));  // 999KB
    Fill(server, {"zdir/", "adir/"});
    // Written on these days of March 2024.
    const std::pair<const char*, WORD> days[] = {{"a.log", 1}, {"c.dat", 2}, {"b.txt", 3}, {"zdir", 4}, {"adir", 5}};
    for (const auto& [name, day] : days) {
        const SYSTEMTIME time = {2024, 3, 0, day, 12, 0, 0, 0};
        FILETIME written;
        SystemTimeToFileTime(&time, &written);
        SetWriteTime(server.PathOf(name), written);
    }
    ExplorerHost host;
    HostedControl& control = host.Control();
    ConnectToServer(control, server);
    const HWND list = host.List();
    EXPECT_EQ((std::vector<std::string>{"adir", "zdir", "a.log", "b.txt", "c.dat"}), ListColumn(list, 0))
        << "a listing is shown in name order";
    // A header click (order -1) or a SortListItem call, and the rows' order then.
    const struct {
        const char* what;
        int column;
        int order;
        std::vector<std::string> names;
    } steps[] = {
        // The first click sorts descending; sizes compare as numbers, directories (no size) last.
        {"size click", 1, -1, {"a.log", "c.dat", "b.txt", "adir", "zdir"}},
        {"size click again", 1, -1, {"adir", "zdir", "b.txt", "c.dat", "a.log"}},
        // Every click toggles, whatever the column: name descending, directories last.
        {"name click", 0, -1, {"c.dat", "b.txt", "a.log", "zdir", "adir"}},
        {"date ascending", 3, 0, {"zdir", "adir", "a.log", "c.dat", "b.txt"}},
        {"date descending", 3, 1, {"b.txt", "c.dat", "a.log", "adir", "zdir"}},
        {"name ascending", 0, 0, {"adir", "zdir", "a.log", "b.txt", "c.dat"}},
        // The shell's type names decide among the files; directories, of
        // one type, keep their order and go last.
        {"type descending", 2, 1, {}},
        {"unknown column", 4, 0, {}},
    };
    std::vector<std::string> before;
    for (const auto& step : steps) {
        if (step.order < 0)
            ClickHeader(list, step.column);
        else
            control.Must(L"SortListItem", {step.column, step.order});
        const std::vector<std::string> names = ListColumn(list, 0);
        if (step.column == 2)
            EXPECT_EQ((std::vector<std::string>{"adir", "zdir"}), std::vector<std::string>(names.end() - 2, names.end()));
        else if (step.column == 4)
            EXPECT_EQ(before, names) << "an unknown column changes nothing";
        else
            EXPECT_EQ(step.names, names) << step.what;
        before = names;
    }
    // After a click on a column other than the name, a listing keeps the
    // store's order (the FTP server's is by name, directories among files;
    // an SSH server's is the disk's).
    control.Must(L"Refresh");
    std::vector<std::string> stored;
    for (const ListedFile& file : ReadListing(control.Must(L"GetFileList", {"/"}).AsDispatch()))
        stored.push_back(file.name);
    EXPECT_EQ(stored, ListColumn(list, 0));
    // Dates come from the store: an entry it no longer has sorts first.
    DeleteFileA(server.PathOf("c.dat").c_str());
    control.Must(L"SortListItem", {3, 0});
    EXPECT_EQ((std::vector<std::string>{"zdir", "adir", "c.dat", "a.log", "b.txt"}), ListColumn(list, 0));
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, ListingOnServers, testing::ValuesIn(kRemoteKinds), RemoteKindName);

// The selection services work the same with the control in a container and
// created by a script host that never shows it (the explorer then lives in
// a hidden window).
class Selection : public testing::TestWithParam<std::tuple<bool, RemoteKind>> {};

TEST_P(Selection, SelectFileGetCurrentFileClearSelectedFileAndGetFile)
{
    const auto [inContainer, kind] = GetParam();
    FtpServer server(kind.server);
    Fill(server, {"pub/", "pub/a.txt", "pub/b.txt", "pub/c.txt"});
    std::unique_ptr<ExplorerHost> host = inContainer ? std::make_unique<ExplorerHost>() : nullptr;
    std::unique_ptr<HostedControl> windowless = inContainer ? nullptr : std::make_unique<HostedControl>();
    HostedControl& control = host ? host->Control() : *windowless;
    ConnectToServer(control, server, "/pub");
    EXPECT_EQ("", control.Must(L"GetCurrentFile", {0}).AsText());
    control.Must(L"SelectFile", {"/pub/b.txt"});
    EXPECT_EQ("b.txt", control.Must(L"GetCurrentFile", {0}).AsText());
    EXPECT_EQ(AddressOf(server) + "/pub/b.txt", control.Must(L"GetCurrentFile", {1}).AsText());
    control.Must(L"SelectFile", {"a.txt"});  // earlier selections stay
    EXPECT_EQ("", control.Must(L"GetCurrentFile", {1}).AsText()) << "two selected: no current file";
    control.Must(L"ClearSelectedFile", {"\\pub\\a.txt"});
    EXPECT_EQ("b.txt", control.Must(L"GetCurrentFile", {0}).AsText());
    control.Must(L"ClearSelectedFile", {"/pub/none.txt"});  // no such item: nothing changes
    EXPECT_EQ("b.txt", control.Must(L"GetCurrentFile", {0}).AsText());
    control.Must(L"ClearSelectedFile", {""});
    EXPECT_EQ("", control.Must(L"GetCurrentFile", {0}).AsText());
    ExpectOwnError(control, control.Call(L"SelectFile", {""}), 20001, "メソッドの実行に必要なファイル名がありません");

    // GetFile downloads the selection in list order.
    ScratchDrive drive;
    control.Must(L"SelectFile", {"c.txt"});
    control.Must(L"SelectFile", {"a.txt"});
    control.sink.events.clear();
    control.Must(L"GetFile", {drive.Root().c_str()});
    EXPECT_EQ("pub/a.txt", ReadBytes(drive.PathOf("a.txt")));
    EXPECT_EQ("pub/c.txt", ReadBytes(drive.PathOf("c.txt")));
    const std::string prefix = server.Host() + "/pub/";
    EXPECT_EQ((std::vector<std::string>{prefix + "a.txt", prefix + "c.txt"}), TransferStarts(control.sink));
    // The second of three vanished: the third is not tried. (The list was
    // read again after the download, so the selection is made anew.)
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        control.Must(L"SelectFile", {name});
    DeleteFileA(server.PathOf("pub/b.txt").c_str());
    DeleteFileA(drive.PathOf("a.txt").c_str());
    DeleteFileA(drive.PathOf("c.txt").c_str());
    control.sink.events.clear();
    ExpectRaised(control, control.Call(L"GetFile", {drive.Root().c_str()}), kInternetErrorStatus);
    EXPECT_TRUE(PathExists(drive.PathOf("a.txt")));
    EXPECT_FALSE(PathExists(drive.PathOf("c.txt")));
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferProgressEvent, kTransferEndEvent, kTransferStartEvent}),
              control.sink.Ids());
    control.Must(L"ClearSelectedFile", {""});
    ExpectOwnError(control, control.Call(L"GetFile", {drive.Root().c_str()}), 20001,
                   "メソッドの実行に必要なファイル名がありません");
}

INSTANTIATE_TEST_SUITE_P(InAContainerAndWithout, Selection,
                         testing::Combine(testing::Bool(), testing::ValuesIn(kRemoteKinds)),
                         [](const testing::TestParamInfo<std::tuple<bool, RemoteKind>>& info) {
                             return std::string(std::get<0>(info.param) ? "InAContainer" : "Windowless")
                                 + std::get<1>(info.param).name;
                         });

}  // namespace
