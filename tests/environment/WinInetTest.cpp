// The test environment end to end: WinInet under Wine against a fixture server.
#include "tests/fixture/FtpServer.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct InternetHandle {
    HINTERNET handle;
    ~InternetHandle() { if (handle) InternetCloseHandle(handle); }
};

std::string Bytes(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + 7) % 251);
    return bytes;
}

TEST(Environment, SystemCodePageIsShiftJis)
{
    EXPECT_EQ(932u, GetACP());
}

TEST(Environment, WinInetLogsInListsAndDownloads)
{
    FtpServer server;
    server.MakeDirectory("pub");
    const std::string content = Bytes(100000);
    server.WriteFile("pub/data.bin", content);
    server.WriteFile("pub/readme.txt", "hello");

    InternetHandle session{InternetOpenA("WyFTP tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)};
    ASSERT_NE(nullptr, session.handle);
    InternetHandle connection{InternetConnectA(session.handle, server.Host().c_str(), INTERNET_DEFAULT_FTP_PORT,
                                               FtpServer::kUser, FtpServer::kPassword, INTERNET_SERVICE_FTP, 0, 0)};
    ASSERT_NE(nullptr, connection.handle) << "login failed: " << GetLastError();

    WIN32_FIND_DATAA entry;
    InternetHandle finder{FtpFindFirstFileA(connection.handle, "/pub/*", &entry, INTERNET_FLAG_RELOAD, 0)};
    ASSERT_NE(nullptr, finder.handle) << GetLastError();
    std::set<std::string> names;
    do
        names.insert(entry.cFileName);
    while (InternetFindNextFileA(finder.handle, &entry));
    EXPECT_EQ((std::set<std::string>{"data.bin", "readme.txt"}), names);

    InternetHandle file{FtpOpenFileA(connection.handle, "/pub/data.bin", GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0)};
    ASSERT_NE(nullptr, file.handle) << GetLastError();
    std::string downloaded;
    char buffer[4096];
    DWORD read = 0;
    while (InternetReadFile(file.handle, buffer, sizeof buffer, &read) && read > 0)
        downloaded.append(buffer, read);
    EXPECT_EQ(content.size(), downloaded.size());
    EXPECT_TRUE(content == downloaded) << "downloaded bytes differ";
}

TEST(Environment, WrongPasswordIsRefused)
{
    FtpServer server;
    InternetHandle session{InternetOpenA("WyFTP tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)};
    InternetHandle connection{InternetConnectA(session.handle, server.Host().c_str(), INTERNET_DEFAULT_FTP_PORT,
                                               FtpServer::kUser, "wrong", INTERNET_SERVICE_FTP, 0, 0)};
    EXPECT_EQ(nullptr, connection.handle);
}

}  // namespace
