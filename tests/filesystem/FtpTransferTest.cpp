// CWyFTPFileSystem transfers against real servers: uploads, downloads, relays, aborts and failing servers.
#include "filesystem/WyFTPFileSystem.h"

#include "filesystem/SystemErrorText.h"
#include "framework/FileException.h"
#include "framework/InternetException.h"
#include "tests/filesystem/FileStoreTestKit.h"
#include "tests/fixture/FtpServer.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct FtpTransfer : ::testing::Test {
    void Connect(FtpServer& to)
    {
        owner.serverName = to.Host();
        owner.userName = FtpServer::kUser;
        owner.password = FtpServer::kPassword;
        store.Connect(nullptr, nullptr, nullptr);
    }
    ScratchDrive local;
    CTestOwner owner;
    CWyFTPFileSystem store{&owner};
};

std::string UrlOf(const FtpServer& server, const std::string& path, const std::string& query)
{
    return "ftp://" + server.Host() + path + query;
}

const std::string kLogin = std::string("?uid=") + FtpServer::kUser + "&pw=" + FtpServer::kPassword;
// The fixture's second user, whose password holds "\", "?", "&" and "=".
const std::string kOddLogin = "?uid=wyodd&pw=a\\b?c&d=e";

TEST_F(FtpTransfer, PutFileUploadsInChunksThatDoNotDivideTheSize)
{
    FtpServer server;
    server.MakeDirectory("pub");
    Connect(server);
    const std::string bytes = PatternBytes(10000);
    WriteBytes(local.PathOf("a.bin"), bytes);
    // A Windows path with backslashes, into "/pub/".
    store.PutFile(local.PathOf("a.bin").c_str(), "/pub/", 4096);
    EXPECT_EQ((std::vector<LONG>{4096, 8192, 10000}), owner.progress);
    EXPECT_TRUE(bytes == server.ReadFile("pub/a.bin"));
    // "/pub" and "/" name the same kind of destination.
    store.PutFile(local.PathOf("a.bin").c_str(), "/pub", 4096);
    store.PutFile((local.Root() + "/a.bin").c_str(), "/", 10000);
    EXPECT_TRUE(bytes == server.ReadFile("a.bin"));
}

TEST_F(FtpTransfer, GetFileDownloadsInChunksThatDivideTheSize)
{
    FtpServer server;
    server.MakeDirectory("pub");
    const std::string bytes = PatternBytes(8192, 2);
    server.WriteFile("pub/a.bin", bytes);
    Connect(server);
    // The control's form of the source: server name, directory, name.
    store.GetFile((server.Host() + "/pub/a.bin").c_str(), (local.Root() + "/").c_str(), 4096);
    EXPECT_EQ((std::vector<LONG>{4096, 8192}), owner.progress);
    EXPECT_TRUE(bytes == ReadBytes(local.PathOf("a.bin")));
}

TEST_F(FtpTransfer, ZeroByteFilesFireNoProgressAndArriveEmpty)
{
    FtpServer server;
    server.WriteFile("empty-down.txt", "");
    Connect(server);
    WriteBytes(local.PathOf("empty-up.txt"), "");
    store.PutFile(local.PathOf("empty-up.txt").c_str(), "/", 4096);
    store.GetFile("/empty-down.txt", local.Root().c_str(), 4096);
    EXPECT_TRUE(owner.progress.empty());
    EXPECT_TRUE(server.Exists("empty-up.txt"));
    EXPECT_EQ("", server.ReadFile("empty-up.txt"));
    ASSERT_TRUE(PathExists(local.PathOf("empty-down.txt")));
    EXPECT_EQ("", ReadBytes(local.PathOf("empty-down.txt")));
}

TEST_F(FtpTransfer, AbortedDownloadLeavesNoLocalFile)
{
    FtpServer server;
    server.WriteFile("big.bin", PatternBytes(100000));
    Connect(server);
    owner.onProgress = [&](LONG bytes) {
        if (bytes >= 8192)
            store.AbortTransfer();
    };
    EXPECT_EQ(WyFTPErrorTransferAborted, WyErrorOf([&] { store.GetFile("/big.bin", local.Root().c_str(), 4096); }));
    EXPECT_EQ((std::vector<LONG>{4096, 8192}), owner.progress);
    EXPECT_FALSE(PathExists(local.PathOf("big.bin")));
    EXPECT_EQ(100000u, server.ReadFile("big.bin").size());
    // The connection is still usable.
    EXPECT_EQ(100000u, store.GetFileSize("/big.bin"));
}

