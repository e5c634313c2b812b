// The registered control against a real FTP server: logins, navigation, listings, file operations and their errors.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"

#include <wininet.h>

#include <cmath>

namespace {

// Half a second as an OLE date, for comparing times that went through
// conversions without milliseconds.
constexpr double kHalfSecond = 0.5 / 86400.0;
constexpr double kMinute = 60.0 / 86400.0;

// A control connected anonymously to a fresh server at "/".
struct ConnectedControl {
    explicit ConnectedControl(const char* kind = "normal") : server(kind)
    {
        control.SetProperty(L"ServerName", server.Host().c_str());
        control.Must(L"Connect");
        control.sink.events.clear();
    }
    FtpServer server;
    HostedControl control;
};

TEST(FtpLogin, AnonymousWhenUserNameIsEmpty)
{
    FtpServer server;
    HostedControl control;
    // The control really is the registered module, loaded into this process.
    EXPECT_NE(nullptr, GetModuleHandleW(L"WyFTP.ocx"));
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"UserName", "");
    control.SetProperty(L"Password", "");
    control.Must(L"Connect");
    EXPECT_EQ("anonymous", control.Property(L"UserName").AsText());
    // The default password is shaped like an e-mail address.
    EXPECT_NE(std::string::npos, control.Property(L"Password").AsText().find('@'));
    EXPECT_EQ(server.Host(), control.Property(L"ServerName").AsText());
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ((std::vector<DISPID>{kChangeCurrentDirectoryEvent, kConnectedEvent}), control.sink.Ids());
    ExpectOwnError(control, control.Call(L"Connect"), 20100, "コネクションオブジェクトはすでに存在しています");
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
    control.Must(L"DisConnect");
    EXPECT_EQ(kDisConnectedEvent, control.sink.events.back().id);
}

TEST(FtpLogin, UserAccountFromTheArgumentsIsWrittenBack)
{
    FtpServer server;
    HostedControl control;
    control.Must(L"Connect", {server.Host().c_str(), FtpServer::kUser, FtpServer::kPassword});
    EXPECT_EQ(server.Host(), control.Property(L"ServerName").AsText());
    EXPECT_EQ(FtpServer::kUser, control.Property(L"UserName").AsText());
    EXPECT_EQ(FtpServer::kPassword, control.Property(L"Password").AsText());
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
}

TEST(FtpLogin, EmptyServerNameThenConnectAgainOnTheSameObject)
{
    HostedControl control;
    ASSERT_EQ("", control.Property(L"ServerName").AsText());
    ExpectOwnError(control, control.Call(L"Connect"), 20103, "接続するサーバー名が設定されていません");
    // The failed Connect left its store behind: the control refuses a second
    // one until the host disconnects.
    ExpectOwnError(control, control.Call(L"Connect"), 20100, "コネクションオブジェクトはすでに存在しています");
    EXPECT_FALSE(control.sink.Received(kConnectedEvent));
    control.Must(L"DisConnect");
    ExpectOwnError(control, control.Call(L"Connect"), 20103, "接続するサーバー名が設定されていません");
}

TEST(FtpNavigation, StartDirectoryThenDirUpToTheTop)
{
    FtpServer server;
    server.MakeDirectory("pub");
    server.MakeDirectory("pub/sub");
    HostedControl control;
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"ConnectDirectory", "/pub/sub");
    control.Must(L"Connect");
    ASSERT_EQ((std::vector<DISPID>{kChangeCurrentDirectoryEvent, kConnectedEvent}), control.sink.Ids());
    EXPECT_EQ("/pub/sub", control.sink.events[0].args.at(0).AsText());
    EXPECT_EQ("/pub/sub", control.Must(L"GetCurrentDirectory", {0}).AsText());

    control.Must(L"DirUp");
    EXPECT_EQ("/pub", control.Must(L"GetCurrentDirectory", {0}).AsText());
    control.Must(L"DirUp");
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ((std::vector<std::string>{"/pub/sub", "/pub", "/"}), control.sink.DirectoryChanges());

    const size_t eventsBefore = control.sink.events.size();
    ExpectOwnError(control, control.Call(L"DirUp"), 20201, "1番上のディレクトリ階層です");
    EXPECT_EQ(eventsBefore, control.sink.events.size());
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
}

