// CWyLocalFileSystem on a drive letter of its own: navigation, directories, listings, copies.
#include "filesystem/WyLocalFileSystem.h"

#include "framework/FileException.h"
#include "framework/InternetException.h"
#include "tests/filesystem/FileStoreTestKit.h"
#include "tests/fixture/FtpServer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct LocalStore : ::testing::Test {
    LocalStore()
    {
        MakeDirectory(drive.PathOf("data"));
        MakeDirectory(drive.PathOf("data\\sub"));
        owner.serverName = drive.Root();
    }
    ScratchDrive drive;
    CTestOwner owner;
    CWyLocalFileSystem store{&owner};
};

TEST(LocalConnect, EmptyServerNameMeansDriveC)
{
    ScratchDrive restoresTheWorkingDirectory;
    CTestOwner owner;
    owner.serverName = "";
    CWyLocalFileSystem store(&owner);
    store.Connect(nullptr, nullptr, nullptr);
    EXPECT_EQ("C:", store.GetRoot());
    EXPECT_EQ("C:\\", store.GetCurrentDirectory(FALSE));
    EXPECT_EQ("/", owner.currentDirectory);
    EXPECT_EQ(nullptr, store.GetConnection());
}

TEST_F(LocalStore, ConnectToADriveAndAStartDirectory)
{
    owner.serverName = "";
    owner.connectDirectory = "/data";
    store.Connect(drive.Root().c_str(), "ignored", "ignored");
    EXPECT_EQ(drive.Root(), store.GetRoot());
    EXPECT_EQ(drive.Root(), owner.serverName);
    EXPECT_EQ("/data", owner.currentDirectory);
    EXPECT_EQ(std::vector<std::string>{"/data"}, owner.directoryChanges);
    EXPECT_EQ(drive.Root() + "\\data", store.GetCurrentDirectory(FALSE));
    EXPECT_EQ(drive.Root() + "\\data", store.GetCurrentDirectory(TRUE));
}

TEST_F(LocalStore, ConnectChangesTheDriveEvenWhenTheDirectoryIsUnchanged)
{
    // The control still says "/" from a connection to C:.
    owner.currentDirectory = "/";
    store.Connect(nullptr, nullptr, nullptr);
    EXPECT_EQ(drive.Root() + "\\", store.GetCurrentDirectory(FALSE));
}

TEST_F(LocalStore, DirUpFromAStartDirectoryGivenWithItsDrive)
{
    owner.connectDirectory = drive.Root() + "/data/sub";
    store.Connect(nullptr, nullptr, nullptr);
    EXPECT_EQ(drive.Root() + "/data/sub", owner.currentDirectory);
    store.DirUp();
    EXPECT_EQ("/data", owner.currentDirectory);
    EXPECT_EQ(drive.Root() + "\\data", WorkingDirectory());
}

TEST_F(LocalStore, CreateDirectoryUnderTheRootWhateverTheCurrentDrive)
{
    store.Connect(nullptr, nullptr, nullptr);
    SetCurrentDirectoryA("C:\\");
    store.CreateDirectory("/new");
    EXPECT_TRUE(PathExists(drive.UnixView() + "\\new"));
    EXPECT_THROW(store.CreateDirectory("/new"), CFileException);
}

TEST_F(LocalStore, GetFileSize)
{
    WriteBytes(drive.PathOf("data\\a.txt"), std::string(777, 'a'));
    EXPECT_EQ(777u, store.GetFileSize((drive.Root() + "/data/a.txt").c_str()));
    EXPECT_EQ(0xFFFFFFFFu, store.GetFileSize((drive.Root() + "/data/missing.txt").c_str()));
    // A store path lies on the store's drive, whatever the current drive.
    store.Connect(nullptr, nullptr, nullptr);
    SetCurrentDirectoryA("C:\\");
    EXPECT_EQ(777u, store.GetFileSize("/data/a.txt"));
    CListing listing;
    store.GetFileList("/data", &listing);
    EXPECT_NE(nullptr, listing.Find("a.txt"));
    EXPECT_EQ(WyFTPErrorNoFiles, WyErrorOf([&] { store.GetFileList("/missing", &listing); }));
}

TEST_F(LocalStore, GetFileAndPutFileCopyInChunks)
{
    store.Connect(nullptr, nullptr, nullptr);
    const std::string bytes = PatternBytes(10000, 7);
    WriteBytes(drive.PathOf("data\\a.bin"), bytes);
    MakeDirectory(drive.PathOf("backup"));
    store.GetFile("/data/a.bin", "/backup/", 4096);
    EXPECT_EQ((std::vector<LONG>{4096, 8192, 10000}), owner.progress);
    EXPECT_TRUE(bytes == ReadBytes(drive.PathOf("backup\\a.bin")));
    MakeDirectory(drive.PathOf("dl"));
    store.PutFile((drive.Root() + "\\data\\a.bin").c_str(), "/dl", 10000);
    EXPECT_TRUE(bytes == ReadBytes(drive.PathOf("dl\\a.bin")));
    EXPECT_EQ(WyFTPErrorDirectoryTransfer, WyErrorOf([&] { store.GetFile("/data/sub", "/dl", 4096); }));
    EXPECT_EQ(WyFTPErrorDirectoryTransfer, WyErrorOf([&] { store.PutFile("/data/sub", "/dl", 4096); }));
    EXPECT_EQ(WyFTPErrorNoFileName, WyErrorOf([&] { store.GetFile("/data/a.bin", nullptr, 4096); }));
    EXPECT_EQ(WyFTPErrorNoFileName, WyErrorOf([&] { store.PutFile(nullptr, "/dl", 4096); }));
}