TEST_F(FtpTransfer, MissingRemoteFileRaisesAndLeavesALocalFileAlone)
{
    FtpServer server;
    Connect(server);
    try {
        store.GetFile("/missing.txt", local.Root().c_str(), 4096);
        ADD_FAILURE() << "no error";
    } catch (const CInternetException& error) {
        EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_EXTENDED_ERROR), error.m_dwError);
    }
    EXPECT_FALSE(PathExists(local.PathOf("missing.txt")));
    // A local file of that name is not truncated by the failed download.
    WriteBytes(local.PathOf("missing.txt"), "keep me");
    EXPECT_THROW(store.GetFile("/missing.txt", local.Root().c_str(), 4096), CInternetException);
    EXPECT_EQ("keep me", ReadBytes(local.PathOf("missing.txt")));
}

TEST_F(FtpTransfer, DirectoriesAreNotTransferred)
{
    FtpServer server;
    // A directory whose first entry is a file, and an empty one.
    server.MakeDirectory("dir");
    server.WriteFile("dir/a.txt", "a");
    server.WriteFile("dir/b.txt", "b");
    server.MakeDirectory("empty");
    Connect(server);
    EXPECT_EQ(WyFTPErrorDirectoryTransfer, WyErrorOf([&] { store.GetFile("/dir", local.Root().c_str(), 4096); }));
    EXPECT_EQ(WyFTPErrorDirectoryTransfer, WyErrorOf([&] { store.GetFile("/empty", local.Root().c_str(), 4096); }));
    // Written as directories, with nothing to probe.
    for (const char* source : {"/dir/", "/", "/dir/."})
        EXPECT_EQ(WyFTPErrorDirectoryTransfer, WyErrorOf([&] { store.GetFile(source, local.Root().c_str(), 4096); }))
            << source;
    EXPECT_TRUE(NamesIn(local.UnixView()).empty());
    MakeDirectory(local.PathOf("folder"));
    EXPECT_EQ(WyFTPErrorDirectoryTransfer, WyErrorOf([&] { store.PutFile(local.PathOf("folder").c_str(), "/", 4096); }));
    EXPECT_FALSE(server.Exists("folder"));
    // The probes left the working directory where it was.
    EXPECT_EQ("/", store.GetCurrentDirectory(FALSE));
}

TEST_F(FtpTransfer, MissingNamesAndMissingLocalFiles)
{
    FtpServer server;
    Connect(server);
    EXPECT_EQ(WyFTPErrorNoFileName, WyErrorOf([&] { store.PutFile(nullptr, "/", 4096); }));
    EXPECT_EQ(WyFTPErrorNoFileName, WyErrorOf([&] { store.PutFile("a", nullptr, 4096); }));
    EXPECT_EQ(WyFTPErrorNoFileName, WyErrorOf([&] { store.GetFile("/a", nullptr, 4096); }));
    const std::string missing = local.PathOf("missing.bin");
    try {
        store.PutFile(missing.c_str(), "/", 4096);
        ADD_FAILURE() << "no error";
    } catch (const CFileException& error) {
        EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, error.m_lOsError);
        EXPECT_EQ(local.Root() + "/missing.bin", error.m_strFileName);
    }
    EXPECT_FALSE(server.Exists("missing.bin"));
}

