// CWyFTPFileSystem against real servers: connection, navigation, directories, deletions, listings.
#include "filesystem/WyFTPFileSystem.h"

#include "filesystem/SystemErrorText.h"
#include "framework/FtpConnection.h"
#include "framework/InternetException.h"
#include "framework/OleDateTime.h"
#include "tests/filesystem/FileStoreTestKit.h"
#include "tests/fixture/FtpServer.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A server and a store connected to it anonymously at "/".
struct ConnectedFtp {
    explicit ConnectedFtp(const char* kind = "normal") : server(kind)
    {
        owner.serverName = server.Host();
        store.Connect(nullptr, nullptr, nullptr);
        owner.directoryChanges.clear();
    }
    FtpServer server;
    CTestOwner owner;
    CWyFTPFileSystem store{&owner};
};

// The server's reply behind a CInternetException 12003, as the control's
// error report shows it.
std::string ReplyText(const CInternetException& error)
{
    DWORD code = error.m_dwError;
    char text[1024] = "";
    FormatSystemErrorText(code, text, sizeof text);
    return text;
}

#define EXPECT_SERVER_REFUSES(call, replyCode)                                          \
    try {                                                                               \
        call;                                                                           \
        ADD_FAILURE() << #call " raised nothing";                                       \
    } catch (const CInternetException& error) {                                         \
        EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_EXTENDED_ERROR), error.m_dwError);  \
        EXPECT_EQ(0u, ReplyText(error).rfind(replyCode, 0)) << ReplyText(error);        \
    }

TEST(FtpConnect, AnonymousFromPropertiesWritesUserNameBack)
{
    FtpServer server;
    CTestOwner owner;
    owner.serverName = server.Host();
    owner.userName = "";
    owner.password = "";
    owner.connectDirectory = "";
    CWyFTPFileSystem store(&owner);
    store.Connect(nullptr, nullptr, nullptr);
    EXPECT_EQ("anonymous", owner.userName);
    EXPECT_NE(std::string::npos, owner.password.find('@')) << owner.password;
    EXPECT_EQ(server.Host(), owner.serverName);
    EXPECT_EQ("/", owner.currentDirectory);
    EXPECT_EQ(std::vector<std::string>{"/"}, owner.directoryChanges);
    EXPECT_NE(nullptr, store.GetConnection());
    EXPECT_EQ("", store.GetRoot());
}

TEST(FtpConnect, UserAccountFromArgumentsAndStartDirectory)
{
    FtpServer server;
    server.MakeDirectory("pub");
    CTestOwner owner;
    owner.connectDirectory = "/pub";
    CWyFTPFileSystem store(&owner);
    // One null argument: all three come from the properties, so a server
    // name alone is not enough.
    EXPECT_EQ(WyFTPErrorNoServerName, WyErrorOf([&] { store.Connect(server.Host().c_str(), "x", nullptr); }));
    store.Disconnect();
    store.Connect(server.Host().c_str(), FtpServer::kUser, FtpServer::kPassword);
    EXPECT_EQ(FtpServer::kUser, owner.userName);
    EXPECT_EQ(FtpServer::kPassword, owner.password);
    EXPECT_EQ("/pub", owner.currentDirectory);
    EXPECT_EQ(std::vector<std::string>{"/pub"}, owner.directoryChanges);
    EXPECT_EQ("/pub", store.GetCurrentDirectory(FALSE));
}

TEST(FtpConnect, EmptyServerNameThenSecondConnectIsRefused)
{
    CTestOwner owner;
    owner.serverName = "";
    CWyFTPFileSystem store(&owner);
    EXPECT_EQ(WyFTPErrorNoServerName, WyErrorOf([&] { store.Connect(nullptr, nullptr, nullptr); }));
    EXPECT_EQ(WyFTPErrorConnectionExists, WyErrorOf([&] { store.Connect(nullptr, nullptr, nullptr); }));
    store.Disconnect();
    EXPECT_EQ(WyFTPErrorNoServerName, WyErrorOf([&] { store.Connect(nullptr, nullptr, nullptr); }));
}

