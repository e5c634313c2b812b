// The registered control on an FTP or an SFTP server: logins, navigation, listings, file operations, transfers, relays, aborts.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <wininet.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

const std::string kLogin = std::string("?uid=") + FtpServer::kUser + "&pw=" + FtpServer::kPassword;
// The fixture's second user, whose password holds "\", "?", "&" and "=".
const std::string kOddLogin = "?uid=wyodd&pw=a\\b?c&d=e";
const char* const kAborted = "ファイルの転送が中断されました";
const char* const kNoLogin = "FTPサイトへ接続するためのユーザIDまたはパスワードがないか不正です";

std::string UrlOf(const FtpServer& server, const std::string& path, const std::string& query)
{
    return AddressOf(server) + path + query;
}

// A control connected to a fresh server of kind at "/" with chunks of
// 4 KiB, and a drive for local files.
struct StoreFixture {
    explicit StoreFixture(const RemoteKind& kind) : kind(kind), server(kind.server)
    {
        PointAt(control, server);
        control.SetProperty(L"TransferByte", 4);
        control.Must(L"Connect");
        control.sink.events.clear();
    }
    // A local file of size pattern bytes; its path.
    std::string LocalFile(const std::string& name, size_t size, unsigned seed = 1) const
    {
        WriteBytes(local.PathOf(name), PatternBytes(size, seed));
        return local.PathOf(name);
    }
    std::string Current() const { return control.Must(L"GetCurrentDirectory", {0}).AsText(); }
    void ExpectServerRefusal(const CallResult& result) const
    {
        ExpectRaised(control, result, kInternetErrorStatus, ERROR_INTERNET_EXTENDED_ERROR);
        EXPECT_NE("", control.LastMessage());
        EXPECT_EQ(0u, control.LastMessage().rfind(kind.refusal, 0)) << control.LastMessage();
    }

    const RemoteKind& kind;
    ScratchDrive local;
    FtpServer server;
    HostedControl control;
};

struct RemoteStore : StoreFixture, testing::TestWithParam<RemoteKind> {
    RemoteStore() : StoreFixture(GetParam()) {}
};

struct FtpStore : StoreFixture, testing::Test {
    FtpStore() : StoreFixture(kRemoteKinds[0]) {}
};