TEST_F(FtpTransfer, RelayToAnotherServerByUrl)
{
    FtpServer here;
    FtpServer there;
    here.MakeDirectory("pub");
    there.MakeDirectory("in");
    const std::string bytes = PatternBytes(10000, 3);
    here.WriteFile("pub/a.bin", bytes);
    Connect(here);
    store.GetFile((here.Host() + "/pub/a.bin").c_str(), UrlOf(there, "/in/", kLogin).c_str(), 4096);
    EXPECT_TRUE(bytes == there.ReadFile("in/a.bin"));
    EXPECT_EQ((std::vector<LONG>{4096, 8192, 10000}), owner.progress);
    // Backslashes of the address are separators, those of the password not.
    there.MakeDirectory("in/odd");
    store.GetFile("/pub/a.bin", UrlOf(there, "\\in\\odd", kOddLogin).c_str(), 4096);
    EXPECT_TRUE(bytes == there.ReadFile("in/odd/a.bin"));
    EXPECT_EQ(WyFTPErrorLoginFailed,
              WyErrorOf([&] { store.GetFile("/pub/a.bin", UrlOf(there, "/in", "?uid=wyuser").c_str(), 4096); }));
    EXPECT_EQ(WyFTPErrorLoginFailed, WyErrorOf([&] { store.GetFile("/pub/a.bin", UrlOf(there, "/in", "").c_str(), 4096); }));
}

TEST_F(FtpTransfer, RelayFromAnotherServerByUrl)
{
    FtpServer here;
    FtpServer there;
    here.MakeDirectory("up");
    there.MakeDirectory("src");
    const std::string bytes = PatternBytes(12345, 4);
    there.WriteFile("src/b.bin", bytes);
    Connect(here);
    // Anonymous on the other side: an empty user name and password.
    store.PutFile(UrlOf(there, "/src/b.bin", "?uid=&pw=").c_str(), "/up", 4096);
    EXPECT_TRUE(bytes == here.ReadFile("up/b.bin"));
    store.PutFile(UrlOf(there, "\\src\\b.bin", kOddLogin).c_str(), "/", 4096);
    EXPECT_TRUE(bytes == here.ReadFile("b.bin"));
    EXPECT_EQ(WyFTPErrorLoginFailed,
              WyErrorOf([&] { store.PutFile(UrlOf(there, "/src/b.bin", "?uid=wyuser").c_str(), "/up", 4096); }));
    EXPECT_THROW(store.PutFile(UrlOf(there, "/src/b.bin", "?uid=wyuser&pw=wrong").c_str(), "/up", 4096),
                 CInternetException);
}

TEST_F(FtpTransfer, AbortedRelayLeavesNothingOnTheOtherServer)
{
    FtpServer here;
    FtpServer there;
    here.WriteFile("a.bin", PatternBytes(100000));
    Connect(here);
    owner.onProgress = [&](LONG) { store.AbortTransfer(); };
    EXPECT_EQ(WyFTPErrorTransferAborted,
              WyErrorOf([&] { store.GetFile("/a.bin", UrlOf(there, "/", kLogin).c_str(), 4096); }));
    EXPECT_FALSE(there.Exists("a.bin"));
    EXPECT_TRUE(here.Exists("a.bin"));
}

TEST_F(FtpTransfer, JapaneseNamesUpAndDown)
{
    FtpServer server;
    Connect(server);
    const std::string hyou = "表.txt";  // trail bytes 0x5C
    const std::string soft = "ソフト.txt";
    WriteBytes(local.PathOf(hyou), PatternBytes(5000, 5));
    WriteBytes(local.PathOf(soft), PatternBytes(6000, 6));
    store.CreateDirectory("/日本");
    store.PutFile(local.PathOf(hyou).c_str(), "/日本", 4096);
    store.PutFile((local.Root() + "\\" + soft).c_str(), "/日本/", 4096);
    EXPECT_TRUE(PatternBytes(5000, 5) == server.ReadFile("日本/" + hyou));
    EXPECT_TRUE(PatternBytes(6000, 6) == server.ReadFile("日本/" + soft));

    CListing listing;
    store.GetFileList("/日本", &listing);
    ASSERT_EQ(2u, listing.entries.size());
    EXPECT_TRUE(listing.Find(hyou) && listing.Find(soft));

    MakeDirectory(local.PathOf("back"));
    store.SetCurrentDirectory("/日本");
    EXPECT_EQ("/日本", store.GetCurrentDirectory(FALSE));
    store.GetFile((server.Host() + "/日本/" + hyou).c_str(), (local.Root() + "\\back").c_str(), 4096);
    store.GetFile(soft.c_str(), (local.Root() + "/back/").c_str(), 4096);
    std::vector<std::string> names = NamesIn(local.PathOf("back"));
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {hyou, soft};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);
    EXPECT_TRUE(PatternBytes(5000, 5) == ReadBytes(local.PathOf("back\\" + hyou)));
    EXPECT_TRUE(PatternBytes(6000, 6) == ReadBytes(local.PathOf("back\\" + soft)));
}

