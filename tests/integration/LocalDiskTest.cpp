// The registered control on the local disk (ConnectTarget 0): navigation, listings, copies, file operations, ftp URL downloads.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <cmath>

namespace {

constexpr double kOneSecond = 1.0 / 86400.0;

// A control on a drive of its own, with /data/sub, /data/a.txt and /src/s.bin.
struct LocalDisk : testing::Test {
    LocalDisk()
    {
        MakeDirectory(drive.PathOf("data"));
        MakeDirectory(drive.PathOf("data/sub"));
        MakeDirectory(drive.PathOf("src"));
        WriteBytes(drive.PathOf("data/a.txt"), PatternBytes(1234));
        WriteBytes(drive.PathOf("src/s.bin"), PatternBytes(10000, 2));
        control.SetProperty(L"ConnectTarget", 0);
        control.SetProperty(L"ServerName", drive.Root().c_str());
        control.Must(L"Connect");
    }
    std::string Current(long fullPath) const { return control.Must(L"GetCurrentDirectory", {fullPath}).AsText(); }

    ScratchDrive drive;
    HostedControl control;
};

TEST_F(LocalDisk, ConnectStartsAtTheDriveRoot)
{
    EXPECT_EQ((std::vector<DISPID>{kChangeCurrentDirectoryEvent, kConnectedEvent}), control.sink.Ids());
    EXPECT_EQ((std::vector<std::string>{"/"}), control.sink.DirectoryChanges());
    EXPECT_EQ("/", Current(0));
    EXPECT_EQ(drive.Root() + "/", Current(1));
    EXPECT_EQ(drive.Root() + "\\", WorkingDirectory());
}

TEST_F(LocalDisk, NavigationUpToTheTop)
{
    control.Must(L"SetCurrentDirectory", {"/data/sub"});
    EXPECT_EQ("/data/sub", Current(0));
    EXPECT_EQ(drive.Root() + "/data/sub", Current(1));
    control.Must(L"DirUp");
    EXPECT_EQ("/data", Current(0));
    control.Must(L"DirUp");
    EXPECT_EQ("/", Current(0));
    EXPECT_EQ((std::vector<std::string>{"/", "/data/sub", "/data", "/"}), control.sink.DirectoryChanges());
    ExpectOwnError(control, control.Call(L"DirUp"), 20201, "1番上のディレクトリ階層です");
    EXPECT_EQ("/", Current(0));
}

TEST_F(LocalDisk, ListingHoldsDotEntriesAndRealSizesAndTimes)
{
    Variant files = control.Must(L"GetFileList", {"/data"});
    const std::vector<ListedFile> listing = ReadListing(files.AsDispatch());
    ASSERT_EQ(4u, listing.size());
    for (const char* name : {".", "..", "sub"}) {
        const ListedFile* directory = FindListed(listing, name);
        ASSERT_NE(nullptr, directory) << name;
        EXPECT_EQ(0, directory->type) << name;
    }
    const ListedFile* file = FindListed(listing, "a.txt");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(1, file->type);
    EXPECT_EQ(1234, file->size);
    EXPECT_NEAR(LocalOleDate(LastWriteTimeOf(drive.PathOf("data/a.txt"))), file->lastWriteTime, kOneSecond);
    const ListedFile* sub = FindListed(listing, "sub");
    EXPECT_NEAR(LocalOleDate(LastWriteTimeOf(drive.PathOf("data/sub"))), sub->lastWriteTime, kOneSecond);

    // "." is the current directory.
    control.Must(L"SetCurrentDirectory", {"/data"});
    Variant here = control.Must(L"GetFileList", {"."});
    std::vector<std::string> names;
    for (const ListedFile& entry : ReadListing(here.AsDispatch()))
        names.push_back(entry.name);
    std::vector<std::string> expected;
    for (const ListedFile& entry : listing)
        expected.push_back(entry.name);
    EXPECT_EQ(expected, names);
}

TEST_F(LocalDisk, PutFileCopiesIntoTheCurrentDirectory)
{
    control.Must(L"SetCurrentDirectory", {"/data"});
    control.SetProperty(L"TransferByte", 4);
    control.sink.events.clear();
    const std::string source = drive.PathOf("src/s.bin");
    control.Must(L"PutFile", {source.c_str()});
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent, kTransferProgressEvent, kTransferProgressEvent,
                                   kTransferProgressEvent, kTransferEndEvent}),
              control.sink.Ids());
    EXPECT_EQ(source, control.sink.events.at(0).args.at(0).AsText());
    EXPECT_EQ((std::vector<long>{4096, 8192, 10000}), control.sink.Progress());
    EXPECT_TRUE(PatternBytes(10000, 2) == ReadBytes(drive.PathOf("data/s.bin")));
}

