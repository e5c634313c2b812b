// PutFile through the registered control: chunks and events, aborts, calls made during a transfer, ftp URLs, Japanese names.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <algorithm>

namespace {

const std::string kLogin = std::string("?uid=") + FtpServer::kUser + "&pw=" + FtpServer::kPassword;

std::string UrlOf(const FtpServer& server, const std::string& path, const std::string& query)
{
    return "ftp://" + server.Host() + path + query;
}

// A control connected to a fresh server at "/", and a drive for local files.
struct Upload : testing::Test {
    Upload()
    {
        control.SetProperty(L"ServerName", server.Host().c_str());
        control.Must(L"Connect");
        control.sink.events.clear();
    }
    // A local file of size pattern bytes on the scratch drive; its path.
    std::string LocalFile(const std::string& name, size_t size, unsigned seed = 1)
    {
        WriteBytes(local.PathOf(name), PatternBytes(size, seed));
        return local.PathOf(name);
    }

    ScratchDrive local;
    FtpServer server;
    HostedControl control;
};

TEST_F(Upload, ProgressAfterEveryChunkWithTheRunningTotal)
{
    control.SetProperty(L"TransferByte", 4);
    const std::string path = LocalFile("a.bin", 10000);
    control.Must(L"PutFile", {path.c_str()});
    // One file: TransferStart with the argument as given, a progress event
    // per chunk, TransferEnd; nothing else.
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferProgressEvent, kTransferProgressEvent,
                                   kTransferProgressEvent, kTransferEndEvent}),
              control.sink.Ids());
    EXPECT_EQ(path, control.sink.events.at(0).args.at(0).AsText());
    EXPECT_EQ((std::vector<long>{4096, 8192, 10000}), control.sink.Progress());
    EXPECT_TRUE(PatternBytes(10000) == server.ReadFile("a.bin"));
}

TEST_F(Upload, ChunkSizeThatDividesTheFile)
{
    control.SetProperty(L"TransferByte", 4);
    control.Must(L"PutFile", {LocalFile("b.bin", 8192, 2).c_str()});
    EXPECT_EQ((std::vector<long>{4096, 8192}), control.sink.Progress());
    EXPECT_TRUE(PatternBytes(8192, 2) == server.ReadFile("b.bin"));
}

TEST_F(Upload, IntoTheCurrentDirectoryWithForwardSlashes)
{
    server.MakeDirectory("pub");
    control.Must(L"SetCurrentDirectory", {"/pub"});
    control.sink.events.clear();
    const std::string path = local.Root() + "/c.bin";
    WriteBytes(local.PathOf("c.bin"), PatternBytes(5000, 3));
    control.Must(L"PutFile", {path.c_str()});
    EXPECT_EQ(path, control.sink.events.at(0).args.at(0).AsText());
    EXPECT_EQ((std::vector<long>{5000}), control.sink.Progress());  // one chunk of 1,024 KB
    EXPECT_TRUE(PatternBytes(5000, 3) == server.ReadFile("pub/c.bin"));
    EXPECT_FALSE(server.Exists("c.bin"));
}

TEST_F(Upload, ZeroByteFileFiresNoProgressAndArrivesEmpty)
{
    control.Must(L"PutFile", {LocalFile("zero.bin", 0).c_str()});
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferEndEvent}), control.sink.Ids());
    ASSERT_TRUE(server.Exists("zero.bin"));
    EXPECT_EQ("", server.ReadFile("zero.bin"));
}

TEST_F(Upload, JapaneseNamesArriveWithTheirBytes)
{
    const std::string hyou = "表.txt";  // trail byte 0x5C
    const std::string soft = "ソフト.txt";
    control.SetProperty(L"TransferByte", 4);
    control.Must(L"PutFile", {LocalFile(hyou, 5000, 5).c_str()});
    LocalFile(soft, 6000, 6);
    control.Must(L"PutFile", {(local.Root() + "\\" + soft).c_str()});
    EXPECT_EQ(local.PathOf(hyou), control.sink.events.at(0).args.at(0).AsText());
    ASSERT_TRUE(server.Exists(hyou));
    EXPECT_TRUE(PatternBytes(5000, 5) == server.ReadFile(hyou));
    ASSERT_TRUE(server.Exists(soft));
    EXPECT_TRUE(PatternBytes(6000, 6) == server.ReadFile(soft));

    Variant files = control.Must(L"GetFileList", {"/"});
    std::vector<std::string> names;
    for (const ListedFile& file : ReadListing(files.AsDispatch()))
        names.push_back(file.name);
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {hyou, soft};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);
}