TEST(FtpConnect, ConnectsAsTheHostSaysAndRefusesWhatCannotBe)
{
    FtpServer server;
    server.MakeDirectory("pub");
    HostedControl control;
    // The control really is the registered module, loaded into this process.
    EXPECT_NE(nullptr, GetModuleHandleW(L"WyFTP.ocx"));
    ExpectOwnError(control, control.Call(L"Connect"), 20103, "接続するサーバー名が設定されていません");
    // A failed Connect leaves its store behind until the host disconnects.
    ExpectOwnError(control, control.Call(L"Connect"), 20100, "コネクションオブジェクトはすでに存在しています");
    control.Must(L"DisConnect");

    // An empty user name logs in anonymously with an address-shaped password.
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"ConnectDirectory", "/pub");
    control.sink.events.clear();
    control.Must(L"Connect");
    EXPECT_EQ("anonymous", control.Property(L"UserName").AsText());
    EXPECT_NE(std::string::npos, control.Property(L"Password").AsText().find('@'));
    EXPECT_EQ((std::vector<DISPID>{kChangeCurrentDirectoryEvent, kConnectedEvent}), control.sink.Ids());
    EXPECT_EQ((std::vector<std::string>{"/pub"}), control.sink.DirectoryChanges());
    control.Must(L"DisConnect");
    EXPECT_EQ(kDisConnectedEvent, control.sink.events.back().id);

    // All three arguments win and are written back; a Null one leaves all
    // three to the properties.
    control.SetProperty(L"ConnectDirectory", "/");
    Variant null;
    null.Get()->vt = VT_NULL;
    control.Must(L"Connect", {"127.0.1.254", "nobody", null});
    EXPECT_EQ("anonymous", control.Property(L"UserName").AsText());
    control.Must(L"DisConnect");
    control.Must(L"Connect", {server.Host().c_str(), FtpServer::kUser, FtpServer::kPassword});
    EXPECT_EQ(FtpServer::kUser, control.Property(L"UserName").AsText());
    EXPECT_EQ(FtpServer::kPassword, control.Property(L"Password").AsText());
    control.Must(L"DisConnect");

    const struct {
        const char* server;
        const char* password;
        const char* directory;
        long error;
        bool loggedIn;  // the refusal came after the login
    } refusals[] = {
        {nullptr, "wrong", "/", ERROR_INTERNET_LOGIN_FAILURE, false},
        {nullptr, FtpServer::kPassword, "/missing", ERROR_INTERNET_EXTENDED_ERROR, true},
        // Outside the fixture's range of addresses: nothing listens there.
        {"127.0.1.254", FtpServer::kPassword, "/", ERROR_INTERNET_CANNOT_CONNECT, false},
    };
    for (const auto& refusal : refusals) {
        control.SetProperty(L"ServerName", refusal.server ? refusal.server : server.Host().c_str());
        control.SetProperty(L"UserName", FtpServer::kUser);
        control.SetProperty(L"Password", refusal.password);
        control.SetProperty(L"ConnectDirectory", refusal.directory);
        control.sink.events.clear();
        ExpectRaised(control, control.Call(L"Connect"), kInternetErrorStatus, refusal.error);
        EXPECT_NE("", control.LastMessage());
        EXPECT_FALSE(control.sink.Received(kConnectedEvent)) << refusal.error;
        // The store stays until the host disconnects, without a connection
        // unless the login went through.
        if (!refusal.loggedIn)
            ExpectOwnError(control, control.Call(L"GetFileList", {"/"}), 20101, "FTPサーバとの接続が存在しません");
        ExpectOwnError(control, control.Call(L"Connect"), 20100, "コネクションオブジェクトはすでに存在しています");
        control.Must(L"DisConnect");
    }
}

TEST_P(RemoteStore, NavigationFollowsTheServerWholeAndFiresEachChangeOnce)
{
    server.MakeDirectory("pub");
    server.MakeDirectory("pub/日本");
    control.Must(L"SetCurrentDirectory", {"/pub/日本"});
    EXPECT_EQ("/pub/日本", Current());
    EXPECT_EQ(AddressOf(server) + "/pub/日本", control.Must(L"GetCurrentDirectory", {1}).AsText());
    // The same directory again changes nothing and fires nothing.
    control.Must(L"SetCurrentDirectory", {"/pub/日本"});
    control.Must(L"DirUp");
    control.Must(L"DirUp");
    EXPECT_EQ((std::vector<std::string>{"/pub/日本", "/pub", "/"}), control.sink.DirectoryChanges());
    const size_t events = control.sink.events.size();
    ExpectOwnError(control, control.Call(L"DirUp"), 20201, "1番上のディレクトリ階層です");
    ExpectServerRefusal(control.Call(L"SetCurrentDirectory", {"/missing"}));
    EXPECT_EQ(events, control.sink.events.size());
    EXPECT_EQ("/", Current());

    // 5 x 200 bytes of names, past every fixed buffer of 255, 256 and 1,024
    // bytes, each ending in a trail byte 0x5C (made through the server: the
    // fixture's Windows paths stop at 260).
    std::string path;
    for (int level = 0; level < 5; ++level) {
        path += "/" + std::string(199, static_cast<char>('a' + level)) + "表";
        control.Must(L"CreateDirectory", {path.c_str()});
    }
    control.Must(L"SetCurrentDirectory", {path.c_str()});
    EXPECT_EQ(path, Current());
    EXPECT_EQ(AddressOf(server) + path, control.Must(L"GetCurrentDirectory", {1}).AsText());
    // Removing the working directory compares the whole of it.
    control.Must(L"RemoveDirectory", {path.c_str()});
    EXPECT_EQ(path.substr(0, path.rfind('/')), Current());
}

