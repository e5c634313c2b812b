// Transfers whose data connection is cut: a short file never counts as whole, and with ReconnectTime it goes on from where it broke.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"
#include "tests/fixture/TrustTestAuthority.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Larger than the cut, small enough for the sockets' buffers to take it all
// before the cut, so that the server confirms the transfer.
constexpr size_t kFileSize = 3 << 20;
constexpr const char* kCut = "cut-data 1000000";
constexpr long kSizeMismatch = 20204;
const char* const kSizeMismatchText = "転送したバイト数がファイルのサイズと一致しません";

// Connected through the fault proxy of server; the certificates name the
// server "localhost".
void Connect(const HostedControl& control, const FtpServer& server, long securityMode, long reconnectSeconds = 0)
{
    control.SetProperty(L"ConnectTarget", 1L);
    control.SetProperty(L"ServerName", "localhost");
    control.SetProperty(L"Port", static_cast<long>(server.Port()));
    control.SetProperty(L"PassiveMode", true);
    control.SetProperty(L"SecurityMode", securityMode);
    control.SetProperty(L"TransferByte", 64L);
    control.SetProperty(L"Timeout", 5L);
    control.SetProperty(L"ReconnectTime", reconnectSeconds);
    control.Must(L"Connect");
}

class CutTransfer : public testing::Test {
protected:
    static void SetUpTestSuite() { TrustTestAuthority(); }
};

}  // namespace

TEST_F(CutTransfer, DownloadsAndUploadsCutShortFailEvenWhenTheServerConfirmsThem)
{
    // Over TLS the servers see an upload end without close_notify and
    // refuse it themselves; pyftpdlib then waits for the rest of the record
    // without answering, so its upload is not cut.
    const struct {
        const char* kind;
        long securityMode;
        const char* directory;  // where the account may write
        long cutUpload;         // the error of an upload cut short; 0: not cut
        SCODE cutUploadStatus;
    } cases[] = {
        {"normal", 0, "/", kSizeMismatch, kOwnErrorStatus},
        {"vsftpd", 0, "/pub/", kSizeMismatch, kOwnErrorStatus},
        {"tls", 1, "/", 0, 0},
        {"vsftpd-tls", 1, "/pub/", ERROR_INTERNET_EXTENDED_ERROR, kInternetErrorStatus},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.kind);
        FtpServer server(test.kind, FtpServer::kBehindFaultProxy);
        const std::string remote = std::string(test.directory).substr(1);
        server.WriteFile(remote + "big.bin", PatternBytes(kFileSize));
        HostedControl control;
        Connect(control, server, test.securityMode);
        control.Must(L"SetCurrentDirectory", {test.directory});
        control.Must(L"SelectFile", {"big.bin"});
        ScratchDrive drive;
        WriteBytes(drive.PathOf("up.bin"), PatternBytes(kFileSize, 2));

        server.SetFault(kCut);
        ExpectOwnError(control, control.Call(L"GetFile", {drive.Root().c_str()}), kSizeMismatch, kSizeMismatchText);
        EXPECT_FALSE(PathExists(drive.PathOf("big.bin")));
        // The connection stays in step: the upload goes on the same one.
        if (test.cutUpload != 0) {
            ExpectRaised(control, control.Call(L"PutFile", {drive.PathOf("up.bin").c_str()}), test.cutUploadStatus,
                         test.cutUpload);
            EXPECT_GT(kFileSize, server.ReadFile(remote + "up.bin").size());
        }

        server.SetFault("none");
        control.Must(L"GetFile", {drive.Root().c_str()});
        EXPECT_TRUE(PatternBytes(kFileSize) == ReadBytes(drive.PathOf("big.bin")));
        control.Must(L"PutFile", {drive.PathOf("up.bin").c_str()});
        EXPECT_TRUE(PatternBytes(kFileSize, 2) == server.ReadFile(remote + "up.bin"));
    }
}

