// The selection services behind SelectFile, GetCurrentFile, ClearSelectedFile and GetFile, in a container and without one.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

namespace {

void FillServer(const FtpServer& server)
{
    server.MakeDirectory("pub");
    for (const char* name : {"pub/a.txt", "pub/b.txt", "pub/c.txt"})
        server.WriteFile(name, std::string("content of ") + name);
}

// The same checks with the control in a container and created by a script
// host that never shows it (the explorer then lives in a hidden window).
class Selection : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        FillServer(server);
        if (GetParam()) {
            host = std::make_unique<ExplorerHost>();
        } else {
            windowless = std::make_unique<HostedControl>();
        }
        Control().SetProperty(L"ServerName", server.Host().c_str());
        Control().SetProperty(L"ConnectDirectory", "/pub");
        Control().Must(L"Connect");
        Control().sink.events.clear();
    }
    HostedControl& Control() { return host ? host->Control() : *windowless; }

    FtpServer server;
    std::unique_ptr<ExplorerHost> host;
    std::unique_ptr<HostedControl> windowless;
};

TEST_P(Selection, SelectFileGetCurrentFileAndClearSelectedFile)
{
    HostedControl& control = Control();
    EXPECT_EQ("", control.Must(L"GetCurrentFile", {0}).AsText());
    control.Must(L"SelectFile", {"/pub/b.txt"});
    EXPECT_EQ("b.txt", control.Must(L"GetCurrentFile", {0}).AsText());
    EXPECT_EQ("ftp://" + server.Host() + "/pub/b.txt", control.Must(L"GetCurrentFile", {1}).AsText());
    control.Must(L"SelectFile", {"a.txt"});  // earlier selections stay
    EXPECT_EQ("", control.Must(L"GetCurrentFile", {1}).AsText()) << "two selected: no current file";
    control.Must(L"ClearSelectedFile", {"\\pub\\a.txt"});
    EXPECT_EQ("b.txt", control.Must(L"GetCurrentFile", {0}).AsText());
    control.Must(L"ClearSelectedFile", {"/pub/none.txt"});  // no such item: nothing changes
    EXPECT_EQ("b.txt", control.Must(L"GetCurrentFile", {0}).AsText());
    control.Must(L"SelectFile", {"c.txt"});
    control.Must(L"ClearSelectedFile", {""});
    EXPECT_EQ("", control.Must(L"GetCurrentFile", {0}).AsText());
    ExpectOwnError(control, control.Call(L"SelectFile", {""}), 20001, "メソッドの実行に必要なファイル名がありません");
}

TEST_P(Selection, GetFileDownloadsTheSelectionInListOrderAndStopsAtTheFirstFailure)
{
    ScratchDrive drive;
    HostedControl& control = Control();
    control.Must(L"SelectFile", {"c.txt"});
    control.Must(L"SelectFile", {"a.txt"});
    control.Must(L"GetFile", {drive.Root().c_str()});
    EXPECT_EQ("content of pub/a.txt", ReadBytes(drive.PathOf("a.txt")));
    EXPECT_EQ("content of pub/c.txt", ReadBytes(drive.PathOf("c.txt")));
    std::vector<std::string> starts;
    for (const HostEvent& event : control.sink.events) {
        if (event.id == kTransferStartEvent)
            starts.push_back(event.args[0].AsText());
    }
    const std::string prefix = server.Host() + "/pub/";
    EXPECT_EQ((std::vector<std::string>{prefix + "a.txt", prefix + "c.txt"}), starts);

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

INSTANTIATE_TEST_SUITE_P(InAContainerAndWithout, Selection, testing::Bool());

}  // namespace