TEST_P(RemoteStore, RenamingAndRemovingTheCurrentDirectoryMoveTheControlWithIt)
{
    server.MakeDirectory("pub");
    server.MakeDirectory("pub/old");
    server.WriteFile("pub/old/a.txt", "a");
    control.Must(L"SetCurrentDirectory", {"/pub/old"});
    control.sink.events.clear();
    control.Must(L"RenameFile", {"/pub/old", "/pub/new"});
    EXPECT_EQ("/pub/new", Current());
    EXPECT_EQ((std::vector<std::string>{"/", "/pub/new"}), control.sink.DirectoryChanges());
    control.Must(L"RenameFile", {"/pub/new/a.txt", "/pub/new/b.txt"});
    EXPECT_EQ("a", server.ReadFile("pub/new/b.txt"));
    // Refused, the current directory stays where the views show it.
    ExpectServerRefusal(control.Call(L"RenameFile", {"/pub/new", "/missing/new"}));
    ExpectServerRefusal(control.Call(L"RemoveDirectory", {"/pub/new"}));
    EXPECT_EQ("/pub/new", Current());
    control.Must(L"RemoveFile", {"b.txt"});  // relative to the current directory
    control.sink.events.clear();
    control.Must(L"RemoveDirectory", {"/pub/new"});
    EXPECT_FALSE(server.Exists("pub/new"));
    EXPECT_EQ("/pub", Current());
    EXPECT_EQ((std::vector<std::string>{"/", "/pub"}), control.sink.DirectoryChanges());
}