TEST_F(Upload, AbortFromTheProgressHandlerEndsWith20202AndLeavesNothing)
{
    control.SetProperty(L"TransferByte", 4);
    const std::string path = LocalFile("big.bin", 100000);
    CallResult abort;
    control.sink.onProgress = [&](long bytes) {
        if (bytes == 4096)
            abort = control.Call(L"AbortTransfer");
    };
    CallResult result = control.Call(L"PutFile", {path.c_str()});
    EXPECT_EQ(S_OK, abort.hr);
    ExpectOwnError(control, result, 20202, "ファイルの転送が中断されました");
    // The loop stopped before its next chunk; no TransferEnd for the file.
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferProgressEvent}), control.sink.Ids());
    EXPECT_FALSE(server.Exists("big.bin"));

    // The abort is over: the next transfer runs to its end.
    control.sink.onProgress = nullptr;
    control.sink.events.clear();
    control.Must(L"PutFile", {path.c_str()});
    EXPECT_EQ(kTransferEndEvent, control.sink.events.back().id);
    EXPECT_TRUE(PatternBytes(100000) == server.ReadFile("big.bin"));
}

TEST_F(Upload, AbortWhileIdleHasNoLastingEffect)
{
    control.Must(L"AbortTransfer");
    control.Must(L"PutFile", {LocalFile("a.bin", 3000).c_str()});
    EXPECT_TRUE(PatternBytes(3000) == server.ReadFile("a.bin"));
}

// What a call made from the TransferProgress handler gave back.
struct BusyCall {
    std::wstring method;
    CallResult result;
};

TEST_F(Upload, EveryOtherCallDuringATransferGivesItsBusyResult)
{
    server.MakeDirectory("keep");
    server.WriteFile("keep.txt", "keep");
    const std::string other = LocalFile("other.bin", 10);
    // An earlier error, to see that the handler is not shown it.
    ExpectOwnError(control, control.Call(L"DirUp"), 20201, "1番上のディレクトリ階層です");
    control.SetProperty(L"TransferByte", 1);
    const std::string path = LocalFile("a.bin", 3000);

    std::vector<BusyCall> calls;
    Variant visibleTree, listViewMode, treeViewWidth;
    control.sink.onProgress = [&](long bytes) {
        if (bytes != 1024)
            return;
        const std::vector<std::pair<const wchar_t*, std::vector<Variant>>> methods = {
            {L"Connect", {}},
            {L"Connect", {server.Host().c_str(), FtpServer::kUser, FtpServer::kPassword}},
            {L"DisConnect", {}},
            {L"SetCurrentDirectory", {"/keep"}},
            {L"GetCurrentDirectory", {0}},
            {L"DirUp", {}},
            {L"Refresh", {}},
            {L"SelectFile", {"keep.txt"}},
            {L"GetCurrentFile", {0}},
            {L"ClearSelectedFile", {""}},
            {L"SortListItem", {0, 1}},
            {L"GetFileList", {"/"}},
            {L"GetFile", {}},
            {L"GetFile", {local.Root().c_str()}},
            {L"PutFile", {other.c_str()}},
            {L"GetFileSize", {"/keep.txt"}},
            {L"CreateDirectory", {"/made"}},
            {L"RemoveDirectory", {"/keep"}},
            {L"RemoveFile", {"/keep.txt"}},
            {L"RenameFile", {"/keep.txt", "/renamed.txt"}},
            {L"GetLastError", {}},
            {L"GetErrorMessage", {}},
        };
        for (const auto& [method, args] : methods)
            calls.push_back({method, control.Call(method, args)});
        control.SetProperty(L"VisibleTree", false);
        control.SetProperty(L"ListViewMode", 3);
        control.SetProperty(L"TreeViewWidth", 250);
        // Other properties are stored whenever they are set.
        control.SetProperty(L"ShowProgressDialog", 7);
        visibleTree = control.Property(L"VisibleTree");
        listViewMode = control.Property(L"ListViewMode");
        treeViewWidth = control.Property(L"TreeViewWidth");
    };
    control.Must(L"PutFile", {path.c_str()});

    ASSERT_EQ(22u, calls.size());
    for (const BusyCall& call : calls) {
        const std::string name = ShiftJisFromBstr(CBstr(call.method.c_str()).Get());
        EXPECT_EQ(S_OK, call.result.hr) << name << " raised " << call.result.description;
        if (call.method == L"GetCurrentDirectory" || call.method == L"GetCurrentFile"
            || call.method == L"GetErrorMessage") {
            EXPECT_EQ(VT_BSTR, call.result.value.Type()) << name;
            EXPECT_EQ("", call.result.value.AsText()) << name;
        } else if (call.method == L"GetFileSize" || call.method == L"GetLastError") {
            EXPECT_EQ(-1, call.result.value.AsLong()) << name;
        } else if (call.method == L"GetFileList") {
            EXPECT_EQ(nullptr, call.result.value.AsDispatch()) << name;
        } else {
            EXPECT_EQ(VT_EMPTY, call.result.value.Type()) << name;
        }
    }
    EXPECT_TRUE(visibleTree.AsBool());
    EXPECT_EQ(1, listViewMode.AsLong());
    EXPECT_EQ(100, treeViewWidth.AsLong());
    EXPECT_EQ(7, control.Property(L"ShowProgressDialog").AsLong());

    // The transfer itself went on to its end; the other calls did nothing.
    EXPECT_EQ((std::vector<long>{1024, 2048, 3000}), control.sink.Progress());
    EXPECT_EQ(kTransferEndEvent, control.sink.events.back().id);
    const std::vector<DISPID> ids = control.sink.Ids();
    EXPECT_EQ(1, std::count(ids.begin(), ids.end(), kTransferStartEvent));
    EXPECT_FALSE(control.sink.Received(kChangeCurrentDirectoryEvent));
    EXPECT_FALSE(control.sink.Received(kDisConnectedEvent));
    EXPECT_FALSE(control.sink.Received(kConnectedEvent));
    EXPECT_TRUE(PatternBytes(3000) == server.ReadFile("a.bin"));
    EXPECT_FALSE(server.Exists("other.bin"));
    EXPECT_FALSE(server.Exists("made"));
    EXPECT_TRUE(server.Exists("keep"));
    EXPECT_TRUE(server.Exists("keep.txt"));
    EXPECT_FALSE(server.Exists("renamed.txt"));
    EXPECT_FALSE(PathExists(local.PathOf("keep.txt")));
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
    // Outside the transfer the earlier error is shown again.
    EXPECT_EQ(20201, control.LastError());
    EXPECT_EQ("WyFTPエラー：1番上のディレクトリ階層です", control.LastMessage());
}

