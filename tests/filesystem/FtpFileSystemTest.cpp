// CWyFTPFileSystem against a real server: what the control-level suite cannot reach (argument rules, refusals, long paths).
#include "filesystem/WyFTPFileSystem.h"

#include "filesystem/SystemErrorText.h"
#include "filesystem/FtpConnection.h"
#include "framework/InternetException.h"
#include "tests/filesystem/FileStoreTestKit.h"
#include "tests/fixture/FtpServer.h"

#include <wininet.h>

#include <gtest/gtest.h>

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
    try {
        store.Connect(nullptr, nullptr, nullptr);
        ADD_FAILURE() << "Connect raised nothing";
    } catch (const CInternetException& error) {
        ASSERT_EQ(static_cast<DWORD>(ERROR_INTERNET_EXTENDED_ERROR), error.m_dwError);
        EXPECT_EQ(0u, error.m_strServerReply.rfind("550", 0)) << error.m_strServerReply;
    }
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

TEST(FtpNavigation, SameDirectoryDoesNothingEvenWhenTheServerIsElsewhere)
{
    ConnectedFtp ftp;
    ftp.server.MakeDirectory("pub");
    ftp.store.GetConnection()->SetCurrentDirectory("/pub");
    ftp.store.SetCurrentDirectory("/");
    EXPECT_TRUE(ftp.owner.directoryChanges.empty());
    EXPECT_EQ("/pub", ftp.store.GetCurrentDirectory(FALSE));
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

TEST(FtpListing, EmptyOrMissingDirectoryRaisesNoFiles)
{
    ConnectedFtp ftp;
    ftp.server.MakeDirectory("empty");
    CListing listing;
    EXPECT_EQ(WyFTPErrorNoFiles, WyErrorOf([&] { ftp.store.GetFileList("/empty", &listing); }));
    EXPECT_EQ(WyFTPErrorNoFiles, WyErrorOf([&] { ftp.store.GetFileList("/missing", &listing); }));
    EXPECT_TRUE(listing.entries.empty());
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
