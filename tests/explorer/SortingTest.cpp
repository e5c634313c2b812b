// Sorting the list: header clicks, SortListItem, sizes as numbers, directories first, dates from the store.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/FtpServer.h"

namespace {

// Sets a file's or directory's last-write time to the given day of 2024.
void SetDay(const std::string& path, WORD day)
{
    const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    SYSTEMTIME time = {2024, 3, 0, day, 12, 0, 0, 0};
    FILETIME written;
    SystemTimeToFileTime(&time, &written);
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
}

struct SortedServer {
    SortedServer()
    {
        server.WriteFile("b.txt", std::string(2000, 'b'));      // 1KB
        server.WriteFile("a.log", std::string(1024000, 'a'));   // 1,000KB
        server.WriteFile("c.dat", std::string(999 * 1024, 'c'));  // 999KB
        server.MakeDirectory("zdir");
        server.MakeDirectory("adir");
        const std::pair<const char*, WORD> days[] = {{"a.log", 1}, {"c.dat", 2}, {"b.txt", 3}, {"zdir", 4}, {"adir", 5}};
        for (const auto& [name, day] : days)
            SetDay(server.PathOf(name), day);
        host.Control().SetProperty(L"ServerName", server.Host().c_str());
        host.Control().Must(L"Connect");
    }
    FtpServer server;
    ExplorerHost host;
};

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

// One step of a sorting session: a header click (column) or a SortListItem
// call (column, order), and the names in the order the list then shows.
struct SortStep {
    const char* what;
    int column;
    int order;  // -1: a header click
    std::vector<std::string> names;
};

TEST(Sorting, HeaderClicksAndSortListItemOrderTheRows)
{
    SortedServer fixture;
    const HWND list = fixture.host.List();
    EXPECT_EQ((std::vector<std::string>{"adir", "zdir", "a.log", "b.txt", "c.dat"}), ListColumn(list, 0))
        << "a listing is shown in name order";
    const SortStep steps[] = {
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
    for (const SortStep& step : steps) {
        if (step.order < 0)
            ClickHeader(list, step.column);
        else
            fixture.host.Control().Must(L"SortListItem", {step.column, step.order});
        const std::vector<std::string> names = ListColumn(list, 0);
        if (step.column == 2)
            EXPECT_EQ((std::vector<std::string>{"adir", "zdir"}), std::vector<std::string>(names.end() - 2, names.end()));
        else if (step.column == 4)
            EXPECT_EQ(before, names) << "an unknown column changes nothing";
        else
            EXPECT_EQ(step.names, names) << step.what;
        before = names;
    }
    // After a click on a column other than the name, a listing keeps the server's order.
    fixture.host.Control().Must(L"Refresh");
    EXPECT_EQ((std::vector<std::string>{"a.log", "adir", "b.txt", "c.dat", "zdir"}), ListColumn(list, 0));
}

TEST(Sorting, ADateSortPutsEntriesTheStoreNoLongerHasFirst)
{
    SortedServer fixture;
    DeleteFileA(fixture.server.PathOf("c.dat").c_str());
    fixture.host.Control().Must(L"SortListItem", {3, 0});
    EXPECT_EQ((std::vector<std::string>{"zdir", "adir", "c.dat", "a.log", "b.txt"}), ListColumn(fixture.host.List(), 0));
}

}  // namespace