TEST(UrlRelay, FtpUrlSourceIsRelayedIntoTheCurrentDirectory)
{
    FtpServer here;
    FtpServer there;
    here.MakeDirectory("in");
    there.MakeDirectory("src");
    there.WriteFile("src/b.bin", PatternBytes(12345, 4));
    HostedControl control;
    control.SetProperty(L"ServerName", here.Host().c_str());
    control.SetProperty(L"ConnectDirectory", "/in");
    control.SetProperty(L"TransferByte", 4);
    control.Must(L"Connect");
    control.sink.events.clear();

    const std::string url = UrlOf(there, "/src/b.bin", kLogin);
    control.Must(L"PutFile", {url.c_str()});
    EXPECT_TRUE(PatternBytes(12345, 4) == here.ReadFile("in/b.bin"));
    EXPECT_EQ(url, control.sink.events.at(0).args.at(0).AsText());
    EXPECT_EQ((std::vector<long>{4096, 8192, 12288, 12345}), control.sink.Progress());
    EXPECT_EQ(kTransferEndEvent, control.sink.events.back().id);
    EXPECT_TRUE(there.Exists("src/b.bin"));
}

TEST(UrlRelay, UrlWithoutPasswordRaises20105)
{
    FtpServer here;
    FtpServer there;
    there.WriteFile("b.bin", "b");
    HostedControl control;
    control.SetProperty(L"ServerName", here.Host().c_str());
    control.Must(L"Connect");
    control.sink.events.clear();
    const std::string message = "FTPサイトへ接続するためのユーザIDまたはパスワードがないか不正です";
    ExpectOwnError(control, control.Call(L"PutFile", {UrlOf(there, "/b.bin", "?uid=wyuser").c_str()}), 20105, message);
    ExpectOwnError(control, control.Call(L"PutFile", {UrlOf(there, "/b.bin", "").c_str()}), 20105, message);
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferStartEvent}), control.sink.Ids());
    EXPECT_FALSE(here.Exists("b.bin"));
}

}  // namespace
