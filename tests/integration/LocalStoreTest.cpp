// The registered control on the local disk (ConnectTarget 0): drives, navigation, listings, copies, file operations, ftp URL downloads.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <algorithm>

namespace {

constexpr double kOneSecond = 1.0 / 86400.0;

// A control on a drive of its own holding /data/sub, /data/a.txt and
// /src/s.bin, chunks of 4 KiB.
struct LocalStore : testing::Test {
    LocalStore()
    {
        MakeDirectory(drive.PathOf("data"));
        MakeDirectory(drive.PathOf("data/sub"));
        MakeDirectory(drive.PathOf("src"));
        WriteBytes(drive.PathOf("data/a.txt"), PatternBytes(1234));
        WriteBytes(drive.PathOf("src/s.bin"), PatternBytes(10000, 2));
        control.SetProperty(L"ConnectTarget", 0);
        control.SetProperty(L"ServerName", drive.Root().c_str());
        control.SetProperty(L"TransferByte", 4);
        control.Must(L"Connect");
    }
    std::string Current(long fullPath = 0) const
    {
        return control.Must(L"GetCurrentDirectory", {fullPath}).AsText();
    }
    void Reconnect(const std::string& server, const std::string& directory)
    {
        control.Must(L"DisConnect");
        control.SetProperty(L"ServerName", server.c_str());
        control.SetProperty(L"ConnectDirectory", directory.c_str());
        control.sink.events.clear();
        control.Must(L"Connect");
    }