TEST_F(LocalDisk, RenameRemoveAndDirectories)
{
    control.Must(L"RenameFile", {"/data/a.txt", "/data/b.txt"});
    EXPECT_FALSE(PathExists(drive.PathOf("data/a.txt")));
    EXPECT_TRUE(PatternBytes(1234) == ReadBytes(drive.PathOf("data/b.txt")));
    control.Must(L"RemoveFile", {"/data/b.txt"});
    EXPECT_FALSE(PathExists(drive.PathOf("data/b.txt")));

    control.Must(L"CreateDirectory", {"/made"});
    EXPECT_TRUE(PathExists(drive.PathOf("made")));
    control.Must(L"RemoveDirectory", {"/made"});
    EXPECT_FALSE(PathExists(drive.PathOf("made")));

    // The current directory: removing it leaves its parent current.
    control.Must(L"SetCurrentDirectory", {"/data/sub"});
    control.Must(L"RemoveDirectory", {"/data/sub"});
    EXPECT_FALSE(PathExists(drive.PathOf("data/sub")));
    EXPECT_EQ("/data", Current(0));
}

TEST_F(LocalDisk, FailuresAreFileErrorsWithTheSystemNumber)
{
    CallResult result = control.Call(L"RemoveFile", {"/missing.txt"});
    ExpectRaised(control, result, kFileErrorStatus, ERROR_FILE_NOT_FOUND);
    const std::string systemText = SystemErrorText(ERROR_FILE_NOT_FOUND);
    if (!systemText.empty())
        EXPECT_EQ(systemText, control.LastMessage());
    else
        EXPECT_NE("", control.LastMessage());

    // A runtime library failure (the directory exists) carries its number too.
    CallResult again = control.Call(L"CreateDirectory", {"/data"});
    ExpectRaised(control, again, kFileErrorStatus);
    EXPECT_NE(0, control.LastError());
    EXPECT_NE("", control.LastMessage());
    EXPECT_EQ(-1, control.Must(L"GetFileSize", {"/missing.txt"}).AsLong());
}

TEST_F(LocalDisk, PutFileWithAnFtpUrlDownloadsIntoTheCurrentDirectory)
{
    FtpServer server;
    server.MakeDirectory("pub");
    server.WriteFile("pub/u.bin", PatternBytes(9000, 7));
    control.Must(L"SetCurrentDirectory", {"/data"});
    control.SetProperty(L"TransferByte", 4);
    control.sink.events.clear();
    const std::string url = "ftp://" + server.Host() + "/pub/u.bin?uid=" + FtpServer::kUser + "&pw=" +
                            FtpServer::kPassword;
    control.Must(L"PutFile", {url.c_str()});
    EXPECT_TRUE(PatternBytes(9000, 7) == ReadBytes(drive.PathOf("data/u.bin")));
    EXPECT_EQ((std::vector<long>{4096, 8192, 9000}), control.sink.Progress());
    EXPECT_EQ(url, control.sink.events.at(0).args.at(0).AsText());
    EXPECT_EQ(kTransferEndEvent, control.sink.events.back().id);

    ExpectOwnError(control, control.Call(L"PutFile", {("ftp://" + server.Host() + "/pub/u.bin?uid=x").c_str()}),
                   20105, "FTPサイトへ接続するためのユーザIDまたはパスワードがないか不正です");
}

TEST_F(LocalDisk, DisConnectFromAHandlerWaitsForTheStoresOperation)
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
    EXPECT_EQ("/", Current(0));
}

TEST_F(LocalDisk, ConnectArgumentsCountOnlyAllTogether)
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

}  // namespace
