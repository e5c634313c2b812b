// The list after Connect: columns, sizes, types, dates, images, item data; empty and hostile listings.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include "framework/CodePage932.h"

#include <olectl.h>

#include <algorithm>
#include <cstdlib>

#include <commctrl.h>

namespace {

// A server with files of the sizes the size column must show.
struct ListedServer {
    ListedServer()
    {
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
        const HANDLE file = CreateFileA(server.PathOf("edge.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
        FILETIME local;
        FileTimeToLocalFileTime(&written, &local);
        SYSTEMTIME shown;
        FileTimeToSystemTime(&local, &shown);
        wchar_t date[64] = L"";
        wchar_t time[64] = L"";
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &shown, nullptr, date, 64);
        GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &shown, nullptr, time, 64);
        expectedTime = ToShiftJis(std::wstring(date) + L" " + time);
    }
    FtpServer server;
    std::string expectedTime;
};

TEST(Listing, ConnectFillsTheListInReportModeWithFourColumns)
{
    ListedServer fixture;
    ExplorerHost host;
    HostedControl& control = host.Control();
    control.SetProperty(L"ServerName", fixture.server.Host().c_str());
    control.Must(L"Connect");
    const HWND list = host.List();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(static_cast<DWORD>(LVS_REPORT), GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK);

    const HWND header = ListView_GetHeader(list);
    ASSERT_EQ(4, Header_GetItemCount(header));
    const char* const headings[] = {"名前", "サイズ", "種類", "更新日時"};
    const int formats[] = {HDF_LEFT, HDF_RIGHT, HDF_LEFT, HDF_LEFT};
    for (int column = 0; column < 4; ++column) {
        wchar_t text[64] = L"";
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(headings[column], ToShiftJis(text));
        EXPECT_EQ(formats[column], item.fmt & HDF_JUSTIFYMASK) << column;
        EXPECT_EQ(100, item.cxy);
    }

    // Name order, the directory first; sizes in whole kilobytes.
    EXPECT_EQ((std::vector<std::string>{"フォルダ", "big.bin", "edge.txt", "one.txt"}), ListColumn(list, 0));
    EXPECT_EQ((std::vector<std::string>{"", "1,205KB", "0KB", "1KB"}), ListColumn(list, 1));
    const std::string directoryType = ListText(list, 0, 2);
    ASSERT_FALSE(directoryType.empty());
    EXPECT_EQ("ファイルフォルダ\xDE", directoryType);
    EXPECT_FALSE(ListText(list, 2, 2).empty()) << "no shell type name for a .txt file";
    EXPECT_EQ(ListText(list, 2, 2), ListText(list, 3, 2)) << "one extension, one type name";
    EXPECT_EQ((std::vector<int>{0, 1, 1, 1}),
              (std::vector<int>{ListImage(list, 0), ListImage(list, 1), ListImage(list, 2), ListImage(list, 3)}));

    // The date column: the user's short date and time pictures, as the
    // platform formats them (the listing gives whole minutes).
    EXPECT_EQ(fixture.expectedTime, ListText(list, 2, 3));

    // Item data: each row's place in the listing, distinct.
    std::vector<LPARAM> data;
    for (int row = 0; row < 4; ++row)
        data.push_back(ListData(list, row));
    std::sort(data.begin(), data.end());
    EXPECT_EQ((std::vector<LPARAM>{0, 1, 2, 3}), data);
}

TEST(Listing, HostileNamesListAsNamesAndAnEmptyDirectoryAsNoRows)
{
    FtpServer odd("odd-names");
    FtpServer plain;
    plain.MakeDirectory("empty");
    odd.MakeDirectory("sub");
    odd.MakeDirectory("sub/odd");
    // What the odd names resolve to on the server once "\\" reads as "/".
    odd.WriteFile("odd-up.txt", "up");
    odd.WriteFile("sub/odd/sub.txt", "sub");
    odd.WriteFile("odd-escape.txt", "escape");
    ExplorerHost host;
    HostedControl& control = host.Control();
    control.SetProperty(L"ServerName", odd.Host().c_str());
    control.SetProperty(L"ConnectDirectory", "/sub");
    control.Must(L"Connect");
    // What the server lists is shown as names, never taken for paths.
    const std::vector<std::string> names = ListColumn(host.List(), 0);
    const std::vector<std::string> hostile = {"..\\odd-up.txt", "odd/sub.txt", "../../odd-escape.txt"};
    for (const std::string& name : hostile)
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), name)) << name;
    // Selected and downloaded as a user does: each is fetched by its name
    // or refused, and nothing is written outside the destination.
    ScratchDrive local;
    MakeDirectory(local.PathOf("outer"));
    MakeDirectory(local.PathOf("outer/dl"));
    for (const std::string& name : hostile) {
        SelectRows(host.List(), {name});
        control.Call(L"GetFile", {(local.Root() + "/outer/dl").c_str()});
    }
    EXPECT_EQ(std::vector<std::string>{"dl"}, NamesIn(local.PathOf("outer")));
    EXPECT_EQ(std::vector<std::string>{"outer"}, NamesIn(local.UnixView()));
    std::vector<std::string> fetched = NamesIn(local.PathOf("outer/dl"));
    std::sort(fetched.begin(), fetched.end());
    EXPECT_EQ((std::vector<std::string>{"odd-escape.txt", "odd-up.txt", "sub.txt"}), fetched);
    control.Must(L"DisConnect");
    EXPECT_EQ(0, ListView_GetItemCount(host.List()));

    control.SetProperty(L"ServerName", plain.Host().c_str());
    control.SetProperty(L"ConnectDirectory", "/");
    control.Must(L"Connect");
    EXPECT_EQ((std::vector<std::string>{"empty"}), ListColumn(host.List(), 0));
    control.Must(L"SetCurrentDirectory", {"/empty"});
    EXPECT_EQ(0, ListView_GetItemCount(host.List()));
    EXPECT_FALSE(control.sink.Received(DISPID_ERROREVENT));
}

}  // namespace

namespace {

// The suite runs once under code page 932 and once under 1252: the names
// above must come out right in both, as the views hold UTF-16 text made
// from Shift-JIS explicitly.
TEST(CodePage, TheRunUsesTheSystemCodePageItWasStartedFor)
{
    char expected[16] = "932";
    GetEnvironmentVariableA("WYFTP_EXPECTED_CODE_PAGE", expected, sizeof expected);
    EXPECT_EQ(static_cast<UINT>(std::atoi(expected)), GetACP());
}

}  // namespace
