// Servers that speak UTF-8 names: every operation reaches the file it names, and names Shift-JIS lacks are shown, not used.
#include "tests/integration/HostSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Utf8Case {
    const char* kind;
    long encoding;     // ServerEncoding: 1 UTF-8, 2 automatic
    const char* base;  // where the test may write ("pub" on vsftpd)
};

std::vector<std::string> ListedNames(const HostedControl& control, const std::string& directory)
{
    std::vector<std::string> names;
    for (const ListedFile& file : ReadListing(control.Must(L"GetFileList", {directory.c_str()}).AsDispatch()))
        names.push_back(file.name);
    std::sort(names.begin(), names.end());
    return names;
}

// A file whose name code page 932 cannot hold (written through the wide API).
void WriteSmileFile(const FtpServer& server, const std::string& base)
{
    const std::wstring path = ToWide(server.PathOf(base)) + L"\\\U0001F600.txt";
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, "smile", 5, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

TEST(Utf8Server, NamesTravelAsUtf8AndEveryOperationReachesItsFile)
{
    const Utf8Case cases[] = {{"utf8", 1, ""}, {"utf8", 2, ""}, {"vsftpd", 2, "pub"}};
    for (const Utf8Case& test : cases) {
        SCOPED_TRACE(std::string(test.kind) + " encoding " + std::to_string(test.encoding));
        FtpServer server(test.kind, FtpServer::kAnyPort);
        const std::string base = test.base;
        const std::string remoteBase = "/" + base;
        const auto below = [&](const std::string& name) { return base.empty() ? name : base + "/" + name; };
        const auto remote = [&](const std::string& name) { return "/" + below(name); };
        server.MakeDirectory(below("資料"));
        server.WriteFile(below("資料/報告.txt"), "report");
        WriteSmileFile(server, base);
        ScratchDrive local;
        WriteBytes(local.PathOf("新規.txt"), "new file");

        HostedControl control;
        control.SetProperty(L"ServerName", server.Host().c_str());
        control.SetProperty(L"Port", static_cast<long>(server.Port()));
        control.SetProperty(L"ServerEncoding", test.encoding);
        control.Must(L"Connect");

        EXPECT_EQ(std::vector<std::string>{"報告.txt"}, ListedNames(control, remote("資料")));
        const std::vector<std::string> top = ListedNames(control, remoteBase);
        EXPECT_NE(top.end(), std::find(top.begin(), top.end(), "資料"));
        // The mark stands for the character Shift-JIS does not have.
        EXPECT_NE(top.end(), std::find(top.begin(), top.end(), "〓.txt"));

        control.Must(L"SetCurrentDirectory", {remote("資料").c_str()});
        control.Must(L"SelectFile", {"報告.txt"});
        control.Must(L"GetFile", {local.Root().c_str()});
        EXPECT_EQ("report", ReadBytes(local.PathOf("報告.txt")));

        control.Must(L"SetCurrentDirectory", {remoteBase.c_str()});
        control.Must(L"PutFile", {local.PathOf("新規.txt").c_str()});
        EXPECT_EQ("new file", server.ReadFile(below("新規.txt")));
        control.Must(L"RenameFile", {remote("新規.txt").c_str(), remote("改名.txt").c_str()});
        EXPECT_TRUE(server.Exists(below("改名.txt")));
        control.Must(L"CreateDirectory", {remote("作成").c_str()});
        EXPECT_TRUE(server.Exists(below("作成")));

        // The marked name stands for a name that was lost: sent back it could
        // name another file, so it is refused and the file stays.
        ExpectRaised(control, control.Call(L"RemoveFile", {remote("〓.txt").c_str()}), kInternetErrorStatus,
                     ERROR_INVALID_NAME);
        const std::wstring smile = ToWide(server.PathOf(base)) + L"\\\U0001F600.txt";
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(smile.c_str()));
    }
}

TEST(Utf8Server, AutomaticStaysWithShiftJisWhenTheServerRefusesUtf8)
{
    // The normal kind speaks Shift-JIS and answers OPTS UTF8 ON with 501.
    FtpServer server("normal", FtpServer::kAnyPort);
    server.WriteFile("表.txt", "x");
    HostedControl control;
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"Port", static_cast<long>(server.Port()));
    control.SetProperty(L"ServerEncoding", 2L);
    control.Must(L"Connect");
    EXPECT_EQ(std::vector<std::string>{"表.txt"}, ListedNames(control, "/"));
}