TEST_F(CutTransfer, FilesNamedByUrlsAndRelayedBetweenServersAreHeldToTheirSizeToo)
{
    FtpServer cut("normal", FtpServer::kBehindFaultProxy);
    cut.WriteFile("big.bin", PatternBytes(kFileSize));
    FtpServer other("normal", FtpServer::kAnyPort);
    cut.SetFault(kCut);
    const std::string source = "ftp://localhost:" + std::to_string(cut.Port()) + "/big.bin?uid=anonymous&pw=x";

    // A download onto the local disk from a URL: the server's SIZE answer.
    ScratchDrive drive;
    HostedControl local;
    local.SetProperty(L"ConnectTarget", 0L);
    local.SetProperty(L"ServerName", drive.Root().c_str());
    local.SetProperty(L"PassiveMode", true);
    local.Must(L"Connect");
    ExpectOwnError(local, local.Call(L"PutFile", {source.c_str()}), kSizeMismatch, kSizeMismatchText);
    EXPECT_FALSE(PathExists(drive.PathOf("big.bin")));

    // A relay from the cut server to another one.
    HostedControl relay;
    relay.SetProperty(L"ServerName", "127.0.0.1");
    relay.SetProperty(L"Port", static_cast<long>(other.Port()));
    relay.SetProperty(L"PassiveMode", true);
    relay.Must(L"Connect");
    ExpectOwnError(relay, relay.Call(L"PutFile", {source.c_str()}), kSizeMismatch, kSizeMismatchText);
}

TEST_F(CutTransfer, WithReconnectTimeDownloadsAndUploadsGoOnFromWhereTheyBroke)
{
    // resumed: the REST line the server must log for a transfer that goes
    // on from the cut; "" for one that must start again (RETR or STOR twice).
    const struct {
        const char* kind;
        long securityMode;
        const char* directory;
        const char* fault;
        const char* downloadResumed;
        const char* uploadResumed;
    } cases[] = {
        {"normal", 0, "/", "cut-next 1000000", "REST 1000000", "REST 1000000"},
        {"normal", 0, "/", "reset-next 1200000", "REST", ""},
        {"vsftpd", 0, "/pub/", "cut-next 1000000", "REST 1000000", "REST 1000000"},
        {"tls", 1, "/", "reset-next 1000000", "REST", ""},
        {"vsftpd-tls", 1, "/pub/", "cut-next 1000000", "REST", "REST"},
        {"no-rest", 0, "/", "cut-next 1000000", "", "APPE"},
        {"no-resume", 0, "/", "cut-next 1000000", "", ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.kind) + " " + test.fault);
        FtpServer server(test.kind, FtpServer::kBehindFaultProxy);
        const std::string remote = std::string(test.directory).substr(1);
        server.WriteFile(remote + "big.bin", PatternBytes(kFileSize));
        HostedControl control;
        Connect(control, server, test.securityMode, 30);
        control.Must(L"SetCurrentDirectory", {test.directory});
        control.Must(L"SelectFile", {"big.bin"});
        ScratchDrive drive;
        WriteBytes(drive.PathOf("up.bin"), PatternBytes(kFileSize, 2));

        const auto transfer = [&](const wchar_t* method, const std::string& argument, const char* verb,
                                  const char* resumed) {
            SCOPED_TRACE(verb);
            // vsftpd keeps its log open: the lines of this call are those after the last.
            const size_t before = server.Commands().size();
            control.sink.events.clear();
            server.SetFault(test.fault);
            control.Must(method, {argument.c_str()});
            server.SetFault("none");
            std::vector<std::string> lines = server.Commands();
            lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(before));
            const auto logged = [&lines](const std::string& start) {
                return std::count_if(lines.begin(), lines.end(),
                                     [&start](const std::string& line) { return line.compare(0, start.size(), start) == 0; });
            };
            const std::string expected = resumed;
            if (expected == "APPE") {
                EXPECT_EQ(1, logged("APPE")) << ::testing::PrintToString(lines);
            } else if (expected.empty()) {
                EXPECT_EQ(2, logged(verb)) << ::testing::PrintToString(lines);
            } else {
                // Gone on from the cut: one REST after it, and the transfer once more.
                EXPECT_EQ(1, logged(expected)) << ::testing::PrintToString(lines);
                EXPECT_EQ(0, logged("REST 0"));
                EXPECT_EQ(2, logged(verb));
            }
            // Progress ends at the file's size, in order unless it started again.
            const std::vector<long> progress = control.sink.Progress();
            ASSERT_FALSE(progress.empty());
            EXPECT_EQ(static_cast<long>(kFileSize), progress.back());
            if (!expected.empty()) {
                EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
            }
        };
        transfer(L"GetFile", drive.Root(), "RETR", test.downloadResumed);
        EXPECT_TRUE(PatternBytes(kFileSize) == ReadBytes(drive.PathOf("big.bin")));
        transfer(L"PutFile", drive.PathOf("up.bin"), "STOR", test.uploadResumed);
        EXPECT_TRUE(PatternBytes(kFileSize, 2) == server.ReadFile(remote + "up.bin"));
    }
}