TEST_P(RemoteStore, ListingsGiveTypeSizeAndTimeAndRefuseWhatHoldsNothing)
{
    server.MakeDirectory("pub");
    server.MakeDirectory("pub/sub");
    server.MakeDirectory("empty");
    server.WriteFile("pub/new.txt", std::string(1234, 'n'));
    server.WriteFile("pub/old.txt", std::string(70000, 'o'));
    server.WriteFile("pub/empty.txt", "");
    // More than half a year old: a LIST names the day and the year only.
    const HANDLE file = CreateFileA(server.PathOf("pub/old.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME oldTime = {2020, 3, 0, 4, 10, 20, 30, 0};
    FILETIME oldUtc;
    SystemTimeToFileTime(&oldTime, &oldUtc);
    SetFileTime(file, nullptr, nullptr, &oldUtc);
    CloseHandle(file);

    const std::vector<ListedFile> listing = ReadListing(control.Must(L"GetFileList", {"/pub"}).AsDispatch());
    ASSERT_EQ(4u, listing.size());
    const struct {
        const char* name;
        long type;
        long size;
    } expected[] = {{"new.txt", 1, 1234}, {"old.txt", 1, 70000}, {"empty.txt", 1, 0}, {"sub", 0, 0}};
    for (const auto& entry : expected) {
        const ListedFile* listed = FindListed(listing, entry.name);
        ASSERT_NE(nullptr, listed) << entry.name;
        EXPECT_EQ(entry.type, listed->type) << entry.name;
        EXPECT_EQ(entry.size, listed->size) << entry.name;
    }
    // The server gives exact UTC times (MLSD, SFTP attributes); shown in local time.
    const DATE real = LocalOleDate(LastWriteTimeOf(server.PathOf("pub/new.txt")));
    EXPECT_LT(std::fabs(FindListed(listing, "new.txt")->lastWriteTime - real), 1.0 / 86400);
    EXPECT_LT(std::fabs(FindListed(listing, "old.txt")->lastWriteTime - LocalOleDate(oldUtc)), 1.0 / 86400);

    for (const char* directory : {"/empty", "/missing"})
        ExpectOwnError(control, control.Call(L"GetFileList", {directory}), 20200, "指定ディレクトリにファイルは存在しません");
    ExpectOwnError(control, control.Call(L"GetFileList", {""}), 20001, "メソッドの実行に必要なファイル名がありません");
}

TEST_P(RemoteStore, FileOperationsReportTheServersReplyAndNeverSendASecondCommand)
{
    server.WriteFile("a.bin", std::string(70000, 'x'));
    server.WriteFile("b.txt", "b");
    EXPECT_EQ(70000, control.Must(L"GetFileSize", {"/a.bin"}).AsLong());
    // A missing file answers -1 without an error.
    const CallResult missing = control.Call(L"GetFileSize", {"/missing.bin"});
    EXPECT_EQ(S_OK, missing.hr);
    EXPECT_EQ(-1, missing.value.AsLong());
    EXPECT_EQ(0, control.LastError());

    control.Must(L"CreateDirectory", {"/new"});
    EXPECT_TRUE(server.Exists("new"));
    ExpectServerRefusal(control.Call(L"CreateDirectory", {"/new"}));
    control.Must(L"RemoveFile", {"/b.txt"});
    ExpectServerRefusal(control.Call(L"RemoveFile", {"/b.txt"}));
    // A success afterwards leaves the last error as it was.
    const std::string reply = control.LastMessage();
    control.Must(L"CreateDirectory", {"/d"});
    EXPECT_EQ(ERROR_INTERNET_EXTENDED_ERROR, control.LastError());
    EXPECT_EQ(reply, control.LastMessage());

    // A line break in a name could smuggle in a command of its own.
    ExpectRaised(control, control.Call(L"RemoveFile", {"/a.bin\r\nDELE /new"}), kInternetErrorStatus,
                 ERROR_INVALID_NAME);
    ExpectRaised(control, control.Call(L"RenameFile", {"/a.bin", "/c.txt\nRMD /new"}), kInternetErrorStatus,
                 ERROR_INVALID_NAME);
    EXPECT_TRUE(server.Exists("a.bin") && server.Exists("new"));
    control.Must(L"RemoveDirectory", {"/new"});  // still in step
    EXPECT_FALSE(server.Exists("new"));
}

TEST_P(RemoteStore, TransfersMoveWholeFilesInChunksWithTheirEvents)
{
    server.MakeDirectory("pub");
    const struct {
        const char* name;
        size_t size;
        std::vector<long> progress;
    } files[] = {
        {"a.bin", 10000, {4096, 8192, 10000}},
        {"b.bin", 8192, {4096, 8192}},
        {"zero.bin", 0, {}},
        {"表.txt", 5000, {4096, 5000}},  // trail byte 0x5C
        {"ソフト.txt", 6000, {4096, 6000}},
    };
    control.Must(L"SetCurrentDirectory", {"/pub"});
    for (const auto& file : files) {
        // Up from a path with backslashes into the current directory...
        control.sink.events.clear();
        const std::string path = LocalFile(file.name, file.size, static_cast<unsigned>(file.size));
        control.Must(L"PutFile", {path.c_str()});
        std::vector<DISPID> ids = {kTransferStartEvent};
        ids.insert(ids.end(), file.progress.size(), kTransferProgressEvent);
        ids.push_back(kTransferEndEvent);
        EXPECT_EQ(ids, control.sink.Ids()) << file.name;
        EXPECT_EQ(path, control.sink.events.at(0).args.at(0).AsText()) << file.name;
        EXPECT_EQ(file.progress, control.sink.Progress()) << file.name;
        EXPECT_TRUE(PatternBytes(file.size, static_cast<unsigned>(file.size)) == server.ReadFile(std::string("pub/") + file.name))
            << file.name;
    }
    // ...and down again, selected in the list, into a directory given with forward slashes.
    MakeDirectory(local.PathOf("back"));
    for (const auto& file : files)
        control.Must(L"SelectFile", {file.name});
    control.sink.events.clear();
    control.Must(L"GetFile", {(local.Root() + "/back").c_str()});
    const std::vector<DISPID> ids = control.sink.Ids();
    EXPECT_EQ(5, std::count(ids.begin(), ids.end(), kTransferEndEvent));
    for (const auto& file : files) {
        EXPECT_TRUE(PatternBytes(file.size, static_cast<unsigned>(file.size)) == ReadBytes(local.PathOf(std::string("back/") + file.name)))
            << file.name;
    }
}

TEST_P(RemoteStore, WhatIsNoFileOrIsNotThereMovesNothing)
{
    server.MakeDirectory("dir");
    server.WriteFile("gone.txt", "g");
    control.Must(L"Refresh");
    // A directory: neither down nor up.
    control.Must(L"SelectFile", {"dir"});
    ExpectOwnError(control, control.Call(L"GetFile", {local.Root().c_str()}), 20203,
                   "ディレクトリ単位の転送はできません");
    control.Must(L"ClearSelectedFile", {""});
    MakeDirectory(local.PathOf("folder"));
    ExpectOwnError(control, control.Call(L"PutFile", {local.PathOf("folder").c_str()}), 20203,
                   "ディレクトリ単位の転送はできません");
    EXPECT_FALSE(server.Exists("folder"));
    EXPECT_EQ((std::vector<std::string>{"folder"}), NamesIn(local.UnixView()));

    // A file gone from the server since it was listed: the local file of
    // that name is not touched.
    WriteBytes(local.PathOf("gone.txt"), "keep me");
    control.Must(L"SelectFile", {"gone.txt"});
    DeleteFileA(server.PathOf("gone.txt").c_str());
    ExpectServerRefusal(control.Call(L"GetFile", {local.Root().c_str()}));
    EXPECT_EQ("keep me", ReadBytes(local.PathOf("gone.txt")));

    // A local file that is not there.
    control.sink.events.clear();
    ExpectRaised(control, control.Call(L"PutFile", {"Z:\\no\\such\\file.txt"}), kFileErrorStatus);
    const long code = control.LastError();
    EXPECT_TRUE(code == ERROR_PATH_NOT_FOUND || code == ERROR_FILE_NOT_FOUND) << code;
    const std::string systemText = SystemErrorText(static_cast<DWORD>(code));
    EXPECT_EQ(systemText.empty() ? control.LastMessage() : systemText, control.LastMessage());
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent}), control.sink.Ids());
    EXPECT_EQ("/", Current());
}

