// The FTP server fixture: separate addresses, fresh roots, stopped when released.
#include "tests/fixture/FtpServer.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool CanLogIn(const std::string& host)
{
    HINTERNET session = InternetOpenA("WyFTP tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(session, host.c_str(), INTERNET_DEFAULT_FTP_PORT, "anonymous",
                                            "guest@example.com", INTERNET_SERVICE_FTP, 0, 0);
    const bool ok = connection != nullptr;
    if (connection)
        InternetCloseHandle(connection);
    InternetCloseHandle(session);
    return ok;
}

TEST(FtpServerFixture, ServersGetTheirOwnAddressAndRoot)
{
    FtpServer first;
    FtpServer second;
    EXPECT_NE(first.Host(), second.Host());
    EXPECT_NE(first.Root(), second.Root());
    EXPECT_EQ(0u, first.Host().rfind("127.0.0.", 0)) << first.Host();
    first.WriteFile("only-in-first.txt", "1");
    EXPECT_TRUE(first.Exists("only-in-first.txt"));
    EXPECT_FALSE(second.Exists("only-in-first.txt"));
    EXPECT_EQ("1", first.ReadFile("only-in-first.txt"));
}

TEST(FtpServerFixture, ReleasedServerIsStoppedAndItsRootRemoved)
{
    std::string host;
    std::string root;
    {
        FtpServer server;
        host = server.Host();
        root = server.Root();
        server.WriteFile("a.txt", "a");
        ASSERT_TRUE(CanLogIn(host));
    }
    // The daemon stops the server as soon as the control connection closes;
    // give it a moment to finish.
    for (int i = 0; i < 100 && GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(root.c_str()));
    EXPECT_FALSE(CanLogIn(host));
}

TEST(FtpServerFixture, UnknownKindIsRefusedWithAMessage)
{
    try {
        FtpServer server("no-such-kind");
        FAIL() << "started a server of an unknown kind";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(nullptr, std::strstr(error.what(), "usage")) << error.what();
    }
}

}  // namespace

namespace {

TEST(FtpServerFixture, AServerCanListenOnAFreePortOfTheFirstLoopbackAddress)
{
    FtpServer server("normal", FtpServer::kAnyPort);
    EXPECT_EQ("127.0.0.1", server.Host());
    EXPECT_NE(21, server.Port());
    HINTERNET session = InternetOpenA("WyFTP tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(session, server.Host().c_str(), static_cast<INTERNET_PORT>(server.Port()),
                                            "anonymous", "guest@example.com", INTERNET_SERVICE_FTP, 0, 0);
    EXPECT_NE(nullptr, connection);
    if (connection)
        InternetCloseHandle(connection);
    InternetCloseHandle(session);
}

}  // namespace