TEST_F(LocalStore, AbortedCopyDeletesTheDestination)
{
    store.Connect(nullptr, nullptr, nullptr);
    WriteBytes(drive.PathOf("data\\a.bin"), PatternBytes(50000));
    owner.onProgress = [&](LONG) { store.AbortTransfer(); };
    EXPECT_EQ(WyFTPErrorTransferAborted, WyErrorOf([&] { store.GetFile("/data/a.bin", "/", 4096); }));
    EXPECT_FALSE(PathExists(drive.PathOf("a.bin")));
    EXPECT_EQ(50000u, ReadBytes(drive.PathOf("data\\a.bin")).size());
}

TEST_F(LocalStore, CopyOntoItselfFailsWithoutTouchingTheFile)
{
    store.Connect(nullptr, nullptr, nullptr);
    const std::string bytes = PatternBytes(9000);
    WriteBytes(drive.PathOf("data\\a.bin"), bytes);
    try {
        store.GetFile("/data/a.bin", "/data", 4096);
        ADD_FAILURE() << "no error";
    } catch (const CFileException& error) {
        EXPECT_EQ(CFileException::sharingViolation, error.m_cause);
    }
    EXPECT_TRUE(bytes == ReadBytes(drive.PathOf("data\\a.bin")));
}

TEST_F(LocalStore, PutFileFromAnFtpUrlDownloadsOntoTheStoresDrive)
{
    FtpServer server;
    server.MakeDirectory("pub");
    const std::string bytes = PatternBytes(10000, 8);
    server.WriteFile("pub/a.txt", bytes);
    store.Connect(nullptr, nullptr, nullptr);
    MakeDirectory(drive.PathOf("dl"));
    SetCurrentDirectoryA("C:\\");
    const std::string url = "ftp://" + server.Host() + "/pub/a.txt?uid=" + FtpServer::kUser + "&pw=" + FtpServer::kPassword;
    store.PutFile(url.c_str(), "/dl", 4096);
    EXPECT_TRUE(bytes == ReadBytes(drive.PathOf("dl\\a.txt")));
    EXPECT_EQ((std::vector<LONG>{4096, 8192, 10000}), owner.progress);
    const std::string oddPassword = "ftp://" + server.Host() + "\\pub\\a.txt?uid=wyodd&pw=a\\b?c&d=e";
    store.PutFile(oddPassword.c_str(), "/", 4096);
    EXPECT_TRUE(bytes == ReadBytes(drive.PathOf("a.txt")));
    const std::string noPassword = "ftp://" + server.Host() + "/pub/a.txt?uid=wyuser";
    EXPECT_EQ(WyFTPErrorLoginFailed, WyErrorOf([&] { store.PutFile(noPassword.c_str(), "/dl", 4096); }));
    const std::string missing = "ftp://" + server.Host() + "/pub/none.txt?uid=&pw=";
    EXPECT_THROW(store.PutFile(missing.c_str(), "/dl", 4096), CInternetException);
    EXPECT_FALSE(PathExists(drive.PathOf("dl\\none.txt")));
}

TEST_F(LocalStore, RenameAndRemoveTheCurrentDirectory)
{
    store.Connect(nullptr, nullptr, nullptr);
    store.SetCurrentDirectory("/data/sub");
    store.RenameFile("/data/sub", "/data/renamed");
    EXPECT_EQ("/data/renamed", owner.currentDirectory);
    EXPECT_EQ(drive.Root() + "\\data\\renamed", WorkingDirectory());
    store.RemoveDirectory("/data/renamed");
    EXPECT_FALSE(PathExists(drive.PathOf("data\\renamed")));
    EXPECT_EQ("/data", owner.currentDirectory);
    EXPECT_EQ(drive.Root() + "\\data", WorkingDirectory());
    EXPECT_THROW(store.RenameFile("/data/missing", "/data/other"), CFileException);
    EXPECT_THROW(store.RemoveDirectory("/data/missing"), CFileException);
}

TEST_F(LocalStore, LongWorkingDirectoriesAreNeverCut)
{
    // 257 characters with the drive: past a 255-byte buffer, within the
    // platform's limit for a working directory.
    std::string path = "/data";
    for (int level = 0; level < 2; ++level) {
        path += "/" + std::string(124, static_cast<char>('k' + level));
        MakeDirectory(drive.PathOf(path.substr(1)));
    }
    store.Connect(nullptr, nullptr, nullptr);
    store.SetCurrentDirectory(path.c_str());
    std::string expected = drive.Root() + path;
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(expected, store.GetCurrentDirectory(FALSE));
    // Past the 255-byte buffer: still recognised as the working directory.
    store.RenameFile(path.c_str(), "/data/short");
    EXPECT_EQ("/data/short", owner.currentDirectory);
}

TEST_F(LocalStore, JapaneseNames)
{
    store.Connect(nullptr, nullptr, nullptr);
    const std::string hyou = "表.txt";  // trail byte 0x5C
    WriteBytes(drive.PathOf("data\\" + hyou), "hyou");
    MakeDirectory(drive.PathOf("ソフト"));
    store.GetFile(("/data/" + hyou).c_str(), "/ソフト\\", 4096);
    EXPECT_EQ("hyou", ReadBytes(drive.PathOf("ソフト\\" + hyou)));
}

}  // namespace