    ScratchDrive drive;
    HostedControl control;
};

TEST_F(LocalStore, ConnectTakesTheDriveAndTheStartDirectoryItIsGiven)
{
    EXPECT_EQ((std::vector<DISPID>{kChangeCurrentDirectoryEvent, kConnectedEvent}), control.sink.Ids());
    EXPECT_EQ((std::vector<std::string>{"/"}), control.sink.DirectoryChanges());
    EXPECT_EQ("/", Current());
    EXPECT_EQ(drive.Root() + "/", Current(1));
    EXPECT_EQ(drive.Root() + "\\", WorkingDirectory());

    // An empty server name is drive C:; coming back to "/" of another drive
    // changes the drive.
    Reconnect("", "/");
    EXPECT_EQ("C:/", Current(1));
    Reconnect(drive.Root(), "/");
    EXPECT_EQ(drive.Root() + "\\", WorkingDirectory());
    // A start directory given with its drive.
    Reconnect(drive.Root(), drive.Root() + "/data/sub");
    EXPECT_EQ((std::vector<std::string>{"/data/sub"}), control.sink.DirectoryChanges());
    control.Must(L"DirUp");
    EXPECT_EQ("/data", Current());
    EXPECT_EQ(drive.Root() + "\\data", WorkingDirectory());
    control.Must(L"DirUp");
    ExpectOwnError(control, control.Call(L"DirUp"), 20201, "1番上のディレクトリ階層です");
    EXPECT_EQ("/", Current());
}

TEST_F(LocalStore, ConnectArgumentsCountOnlyAllTogether)
{
    ScratchDrive other;
    control.Must(L"DisConnect");
    // An Empty password is given (as the empty string): the three arguments win.
    control.Must(L"Connect", {other.Root().c_str(), "user", Variant()});
    EXPECT_EQ(other.Root() + "/", Current(1));
    EXPECT_EQ(other.Root(), control.Property(L"ServerName").AsText());
    control.Must(L"DisConnect");
    // A Null or omitted one: all three come from the properties.
    Variant null;
    null.Get()->vt = VT_NULL;
    control.Must(L"Connect", {drive.Root().c_str(), "user", null});
    EXPECT_EQ(other.Root() + "/", Current(1));
    control.Must(L"DisConnect");
    control.SetProperty(L"ServerName", drive.Root().c_str());
    control.Must(L"Connect", {other.Root().c_str()});
    EXPECT_EQ(drive.Root() + "/", Current(1));
}

TEST_F(LocalStore, StorePathsLieOnTheStoresDriveWhateverTheCurrentDrive)
{
    SetCurrentDirectoryA("C:\\");
    EXPECT_EQ(1234, control.Must(L"GetFileSize", {"/data/a.txt"}).AsLong());
    EXPECT_EQ(-1, control.Must(L"GetFileSize", {"/data/missing.txt"}).AsLong());
    control.Must(L"CreateDirectory", {"/new"});
    EXPECT_TRUE(PathExists(drive.UnixView() + "\\new"));
    const std::vector<ListedFile> listing = ReadListing(control.Must(L"GetFileList", {"/data"}).AsDispatch());
    ASSERT_EQ(4u, listing.size());
    for (const char* name : {".", "..", "sub"}) {
        ASSERT_NE(nullptr, FindListed(listing, name)) << name;
        EXPECT_EQ(0, FindListed(listing, name)->type) << name;
    }
    const ListedFile* file = FindListed(listing, "a.txt");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(1, file->type);
    EXPECT_EQ(1234, file->size);
    EXPECT_NEAR(LocalOleDate(LastWriteTimeOf(drive.PathOf("data/a.txt"))), file->lastWriteTime, kOneSecond);
    EXPECT_NEAR(LocalOleDate(LastWriteTimeOf(drive.PathOf("data/sub"))), FindListed(listing, "sub")->lastWriteTime,
                kOneSecond);
    // "." is the current directory.
    control.Must(L"SetCurrentDirectory", {"/data"});
    EXPECT_EQ(4u, ReadListing(control.Must(L"GetFileList", {"."}).AsDispatch()).size());
    ExpectOwnError(control, control.Call(L"GetFileList", {"/missing"}), 20200, "指定ディレクトリにファイルは存在しません");
}

TEST_F(LocalStore, CopiesGoInChunksAndNeverOntoTheirSource)
{
    control.Must(L"SetCurrentDirectory", {"/data"});
    control.sink.events.clear();
    const std::string source = drive.PathOf("src/s.bin");
    control.Must(L"PutFile", {source.c_str()});
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferProgressEvent, kTransferProgressEvent,
                                   kTransferProgressEvent, kTransferEndEvent}),
              control.sink.Ids());
    EXPECT_EQ(source, control.sink.events.at(0).args.at(0).AsText());
    EXPECT_EQ((std::vector<long>{4096, 8192, 10000}), control.sink.Progress());
    EXPECT_TRUE(PatternBytes(10000, 2) == ReadBytes(drive.PathOf("data/s.bin")));

    // The selection down to another directory, a Japanese name (trail byte
    // 0x5C) into a directory written with a backslash.
    const std::string hyou = "表.txt";
    WriteBytes(drive.PathOf("data/" + hyou), "hyou");
    MakeDirectory(drive.PathOf("ソフト"));
    control.Must(L"Refresh");
    control.Must(L"SelectFile", {hyou.c_str()});
    control.Must(L"GetFile", {(drive.Root() + "/ソフト\\").c_str()});
    EXPECT_EQ("hyou", ReadBytes(drive.PathOf("ソフト/" + hyou)));

    // Onto itself: the source is shared for reading only, so the copy fails
    // to create its destination instead of truncating the source.
    ExpectRaised(control, control.Call(L"PutFile", {drive.PathOf("data/s.bin").c_str()}), kFileErrorStatus,
                 ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(PatternBytes(10000, 2) == ReadBytes(drive.PathOf("data/s.bin")));

    // An abort deletes the destination.
    control.sink.onProgress = [&](long) { control.Call(L"AbortTransfer"); };
    ExpectOwnError(control, control.Call(L"PutFile", {source.c_str()}), 20202, "ファイルの転送が中断されました");
    // (The earlier copy of s.bin in /data was deleted with the partial one.)
    EXPECT_FALSE(PathExists(drive.PathOf("data/s.bin")));
    EXPECT_TRUE(PatternBytes(10000, 2) == ReadBytes(source));
}

TEST_F(LocalStore, PutFileWithAnFtpUrlDownloadsIntoTheCurrentDirectory)
{
    FtpServer server;
    server.MakeDirectory("pub");
    server.WriteFile("pub/u.bin", PatternBytes(9000, 7));
    control.Must(L"SetCurrentDirectory", {"/data"});
    control.sink.events.clear();
    SetCurrentDirectoryA("C:\\");
    const std::string url = "ftp://" + server.Host() + "/pub/u.bin?uid=" + FtpServer::kUser + "&pw=" + FtpServer::kPassword;
    control.Must(L"PutFile", {url.c_str()});
    EXPECT_TRUE(PatternBytes(9000, 7) == ReadBytes(drive.PathOf("data/u.bin")));
    EXPECT_EQ((std::vector<long>{4096, 8192, 9000}), control.sink.Progress());
    EXPECT_EQ(url, control.sink.events.at(0).args.at(0).AsText());
    EXPECT_EQ(kTransferEndEvent, control.sink.events.back().id);

    ExpectOwnError(control, control.Call(L"PutFile", {("ftp://" + server.Host() + "/pub/u.bin?uid=x").c_str()}),
                   20105, "FTPサイトへ接続するためのユーザIDまたはパスワードがないか不正です");
    ExpectRaised(control, control.Call(L"PutFile", {("ftp://" + server.Host() + "/pub/none.bin?uid=&pw=").c_str()}),
                 kInternetErrorStatus, 12003);
    EXPECT_FALSE(PathExists(drive.PathOf("data/none.bin")));
}