// A download from a server that fails in the middle raises an Internet
// error, deletes the partial local file and leaves the store usable.
void ExpectFailedDownload(const char* kind, DWORD expectedError)
{
    FtpServer server(kind);
    server.WriteFile("big.bin", PatternBytes(300000));
    ScratchDrive local;
    CTestOwner owner;
    owner.serverName = server.Host();
    CWyFTPFileSystem store(&owner);
    store.Connect(nullptr, nullptr, nullptr);
    try {
        store.GetFile("/big.bin", local.Root().c_str(), 4096);
        ADD_FAILURE() << kind << ": the download reported success";
    } catch (const CInternetException& error) {
        if (expectedError != 0) {
            EXPECT_EQ(expectedError, error.m_dwError) << kind;
        }
    }
    ASSERT_FALSE(owner.progress.empty()) << kind;
    EXPECT_LT(owner.progress.back(), 300000) << kind;
    EXPECT_FALSE(PathExists(local.PathOf("big.bin"))) << kind;
}

TEST(FtpFailingServer, DataConnectionClosedEarlyWithAnErrorReply)
{
    // The server's "426" reply is the last response.
    ExpectFailedDownload("drop-download", ERROR_INTERNET_EXTENDED_ERROR);
}

TEST(FtpFailingServer, ServerVanishesInTheMiddle)
{
    // No reply at all: only the listed size shows the file was cut off.
    ExpectFailedDownload("vanish-download", ERROR_INTERNET_CONNECTION_ABORTED);
}

TEST(FtpFailingServer, ServerStopsAnsweringThenResets)
{
    // Whatever number the platform gives the broken read.
    ExpectFailedDownload("stall-download", 0);
}

TEST(FtpOddNames, ListedNamesStayNamesAndNothingIsWrittenOutside)
{
    FtpServer server("odd-names");
    server.MakeDirectory("sub");
    server.MakeDirectory("sub/odd");
    // What the odd names resolve to on the server once "\" reads as "/".
    server.WriteFile("odd-up.txt", "up");
    server.WriteFile("sub/odd/sub.txt", "sub");
    server.WriteFile("odd-escape.txt", "escape");
    ScratchDrive local;
    MakeDirectory(local.PathOf("outer"));
    MakeDirectory(local.PathOf("outer\\dl"));
    CTestOwner owner;
    owner.serverName = server.Host();
    CWyFTPFileSystem store(&owner);
    store.Connect(nullptr, nullptr, nullptr);
    store.SetCurrentDirectory("/sub");

    CListing listing;
    store.GetFileList("/sub", &listing);
    for (const char* name : {"..\\odd-up.txt", "odd/sub.txt", "..", "../../odd-escape.txt"})
        EXPECT_NE(nullptr, listing.Find(name)) << name;

    const std::string destination = local.Root() + "/outer/dl";
    for (const CWyDirectoryEntry& entry : listing.entries) {
        // As the control builds it: server, current directory, name.
        const std::string source = server.Host() + "/sub/" + entry.name;
        try {
            store.GetFile(source.c_str(), destination.c_str(), 4096);
        } catch (const CException&) {
            // Refusing a name is fine; writing outside is not.
        }
    }
    EXPECT_EQ(std::vector<std::string>{"dl"}, NamesIn(local.PathOf("outer")));
    EXPECT_EQ(std::vector<std::string>{"outer"}, NamesIn(local.UnixView()));
    std::vector<std::string> names = NamesIn(local.PathOf("outer\\dl"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"odd-escape.txt", "odd-up.txt", "sub.txt"}), names);
    EXPECT_EQ(WyFTPErrorDirectoryTransfer,
              WyErrorOf([&] { store.GetFile((server.Host() + "/sub/..").c_str(), destination.c_str(), 4096); }));
}

}  // namespace