TEST(FtpNavigation, CurrentDirectoryPlainAndAsUrl)
{
    ConnectedControl ftp;
    ftp.server.MakeDirectory("pub");
    ftp.server.MakeDirectory("pub/日本");
    ftp.control.Must(L"SetCurrentDirectory", {"/pub/日本"});
    EXPECT_EQ((std::vector<std::string>{"/pub/日本"}), ftp.control.sink.DirectoryChanges());
    EXPECT_EQ("/pub/日本", ftp.control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ("ftp://" + ftp.server.Host() + "/pub/日本", ftp.control.Must(L"GetCurrentDirectory", {1}).AsText());
    // The same directory again changes nothing and fires nothing.
    ftp.control.Must(L"SetCurrentDirectory", {"/pub/日本"});
    EXPECT_EQ(1u, ftp.control.sink.DirectoryChanges().size());
}

TEST(FtpNavigation, RefusedDirectoryChangeGivesTheServerReply)
{
    ConnectedControl ftp;
    CallResult result = ftp.control.Call(L"SetCurrentDirectory", {"/missing"});
    ExpectRaised(ftp.control, result, kInternetErrorStatus, ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_EQ(0u, ftp.control.LastMessage().rfind("550 ", 0)) << ftp.control.LastMessage();
    EXPECT_EQ("/", ftp.control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_TRUE(ftp.control.sink.DirectoryChanges().empty());
}

TEST(FtpListing, TypeSizeAndTimeOfFilesAndDirectories)
{
    ConnectedControl ftp;
    ftp.server.MakeDirectory("pub");
    ftp.server.MakeDirectory("pub/sub");
    ftp.server.WriteFile("pub/new.txt", std::string(1234, 'n'));
    ftp.server.WriteFile("pub/old.txt", std::string(70000, 'o'));
    ftp.server.WriteFile("pub/empty.txt", "");
    // More than half a year old: the server lists the day and the year only.
    const HANDLE file = CreateFileA(ftp.server.PathOf("pub/old.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME oldTime = {2020, 3, 0, 4, 10, 20, 30, 0};
    FILETIME oldUtc;
    SystemTimeToFileTime(&oldTime, &oldUtc);
    SetFileTime(file, nullptr, nullptr, &oldUtc);
    CloseHandle(file);

    Variant files = ftp.control.Must(L"GetFileList", {"/pub"});
    ASSERT_NE(nullptr, files.AsDispatch());
    const std::vector<ListedFile> listing = ReadListing(files.AsDispatch());
    ASSERT_EQ(4u, listing.size());
    const ListedFile* newFile = FindListed(listing, "new.txt");
    const ListedFile* oldFile = FindListed(listing, "old.txt");
    const ListedFile* empty = FindListed(listing, "empty.txt");
    const ListedFile* sub = FindListed(listing, "sub");
    ASSERT_TRUE(newFile && oldFile && empty && sub);

    EXPECT_EQ(1, newFile->type);
    EXPECT_EQ(1234, newFile->size);
    EXPECT_EQ(1, oldFile->type);
    EXPECT_EQ(70000, oldFile->size);
    EXPECT_EQ(1, empty->type);
    EXPECT_EQ(0, empty->size);
    EXPECT_EQ(0, sub->type);
    EXPECT_EQ(0, sub->size);

    // A recent entry is listed to the minute: the shown time is the real
    // one (in local time) with its seconds cut off.
    for (const auto& [entry, path] : {std::pair{newFile, "pub/new.txt"}, std::pair{sub, "pub/sub"}}) {
        const DATE real = LocalOleDate(LastWriteTimeOf(ftp.server.PathOf(path)));
        EXPECT_LE(entry->lastWriteTime, real + kHalfSecond) << path;
        EXPECT_GT(entry->lastWriteTime, real - kMinute) << path;
    }
    // An old one is listed to the day only: the start of that day (UTC).
    EXPECT_LT(std::fabs(oldFile->lastWriteTime - LocalOleDate(oldUtc)), 1.0);
    SYSTEMTIME shown;
    VariantTimeToSystemTime(oldFile->lastWriteTime, &shown);
    EXPECT_EQ(2020, shown.wYear);
    EXPECT_EQ(3, shown.wMonth);
    EXPECT_EQ(4, shown.wDay);
}

TEST(FtpListing, EmptyDirectoryRaises20200)
{
    ConnectedControl ftp;
    ftp.server.MakeDirectory("empty");
    ExpectOwnError(ftp.control, ftp.control.Call(L"GetFileList", {"/empty"}), 20200,
                   "指定ディレクトリにファイルは存在しません");
    ExpectOwnError(ftp.control, ftp.control.Call(L"GetFileList", {""}), 20001,
                   "メソッドの実行に必要なファイル名がありません");
}

TEST(FtpFiles, GetFileSizeOfMissingFileIsMinusOneWithoutAnError)
{
    ConnectedControl ftp;
    ftp.server.WriteFile("a.bin", std::string(70000, 'x'));
    EXPECT_EQ(70000, ftp.control.Must(L"GetFileSize", {"/a.bin"}).AsLong());
    CallResult missing = ftp.control.Call(L"GetFileSize", {"/missing.bin"});
    EXPECT_EQ(S_OK, missing.hr);
    EXPECT_EQ(VT_I4, missing.value.Type());
    EXPECT_EQ(-1, missing.value.AsLong());
    EXPECT_EQ(0, ftp.control.LastError());
    EXPECT_EQ("", ftp.control.LastMessage());
}

TEST(FtpFiles, RefusedCreateDirectoryGives12003AndTheReply)
{
    ConnectedControl ftp;
    ftp.control.Must(L"CreateDirectory", {"/new"});
    EXPECT_TRUE(ftp.server.Exists("new"));
    CallResult result = ftp.control.Call(L"CreateDirectory", {"/new"});
    ExpectRaised(ftp.control, result, kInternetErrorStatus, ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_EQ(0u, ftp.control.LastMessage().rfind("550 ", 0)) << ftp.control.LastMessage();
}

TEST(FtpFiles, RefusedRemoveFileGives12003AndTheReply)
{
    ConnectedControl ftp;
    ftp.server.WriteFile("a.txt", "a");
    ftp.control.Must(L"RemoveFile", {"/a.txt"});
    EXPECT_FALSE(ftp.server.Exists("a.txt"));
    CallResult result = ftp.control.Call(L"RemoveFile", {"/a.txt"});
    ExpectRaised(ftp.control, result, kInternetErrorStatus, ERROR_INTERNET_EXTENDED_ERROR);
    const std::string reply = ftp.control.LastMessage();
    EXPECT_EQ(0u, reply.rfind("550 ", 0)) << reply;
    // A success afterwards leaves the last error as it was.
    ftp.control.Must(L"CreateDirectory", {"/d"});
    EXPECT_EQ(ERROR_INTERNET_EXTENDED_ERROR, ftp.control.LastError());
    EXPECT_EQ(reply, ftp.control.LastMessage());
}

TEST(FtpFiles, ALineBreakInANameCannotSendASecondCommand)
{
    ConnectedControl ftp;
    ftp.server.WriteFile("a.txt", "a");
    ftp.server.WriteFile("b.txt", "b");
    ExpectRaised(ftp.control, ftp.control.Call(L"RemoveFile", {"/a.txt\r\nDELE /b.txt"}), kInternetErrorStatus,
                 ERROR_INVALID_NAME);
    ExpectRaised(ftp.control, ftp.control.Call(L"RenameFile", {"/a.txt", "/c.txt\nDELE /b.txt"}),
                 kInternetErrorStatus, ERROR_INVALID_NAME);
    EXPECT_TRUE(ftp.server.Exists("a.txt"));
    EXPECT_TRUE(ftp.server.Exists("b.txt"));
    // The connection is still in step.
    ftp.control.Must(L"RemoveFile", {"/b.txt"});
    EXPECT_FALSE(ftp.server.Exists("b.txt"));
}

TEST(FtpFiles, RenameAndRemoveTheCurrentDirectory)
{
    ConnectedControl ftp;
    ftp.server.MakeDirectory("pub");
    ftp.server.MakeDirectory("pub/old");
    ftp.server.WriteFile("pub/old/a.txt", "a");
    ftp.control.Must(L"SetCurrentDirectory", {"/pub/old"});
    ftp.control.sink.events.clear();

    ftp.control.Must(L"RenameFile", {"/pub/old", "/pub/new"});
    EXPECT_EQ("/pub/new", ftp.control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ((std::vector<std::string>{"/", "/pub/new"}), ftp.control.sink.DirectoryChanges());
    EXPECT_EQ("a", ftp.server.ReadFile("pub/new/a.txt"));
    ftp.control.Must(L"RenameFile", {"/pub/new/a.txt", "/pub/new/b.txt"});
    EXPECT_EQ("a", ftp.server.ReadFile("pub/new/b.txt"));

    ftp.control.Must(L"RemoveFile", {"b.txt"});  // relative to the current directory
    ftp.control.sink.events.clear();
    ftp.control.Must(L"RemoveDirectory", {"/pub/new"});
    EXPECT_FALSE(ftp.server.Exists("pub/new"));
    EXPECT_EQ("/pub", ftp.control.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ((std::vector<std::string>{"/", "/pub"}), ftp.control.sink.DirectoryChanges());
}

TEST(FtpFiles, MissingLocalFileIsAFileError)
{
    ConnectedControl ftp;
    CallResult result = ftp.control.Call(L"PutFile", {"Z:\\no\\such\\file.txt"});
    ExpectRaised(ftp.control, result, kFileErrorStatus);
    const long code = ftp.control.LastError();
    EXPECT_TRUE(code == ERROR_PATH_NOT_FOUND || code == ERROR_FILE_NOT_FOUND) << code;
    const std::string systemText = SystemErrorText(static_cast<DWORD>(code));
    if (!systemText.empty())
        EXPECT_EQ(systemText, ftp.control.LastMessage());
    else
        EXPECT_NE("", ftp.control.LastMessage());
    // TransferStart came, TransferEnd did not.
    EXPECT_EQ((std::vector<DISPID>{kTransferStartEvent}), ftp.control.sink.Ids());
}

}  // namespace