TEST_P(RemoteStore, AnAbortEndsTheTransferBeforeItsNextChunkAndLeavesNothingBehind)
{
    FtpServer other;
    server.WriteFile("down.bin", PatternBytes(100000));
    control.Must(L"Refresh");
    control.Must(L"AbortTransfer");  // while idle: no lasting effect
    const std::string up = LocalFile("up.bin", 100000);
    CallResult abort;
    control.sink.onProgress = [&](long bytes) {
        if (bytes == 4096)
            abort = control.Call(L"AbortTransfer");
    };
    const struct {
        const char* what;
        std::function<CallResult()> transfer;
        std::function<bool()> leftBehind;
    } transfers[] = {
        {"upload", [&] { return control.Call(L"PutFile", {up.c_str()}); }, [&] { return server.Exists("up.bin"); }},
        {"download",
         [&] {
             control.Must(L"SelectFile", {"down.bin"});
             return control.Call(L"GetFile", {local.Root().c_str()});
         },
         [&] { return PathExists(local.PathOf("down.bin")); }},
        {"relay",
         [&] {
             control.Must(L"SelectFile", {"down.bin"});
             return control.Call(L"GetFile", {UrlOf(other, "/", kLogin).c_str()});
         },
         [&] { return other.Exists("down.bin"); }},
    };
    for (const auto& transfer : transfers) {
        control.sink.events.clear();
        abort = {};
        ExpectOwnError(control, transfer.transfer(), 20202, kAborted);
        EXPECT_EQ(S_OK, abort.hr) << transfer.what;
        // The loop stopped before its next chunk; no TransferEnd.
        EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferProgressEvent}), control.sink.Ids())
            << transfer.what;
        EXPECT_FALSE(transfer.leftBehind()) << transfer.what;
        control.Must(L"ClearSelectedFile", {""});
    }
    // The abort is over: the next transfer runs to its end.
    control.sink.onProgress = nullptr;
    control.Must(L"PutFile", {up.c_str()});
    EXPECT_TRUE(PatternBytes(100000) == server.ReadFile("up.bin"));
}

