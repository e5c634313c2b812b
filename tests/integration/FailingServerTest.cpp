// Servers that fail in the middle of a transfer, refuse a login or are not there: the errors a host sees, and recovery.
#include <winsock2.h>

#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <wininet.h>

#include <cstring>

namespace {

constexpr size_t kBigFile = 300000;

std::string UrlOf(const FtpServer& server, const std::string& path)
{
    return "ftp://" + server.Host() + path + "?uid=" + FtpServer::kUser + "&pw=" + FtpServer::kPassword;
}

// After a failed transfer: an Internet error with a number and a text, the
// progress events of what arrived before the failure, and no TransferEnd.
void ExpectInternetFailure(const char* kind, const HostedControl& control, const CallResult& result)
{
    ExpectRaised(control, result, kInternetErrorStatus);
    EXPECT_NE(0, control.LastError());
    EXPECT_NE("", control.LastMessage());
    if (std::strcmp(kind, "drop-download") == 0) {
        // The server ended the transfer with an error reply.
        EXPECT_EQ(ERROR_INTERNET_EXTENDED_ERROR, control.LastError());
    } else if (std::strcmp(kind, "vanish-download") == 0) {
        // No reply at all: only the listed size shows the file was cut off.
        EXPECT_EQ(ERROR_INTERNET_CONNECTION_ABORTED, control.LastError()) << control.LastMessage();
    }
    const std::vector<long> progress = control.sink.Progress();
    EXPECT_FALSE(progress.empty());
    if (!progress.empty()) {
        EXPECT_LT(progress.back(), static_cast<long>(kBigFile));
    }
    EXPECT_FALSE(control.sink.Received(kTransferEndEvent));
}

// The control is usable again once the host disconnects and connects to a
// good server.
void ExpectUsableAfterReconnecting(const HostedControl& control, const ScratchDrive& local)
{
    FtpServer good;
    control.Must(L"DisConnect");
    control.SetProperty(L"ConnectTarget", 1);
    control.SetProperty(L"ServerName", good.Host().c_str());
    control.Must(L"Connect");
    WriteBytes(local.PathOf("after.bin"), PatternBytes(5000, 9));
    control.Must(L"PutFile", {local.PathOf("after.bin").c_str()});
    EXPECT_TRUE(PatternBytes(5000, 9) == good.ReadFile("after.bin"));
    Variant files = control.Must(L"GetFileList", {"/"});
    EXPECT_EQ(1, Get(files.AsDispatch(), L"Count").AsLong());
}

class FailingServer : public testing::TestWithParam<const char*> {};

// Downloading onto the local disk from a server named by an ftp URL.
TEST_P(FailingServer, DownloadToTheLocalDiskFailsWithAnInternetError)
{
    FtpServer failing(GetParam());
    failing.WriteFile("big.bin", PatternBytes(kBigFile));
    ScratchDrive local;
    HostedControl control;
    control.SetProperty(L"ConnectTarget", 0);
    control.SetProperty(L"ServerName", local.Root().c_str());
    control.SetProperty(L"TransferByte", 4);
    control.Must(L"Connect");
    control.sink.events.clear();

    ExpectInternetFailure(GetParam(), control, control.Call(L"PutFile", {UrlOf(failing, "/big.bin").c_str()}));
    if (std::strcmp(GetParam(), "drop-download") == 0) {
        // The failing server's "426" reply is the message.
        EXPECT_EQ(0u, control.LastMessage().rfind("426", 0)) << control.LastMessage();
    }
    // The partial download was deleted.
    EXPECT_FALSE(PathExists(local.PathOf("big.bin")));
    ExpectUsableAfterReconnecting(control, local);
}

// Relaying from that server into the FTP server the control is connected to.
TEST_P(FailingServer, RelayFromItFailsWithAnInternetError)
{
    FtpServer failing(GetParam());
    failing.WriteFile("big.bin", PatternBytes(kBigFile));
    FtpServer here;
    ScratchDrive local;
    HostedControl control;
    control.SetProperty(L"ServerName", here.Host().c_str());
    control.SetProperty(L"TransferByte", 4);
    control.Must(L"Connect");
    control.sink.events.clear();

    ExpectInternetFailure(GetParam(), control, control.Call(L"PutFile", {UrlOf(failing, "/big.bin").c_str()}));
    ExpectUsableAfterReconnecting(control, local);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FailingServer, testing::Values("drop-download", "vanish-download", "stall-download"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name.erase(name.find('-'), 1);
                             return name;
                         });

TEST(FailingRelay, ErrorReplyOfTheSourceServerIsTheMessage)
{
    FtpServer failing("drop-download");
    failing.WriteFile("big.bin", PatternBytes(kBigFile));
    FtpServer here;
    HostedControl control;
    control.SetProperty(L"ServerName", here.Host().c_str());
    control.SetProperty(L"TransferByte", 4);
    control.Must(L"Connect");
    ExpectRaised(control, control.Call(L"PutFile", {UrlOf(failing, "/big.bin").c_str()}), kInternetErrorStatus,
                 ERROR_INTERNET_EXTENDED_ERROR);
    // The reply of the server that broke the transfer off, not the "226"
    // with which the server the file was going to closed its side.
    EXPECT_EQ(0u, control.LastMessage().rfind("426", 0)) << control.LastMessage();
}

TEST(FailingUpload, ServerThatRefusesTheUploadAtItsEndGivesItsReply)
{
    FtpServer server("refuse-upload");
    ScratchDrive local;
    HostedControl control;
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"TransferByte", 4);
    control.Must(L"Connect");
    WriteBytes(local.PathOf("up.bin"), PatternBytes(10000));
    CallResult result = control.Call(L"PutFile", {local.PathOf("up.bin").c_str()});
    // Every byte went out, but the upload failed: not a success.
    ExpectRaised(control, result, kInternetErrorStatus, ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_EQ(0u, control.LastMessage().rfind("452", 0)) << control.LastMessage();
    EXPECT_EQ((std::vector<long>{4096, 8192, 10000}), control.sink.Progress());
    EXPECT_FALSE(control.sink.Received(kTransferEndEvent));
    // The connection goes on working.
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
    control.Must(L"CreateDirectory", {"/after"});
    EXPECT_TRUE(server.Exists("after"));
}

TEST(FailingLogin, RefusedLoginIsRaisedByConnect)
{
    FtpServer server;
    HostedControl control;
    CallResult result = control.Call(L"Connect", {server.Host().c_str(), FtpServer::kUser, "wrong"});
    ExpectRaised(control, result, kInternetErrorStatus);
    // Windows gives the login failure its own number; Wine's FTP client does too.
    EXPECT_EQ(ERROR_INTERNET_LOGIN_FAILURE, control.LastError()) << control.LastMessage();
    EXPECT_NE("", control.LastMessage());
    EXPECT_FALSE(control.sink.Received(kConnectedEvent));
    // The store stays until the host disconnects.
    ExpectOwnError(control, control.Call(L"Connect"), 20100, "コネクションオブジェクトはすでに存在しています");
    control.Must(L"DisConnect");
    control.Must(L"Connect", {server.Host().c_str(), FtpServer::kUser, FtpServer::kPassword});
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
}

// True when nothing accepts connections on port 21 of address.
bool NothingListensOn(const std::string& address)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in target = {};
    target.sin_family = AF_INET;
    target.sin_port = htons(21);
    target.sin_addr.s_addr = inet_addr(address.c_str());
    const bool refused = connect(probe, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0;
    closesocket(probe);
    WSACleanup();
    return refused;
}

TEST(FailingLogin, AddressWithoutAServerIsRaisedByConnect)
{
    // Outside the fixture's range of addresses (127.0.0.2 to 254).
    const std::string nowhere = "127.0.1.254";
    ASSERT_TRUE(NothingListensOn(nowhere)) << "something answers on " << nowhere;
    HostedControl control;
    control.SetProperty(L"ServerName", nowhere.c_str());
    CallResult result = control.Call(L"Connect");
    ExpectRaised(control, result, kInternetErrorStatus, ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_NE("", control.LastMessage());
    EXPECT_FALSE(control.sink.Received(kConnectedEvent));
}

TEST(FailingServer, AListingTheServerCutsOffIsAnErrorNotAShortList)
{
    FtpServer server("drop-list");
    server.MakeDirectory("pub");
    for (int i = 0; i < 300; ++i)
        server.WriteFile("pub/file-" + std::to_string(i) + ".txt", "x");
    HostedControl control;
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.Must(L"Connect");
    // The server sends 4 KiB of the listing and replies 426.
    const CallResult listing = control.Call(L"GetFileList", {"/pub"});
    ExpectRaised(control, listing, kInternetErrorStatus);
    EXPECT_EQ(ERROR_INTERNET_EXTENDED_ERROR, control.LastError());
    EXPECT_NE(std::string::npos, control.LastMessage().find("426")) << control.LastMessage();
    // Whole listings of the same server still count.
    server.WriteFile("top.txt", "t");
    EXPECT_EQ(S_OK, control.Call(L"GetFileList", {"/"}).hr);
}

}  // namespace