TEST(FtpConnect, WrongPasswordRaisesTheLoginErrorAndLeavesNoConnection)
{
    FtpServer server;
    CTestOwner owner;
    CWyFTPFileSystem store(&owner);
    EXPECT_THROW(store.Connect(server.Host().c_str(), FtpServer::kUser, "wrong"), CInternetException);
    EXPECT_EQ(nullptr, store.GetConnection());
    EXPECT_TRUE(owner.directoryChanges.empty());
    EXPECT_EQ(WyFTPErrorNotConnected, WyErrorOf([&] { store.GetCurrentDirectory(FALSE); }));
    EXPECT_EQ(WyFTPErrorConnectionExists,
              WyErrorOf([&] { store.Connect(server.Host().c_str(), FtpServer::kUser, FtpServer::kPassword); }));
}

TEST(FtpConnect, MissingStartDirectoryRaisesTheServerReply)
{
    FtpServer server;
    CTestOwner owner;
    owner.serverName = server.Host();
    owner.connectDirectory = "/no-such-directory";
    CWyFTPFileSystem store(&owner);
    EXPECT_SERVER_REFUSES(store.Connect(nullptr, nullptr, nullptr), "550");
    EXPECT_EQ("", owner.currentDirectory);
}

TEST(FtpConnect, EveryOperationNeedsTheConnection)
{
    CTestOwner owner;
    CWyFTPFileSystem store(&owner);
    CListing listing;
    const std::vector<std::function<void()>> calls = {
        [&] { store.DirUp(); },
        [&] { store.GetFileSize("a"); },
        [&] { store.CreateDirectory("a"); },
        [&] { store.GetCurrentDirectory(FALSE); },
        [&] { store.GetFile("a", "C:/", 1024); },
        [&] { store.PutFile("a", "/", 1024); },
        [&] { store.GetFileList("/", &listing); },
        [&] { store.RemoveDirectory("a"); },
        [&] { store.RemoveFile("a"); },
        [&] { store.RenameFile("a", "b"); },
        [&] { store.SetCurrentDirectory("/a"); },
    };
    for (size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(WyFTPErrorNotConnected, WyErrorOf(calls[i])) << "operation " << i;
    // These never raise.
    store.SetBusy(TRUE);
    store.AbortTransfer();
    store.Disconnect();
    EXPECT_EQ("", store.GetRoot());
    EXPECT_EQ(nullptr, store.GetConnection());
}

TEST(FtpNavigation, SetCurrentDirectoryAndDirUpToTheTop)
{
    ConnectedFtp ftp;
    ftp.server.MakeDirectory("pub");
    ftp.server.MakeDirectory("pub/x");
    ftp.store.SetCurrentDirectory("/pub/x");
    EXPECT_EQ("/pub/x", ftp.owner.currentDirectory);
    EXPECT_EQ("/pub/x", ftp.store.GetCurrentDirectory(FALSE));
    ftp.store.DirUp();
    EXPECT_EQ("/pub", ftp.store.GetCurrentDirectory(FALSE));
    ftp.store.DirUp();
    EXPECT_EQ("/", ftp.store.GetCurrentDirectory(FALSE));
    EXPECT_EQ((std::vector<std::string>{"/pub/x", "/pub", "/"}), ftp.owner.directoryChanges);
    EXPECT_EQ(WyFTPErrorTopDirectory, WyErrorOf([&] { ftp.store.DirUp(); }));
    EXPECT_SERVER_REFUSES(ftp.store.SetCurrentDirectory("/missing"), "550");
    EXPECT_EQ("/", ftp.owner.currentDirectory);
}

TEST(FtpNavigation, SameDirectoryDoesNothingEvenWhenTheServerIsElsewhere)
{
    ConnectedFtp ftp;
    ftp.server.MakeDirectory("pub");
    ASSERT_TRUE(ftp.store.GetConnection()->SetCurrentDirectory("/pub"));
    ftp.store.SetCurrentDirectory("/");
    EXPECT_TRUE(ftp.owner.directoryChanges.empty());
    EXPECT_EQ("/pub", ftp.store.GetCurrentDirectory(FALSE));
}

TEST(FtpNavigation, CurrentDirectoryPlainAndAsUrl)
{
    ConnectedFtp ftp;
    ftp.server.MakeDirectory("pub");
    ftp.store.SetCurrentDirectory("/pub");
    EXPECT_EQ("/pub", ftp.store.GetCurrentDirectory(FALSE));
    EXPECT_EQ("ftp://" + ftp.server.Host() + "/pub", ftp.store.GetCurrentDirectory(TRUE));
}

TEST(FtpNavigation, LongDirectoriesAreNeverCut)
{
    // 5 x 200 bytes of directory names: past every fixed buffer of 255,
    // 256 and 1,024 bytes.
    // (Made through the server: the fixture's Windows paths stop at 260.)
    ConnectedFtp ftp;
    std::string path;
    for (int level = 0; level < 5; ++level) {
        path += "/" + std::string(199, static_cast<char>('a' + level)) + "表";  // trail byte 0x5C
        ftp.store.CreateDirectory(path.c_str());
    }
    ftp.store.SetCurrentDirectory(path.c_str());
    EXPECT_EQ(path, ftp.store.GetCurrentDirectory(FALSE));
    EXPECT_EQ("ftp://" + ftp.server.Host() + path, ftp.store.GetCurrentDirectory(TRUE));
    // Removing the working directory compares the whole of it.
    const std::string parent = path.substr(0, path.rfind('/'));
    ftp.store.RemoveDirectory(path.c_str());
    EXPECT_EQ(parent, ftp.owner.currentDirectory);
    EXPECT_EQ(parent, ftp.store.GetCurrentDirectory(FALSE));
    CListing listing;
    EXPECT_EQ(WyFTPErrorNoFiles, WyErrorOf([&] { ftp.store.GetFileList(parent.c_str(), &listing); }));
}

TEST(FtpListing, EntriesCarryTypeSizeAndTime)
{
    ConnectedFtp ftp;
    ftp.server.MakeDirectory("pub");
    ftp.server.MakeDirectory("pub/sub");
    ftp.server.WriteFile("pub/a.txt", std::string(1234, 'a'));
    ftp.server.WriteFile("pub/b.bin", "");
    // A fixed time in the past: the listing shows it as a date.
    const HANDLE file = CreateFileA(ftp.server.PathOf("pub/a.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME written = {2020, 3, 0, 4, 0, 0, 0, 0};
    FILETIME writtenUtc;
    SystemTimeToFileTime(&written, &writtenUtc);
    SetFileTime(file, nullptr, nullptr, &writtenUtc);
    CloseHandle(file);

    CListing listing;
    ftp.store.GetFileList("/pub/", &listing);
    ASSERT_EQ(3u, listing.entries.size());
    const CWyDirectoryEntry* a = listing.Find("a.txt");
    const CWyDirectoryEntry* sub = listing.Find("sub");
    ASSERT_TRUE(a && sub && listing.Find("b.bin"));
    EXPECT_EQ(CWyDirectoryEntry::kFile, a->type);
    EXPECT_EQ(1234u, a->size);
    EXPECT_EQ(CWyDirectoryEntry::kDirectory, sub->type);
    EXPECT_EQ(0u, listing.Find("b.bin")->size);
    SYSTEMTIME shown;
    ASSERT_TRUE(COleDateTime(a->lastWriteTime).GetAsSystemTime(shown));
    EXPECT_EQ(2020, shown.wYear);
    EXPECT_EQ(3, shown.wMonth);
    // The listing gives the day without a time of day or zone: the local
    // conversion may move it by the zone's offset, never more.
    EXPECT_LE(std::fabs(a->lastWriteTime - COleDateTime(writtenUtc).m_dt), 1.0);
}

TEST(FtpListing, EmptyOrMissingDirectoryRaisesNoFiles)
{
    ConnectedFtp ftp;
    ftp.server.MakeDirectory("empty");
    CListing listing;
    EXPECT_EQ(WyFTPErrorNoFiles, WyErrorOf([&] { ftp.store.GetFileList("/empty", &listing); }));
    EXPECT_EQ(WyFTPErrorNoFiles, WyErrorOf([&] { ftp.store.GetFileList("/missing", &listing); }));
    EXPECT_TRUE(listing.entries.empty());
}

TEST(FtpFiles, GetFileSize)
{
    ConnectedFtp ftp;
    ftp.server.WriteFile("a.bin", std::string(70000, 'x'));
    EXPECT_EQ(70000u, ftp.store.GetFileSize("/a.bin"));
    EXPECT_EQ(70000u, ftp.store.GetFileSize("a.bin"));
    EXPECT_EQ(0xFFFFFFFFu, ftp.store.GetFileSize("/missing.bin"));
}

TEST(FtpFiles, CreateDirectoryRefusedRaisesTheReplyNumber)
{
    ConnectedFtp ftp;
    ftp.store.CreateDirectory("/new");
    EXPECT_TRUE(ftp.server.Exists("new"));
    try {
        ftp.store.CreateDirectory("/new");
        ADD_FAILURE() << "a second CreateDirectory raised nothing";
    } catch (const CInternetException& error) {
        // The number the Internet library gives with the server's reply
        // (under Wine 12003 itself).
        DWORD replyNumber = 0;
        char reply[1024] = "";
        DWORD length = sizeof reply;
        ASSERT_TRUE(InternetGetLastResponseInfoA(&replyNumber, reply, &length));
        EXPECT_EQ(replyNumber, error.m_dwError);
        EXPECT_EQ(0u, std::string(reply).rfind("550", 0)) << reply;
    }
}

TEST(FtpFiles, RemoveFile)
{
    ConnectedFtp ftp;
    ftp.server.WriteFile("a.txt", "a");
    ftp.store.RemoveFile("/a.txt");
    EXPECT_FALSE(ftp.server.Exists("a.txt"));
    EXPECT_SERVER_REFUSES(ftp.store.RemoveFile("/a.txt"), "550");
}

TEST(FtpFiles, RenameFileAndTheCurrentDirectory)
{
    ConnectedFtp ftp;
    ftp.server.MakeDirectory("old");
    ftp.server.WriteFile("old/a.txt", "a");
    ftp.store.RenameFile("/old/a.txt", "/old/b.txt");
    EXPECT_EQ("a", ftp.server.ReadFile("old/b.txt"));
    ftp.store.SetCurrentDirectory("/old");
    ftp.owner.directoryChanges.clear();
    ftp.store.RenameFile("/old", "/new");
    EXPECT_EQ("/new", ftp.owner.currentDirectory);
    EXPECT_EQ("/new", ftp.store.GetCurrentDirectory(FALSE));
    EXPECT_EQ((std::vector<std::string>{"/", "/new"}), ftp.owner.directoryChanges);
    EXPECT_TRUE(ftp.server.Exists("new/b.txt"));
    EXPECT_SERVER_REFUSES(ftp.store.RenameFile("/missing", "/other"), "550");
}

TEST(FtpFiles, RemoveDirectoryAndTheCurrentDirectory)
{
    ConnectedFtp ftp;
    ftp.server.MakeDirectory("pub");
    ftp.server.MakeDirectory("pub/x");
    ftp.server.WriteFile("pub/full.txt", "f");
    ftp.store.SetCurrentDirectory("/pub/x");
    ftp.store.RemoveDirectory("/pub/x");
    EXPECT_FALSE(ftp.server.Exists("pub/x"));
    EXPECT_EQ("/pub", ftp.owner.currentDirectory);
    EXPECT_EQ("/pub", ftp.store.GetCurrentDirectory(FALSE));
    EXPECT_SERVER_REFUSES(ftp.store.RemoveDirectory("/pub"), "550");  // not empty
    EXPECT_TRUE(ftp.server.Exists("pub/full.txt"));
}

TEST(FtpConnect, DisconnectAndConnectAgain)
{
    ConnectedFtp ftp;
    ftp.store.Disconnect();
    EXPECT_EQ(nullptr, ftp.store.GetConnection());
    EXPECT_EQ(WyFTPErrorNotConnected, WyErrorOf([&] { ftp.store.GetFileSize("a"); }));
    ftp.store.Connect(nullptr, nullptr, nullptr);
    EXPECT_EQ("/", ftp.store.GetCurrentDirectory(FALSE));
}

}  // namespace