TEST_F(FtpStore, RelaysGoThroughFtpUrlsWhateverTheirLoginHolds)
{
    FtpServer other;
    other.MakeDirectory("src");
    other.MakeDirectory("in");
    other.MakeDirectory("in/odd");
    other.WriteFile("src/b.bin", PatternBytes(12345, 4));
    server.MakeDirectory("up");
    server.WriteFile("a.bin", PatternBytes(10000, 3));
    control.Must(L"SetCurrentDirectory", {"/up"});
    control.sink.events.clear();

    // From the other server into the current directory: the URL as the
    // host gave it in TransferStart, progress in chunks.
    const std::string from = UrlOf(other, "/src/b.bin", kLogin);
    control.Must(L"PutFile", {from.c_str()});
    EXPECT_TRUE(PatternBytes(12345, 4) == server.ReadFile("up/b.bin"));
    EXPECT_EQ(from, control.sink.events.at(0).args.at(0).AsText());
    EXPECT_EQ((std::vector<long>{4096, 8192, 12288, 12345}), control.sink.Progress());
    // Anonymous (empty user and password) and a password of "\?&=" whose
    // backslashes stay while the address's become separators.
    for (const std::string& url : {UrlOf(other, "/src/b.bin", "?uid=&pw="), UrlOf(other, "\\src\\b.bin", kOddLogin)}) {
        DeleteFileA(server.PathOf("up/b.bin").c_str());
        control.Must(L"PutFile", {url.c_str()});
        EXPECT_TRUE(PatternBytes(12345, 4) == server.ReadFile("up/b.bin")) << url;
    }
    // To the other server, as the destination of GetFile.
    control.Must(L"SetCurrentDirectory", {"/"});
    for (const auto& [url, path] : {std::pair{UrlOf(other, "/in/", kLogin), "in/a.bin"},
                                    std::pair{UrlOf(other, "\\in\\odd", kOddLogin), "in/odd/a.bin"}}) {
        control.Must(L"SelectFile", {"a.bin"});
        control.Must(L"GetFile", {url.c_str()});
        EXPECT_TRUE(PatternBytes(10000, 3) == other.ReadFile(path)) << url;
    }
    // Without a password, or with a wrong one.
    for (const std::string& url : {UrlOf(other, "/src/b.bin", "?uid=wyuser"), UrlOf(other, "/src/b.bin", "")})
        ExpectOwnError(control, control.Call(L"PutFile", {url.c_str()}), 20105, kNoLogin);
    control.Must(L"SelectFile", {"a.bin"});
    ExpectOwnError(control, control.Call(L"GetFile", {UrlOf(other, "/in", "?uid=wyuser").c_str()}), 20105, kNoLogin);
    ExpectRaised(control, control.Call(L"PutFile", {UrlOf(other, "/src/b.bin", "?uid=wyuser&pw=wrong").c_str()}),
                 kInternetErrorStatus, ERROR_INTERNET_LOGIN_FAILURE);
    EXPECT_TRUE(other.Exists("src/b.bin"));
}

// What a call made from the TransferProgress handler gave back.
struct BusyCall {
    std::wstring method;
    CallResult result;
};

TEST_P(RemoteStore, EveryOtherCallDuringATransferGivesItsBusyResult)
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
    for (const char* name : {"other.bin", "made", "renamed.txt"})
        EXPECT_FALSE(server.Exists(name)) << name;
    EXPECT_TRUE(server.Exists("keep") && server.Exists("keep.txt"));
    EXPECT_FALSE(PathExists(local.PathOf("keep.txt")));
    EXPECT_EQ("/", Current());
    // Outside the transfer the earlier error is shown again.
    EXPECT_EQ(20201, control.LastError());
    EXPECT_EQ("WyFTPエラー：1番上のディレクトリ階層です", control.LastMessage());
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, RemoteStore, testing::ValuesIn(kRemoteKinds), RemoteKindName);

}  // namespace