TEST_F(LocalStore, RenamingAndRemovingTheCurrentDirectoryMoveTheControlWithIt)
{
    control.Must(L"RenameFile", {"/data/a.txt", "/data/b.txt"});
    EXPECT_TRUE(PatternBytes(1234) == ReadBytes(drive.PathOf("data/b.txt")));
    control.Must(L"RemoveFile", {"/data/b.txt"});
    EXPECT_FALSE(PathExists(drive.PathOf("data/b.txt")));

    // 257 characters with the drive: past a 255-byte buffer, within the
    // platform's limit for a working directory.
    const std::string parent = "/data/sub/" + std::string(122, 'k');
    const std::string path = parent + "/" + std::string(122, 'l');
    MakeDirectory(drive.PathOf(parent.substr(1)));
    MakeDirectory(drive.PathOf(path.substr(1)));
    control.Must(L"SetCurrentDirectory", {path.c_str()});
    std::string expected = drive.Root() + path;
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(expected, WorkingDirectory());
    // Refused (not empty, nowhere to go), the current directory stays
    // where the views show it.
    WriteBytes(drive.PathOf(path.substr(1) + "/f"), "f");
    ExpectRaised(control, control.Call(L"RemoveDirectory", {path.c_str()}), kFileErrorStatus);
    ExpectRaised(control, control.Call(L"RenameFile", {path.c_str(), "/missing/x"}), kFileErrorStatus);
    EXPECT_EQ(path, Current());
    EXPECT_EQ(expected, WorkingDirectory());
    control.Must(L"RemoveFile", {(path + "/f").c_str()});
    // Past the 255-byte buffer it is still known as the working directory.
    const std::string renamed = parent + "/short";
    control.Must(L"RenameFile", {path.c_str(), renamed.c_str()});
    EXPECT_EQ(renamed, Current());
    control.Must(L"RemoveDirectory", {renamed.c_str()});
    EXPECT_FALSE(PathExists(drive.PathOf(renamed.substr(1))));
    EXPECT_EQ(parent, Current());
}

TEST_F(LocalStore, FailuresAreFileErrorsWithTheSystemNumber)
{
    ExpectRaised(control, control.Call(L"RemoveFile", {"/missing.txt"}), kFileErrorStatus, ERROR_FILE_NOT_FOUND);
    const std::string systemText = SystemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(systemText.empty() ? control.LastMessage() : systemText, control.LastMessage());
    EXPECT_NE("", control.LastMessage());
    for (const auto& call : std::vector<std::pair<const wchar_t*, std::vector<Variant>>>{
             {L"CreateDirectory", {"/data"}},  // a runtime library failure: it exists
             {L"RenameFile", {"/data/missing", "/data/other"}},
             {L"RemoveDirectory", {"/data/missing"}}}) {
        ExpectRaised(control, control.Call(call.first, call.second), kFileErrorStatus);
        EXPECT_NE(0, control.LastError());
        EXPECT_NE("", control.LastMessage());
    }
}

TEST_F(LocalStore, DisConnectFromAHandlerWaitsForTheStoresOperation)
{
    // The host disconnects from inside ChangeCurrentDirectory, which the
    // store fires in the middle of its own work.
    control.Must(L"DisConnect");
    bool armed = true;
    CallResult fromHandler;
    control.sink.onEvent = [&](DISPID id) {
        if (armed && id == kChangeCurrentDirectoryEvent) {
            armed = false;
            fromHandler = control.Call(L"DisConnect");
        }
    };
    control.sink.events.clear();
    control.Must(L"Connect");
    EXPECT_EQ(S_OK, fromHandler.hr);
    EXPECT_EQ((std::vector<DISPID>{kChangeCurrentDirectoryEvent, kDisConnectedEvent}), control.sink.Ids());
    ExpectOwnError(control, control.Call(L"DirUp"), 20104, "必要なコネクションオブジェクトが存在しません");

    // Renaming the current directory moves to "/" and back (two events).
    control.Must(L"Connect");
    control.Must(L"SetCurrentDirectory", {"/data"});
    control.sink.events.clear();
    armed = true;
    control.Must(L"RenameFile", {"/data", "/renamed"});
    EXPECT_TRUE(PathExists(drive.PathOf("renamed/a.txt")));
    EXPECT_EQ(kDisConnectedEvent, control.sink.events.back().id);
    ExpectOwnError(control, control.Call(L"DirUp"), 20104, "必要なコネクションオブジェクトが存在しません");
    control.Must(L"Connect");
    EXPECT_EQ("/", Current());
}

}  // namespace
