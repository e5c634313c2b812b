// The FTP server fixture: separate addresses, fresh roots, stopped when released.
#include <winsock2.h>

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

namespace {

// The whole greeting of the server at host:port (every line up to "220 "),
// or what came before the connection ended or a read waited 10 s.
std::string Greeting(const std::string& host, int port)
{
    SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = inet_addr(host.c_str());
    DWORD timeout = 10000;
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string text;
    if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        char ch;
        std::string line;
        while (recv(socket, &ch, 1, 0) == 1) {
            text += ch;
            line += ch;
            if (ch != '\n')
                continue;
            if (line.compare(0, 4, "220 ") == 0)
                break;
            line.clear();
        }
    }
    closesocket(socket);
    return text;
}

std::string LoggedInDirectory(const FtpServer& server, const char* user, const char* password)
{
    HINTERNET session = InternetOpenA("WyFTP tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(session, server.Host().c_str(), static_cast<INTERNET_PORT>(server.Port()),
                                            user, password, INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
    std::string directory = "(no login)";
    if (connection) {
        char buffer[MAX_PATH] = "(no directory)";
        DWORD length = sizeof buffer;
        FtpGetCurrentDirectoryA(connection, buffer, &length);
        directory = buffer;
        InternetCloseHandle(connection);
    }
    InternetCloseHandle(session);
    return directory;
}

TEST(FtpServerFixture, OtherServersGreetLogInAtTheRootAndServeTheirTree)
{
    struct Kind {
        const char* name;
        const char* greeting;   // part of the server's greeting
        const char* rootEntry;  // a name the daemon put in the root
    };
    const Kind kinds[] = {
        {"proftpd", "ProFTPD", "a b"},
        {"proftpd-nomlsd", "ProFTPD", "a b"},
        {"pure-ftpd", "Pure-FTPd", "a b"},
        {"inetutils", "GNU inetutils", "a b"},
        {"replay", "WyFTP replay", "dos"},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        FtpServer server(kind.name, FtpServer::kAnyPort);
        EXPECT_EQ("127.0.0.1", server.Host());
        const std::string greeting = Greeting(server.Host(), server.Port());
        EXPECT_EQ(0u, greeting.find("220")) << greeting;
        EXPECT_NE(std::string::npos, greeting.find(kind.greeting)) << greeting;
        EXPECT_EQ("/", LoggedInDirectory(server, "anonymous", "guest@example.com"));
        EXPECT_EQ("/", LoggedInDirectory(server, FtpServer::kUser, FtpServer::kPassword));
        EXPECT_TRUE(server.Exists(kind.rootEntry)) << server.Root() << "\\" << kind.rootEntry;
    }
}

}  // namespace
