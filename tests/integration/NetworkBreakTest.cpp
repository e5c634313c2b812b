// Calls over a network that drops connections: reconnects, keep-alive between calls and during transfers, and the protocol trace.
#include "tests/integration/HostSupport.h"

#include "tests/control/WindowTestSupport.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"
#include "tests/fixture/TrustTestAuthority.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <string>
#include <vector>

namespace {

void Connect(HostedControl& control, const FtpServer& server, long reconnectSeconds, long keepAliveSeconds = 0,
             long securityMode = 0, long timeoutSeconds = 2)
{
    PointAt(control, server);
    if (!server.SpeaksSsh()) {
        // The name the test certificates are made out to.
        control.SetProperty(L"ConnectTarget", 1L);
        control.SetProperty(L"ServerName", "localhost");
    }
    control.SetProperty(L"Port", static_cast<long>(server.Port()));
    control.SetProperty(L"PassiveMode", true);
    control.SetProperty(L"SecurityMode", securityMode);
    control.SetProperty(L"Timeout", timeoutSeconds);
    control.SetProperty(L"ReconnectTime", reconnectSeconds);
    control.SetProperty(L"KeepAliveInterval", keepAliveSeconds);
    control.Must(L"Connect");
}

// The arguments of every event id the sink recorded.
std::vector<std::vector<Variant>> EventsOf(const HostEventSink& sink, DISPID id)
{
    std::vector<std::vector<Variant>> found;
    for (const HostEvent& event : sink.events) {
        if (event.id == id)
            found.push_back(event.args);
    }
    return found;
}

size_t CountLogged(const FtpServer& server, const std::string& line)
{
    size_t count = 0;
    for (const std::string& logged : server.Commands())
        count += logged == line;
    return count;
}

class NetworkBreak : public testing::Test {
protected:
    static void SetUpTestSuite() { TrustTestAuthority(); }
};

}  // namespace

TEST_F(NetworkBreak, ACallAfterTheServerDroppedTheConnectionReconnectsFirstAndKeepsTheViews)
{
    FtpServer server("normal", FtpServer::kBehindFaultProxy);
    server.MakeDirectory("sub");
    server.WriteFile("sub/a.txt", "a");
    server.WriteFile("sub/b.txt", "b");
    for (const long reconnectSeconds : {0L, 10L}) {
        SCOPED_TRACE(reconnectSeconds);
        HostedControl control;
        Connect(control, server, reconnectSeconds);
        control.Must(L"SetCurrentDirectory", {"/sub"});
        control.Must(L"SelectFile", {"b.txt"});
        control.sink.events.clear();
        server.ForgetCommands();

        server.SetFault("drop-control");
        const CallResult listed = control.Call(L"GetFileList", {"/sub"});
        server.SetFault("none");
        if (reconnectSeconds == 0) {
            ExpectRaised(control, listed, kInternetErrorStatus, ERROR_INTERNET_CONNECTION_ABORTED);
            continue;
        }
        ASSERT_TRUE(SUCCEEDED(listed.hr)) << control.LastMessage();
        const auto reconnects = EventsOf(control.sink, kReconnectingEvent);
        ASSERT_EQ(1u, reconnects.size());
        EXPECT_EQ(1, reconnects[0].at(0).AsLong());
        EXPECT_EQ(static_cast<long>(ERROR_INTERNET_CONNECTION_ABORTED), reconnects[0].at(1).AsLong());
        // The new session goes back where the old one was; the control
        // keeps its directory and selection.
        EXPECT_EQ(1u, CountLogged(server, "CWD /sub"));
        EXPECT_EQ("/sub", control.Must(L"GetCurrentDirectory", {0L}).AsText());
        EXPECT_EQ("b.txt", control.Must(L"GetCurrentFile", {0L}).AsText());
    }
}

TEST_F(NetworkBreak, AServerGoneForGoodFailsOnceTheReconnectTimeHasPassed)
{
    FtpServer server("normal", FtpServer::kBehindFaultProxy);
    HostedControl control;
    Connect(control, server, 1, 0, 0, 1);
    server.SetFault("down");
    const ULONGLONG start = GetTickCount64();
    ExpectRaised(control, control.Call(L"GetFileList", {"/"}), kInternetErrorStatus,
                 ERROR_INTERNET_CONNECTION_ABORTED);
    // ReconnectTime (1 s) and one Timeout (1 s) for the last attempt, with room for a slow machine.
    EXPECT_LT(GetTickCount64() - start, 5000u);
    // Attempts at once, after 0.25 s and 0.5 s, and at the end.
    EXPECT_LE(3u, EventsOf(control.sink, kReconnectingEvent).size());
}

TEST_F(NetworkBreak, KeepAliveHoldsAConnectionThatARouterWouldDropWhenIdle)
{
    // The proxy forgets a connection silent for 2 s; an upload paced to take
    // 2.4 s or more leaves the control connection silent all along, while the
    // control sends and while it waits for the server to take it all in.
    const struct {
        const char* kind;
        const char* directory;
        long keepAliveSeconds;
        bool succeeds;
    } cases[] = {
        {"normal", "/", 1, true},  // answers NOOP at once
        {"vsftpd", "/pub/", 1, true},  // answers NOOP after the transfer
        {"normal", "/", 0, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.kind) + " " + std::to_string(test.keepAliveSeconds));
        FtpServer server(test.kind, FtpServer::kBehindFaultProxy);
        const std::string remote = std::string(test.directory).substr(1);
        HostedControl control;
        Connect(control, server, 0, test.keepAliveSeconds, 0, 10);
        control.Must(L"SetCurrentDirectory", {test.directory});
        ScratchDrive drive;
        WriteBytes(drive.PathOf("big.bin"), PatternBytes(3 << 19));
        server.SetFault("delay 100");
        server.SetFault("idle-drop 2");
        const CallResult got = control.Call(L"PutFile", {drive.PathOf("big.bin").c_str()});
        server.SetFault("none");
        if (!test.succeeds) {
            ExpectRaised(control, got, kInternetErrorStatus, ERROR_INTERNET_CONNECTION_ABORTED);
            continue;
        }
        ASSERT_TRUE(SUCCEEDED(got.hr)) << control.LastMessage();
        EXPECT_TRUE(PatternBytes(3 << 19) == server.ReadFile(remote + "big.bin"));
        EXPECT_LE(2u, CountLogged(server, "NOOP"));
        // Every reply was read: the connection goes on in step.
        control.Must(L"GetFileList", {test.directory});
    }
}

TEST_F(NetworkBreak, BetweenCallsTheControlsWindowKeepsAnIdleConnectionAlive)
{
    // NOOP on FTP, SSH's own keep-alive on SFTP; without a reconnect, the
    // connection itself must have lived.
    for (const char* kind : {"normal", "openssh"}) {
        SCOPED_TRACE(kind);
        FtpServer server(kind, FtpServer::kBehindFaultProxy);
        server.WriteFile("a.txt", "a");
        HostedControl control;
        Connect(control, server, 0, 1);
        server.SetFault("idle-drop 2");
        server.ForgetCommands();
        // Longer than the proxy lets a silent connection live, pumping as a host's message loop does.
        const ULONGLONG until = GetTickCount64() + 2500;
        while (GetTickCount64() < until) {
            PumpMessages();
            Sleep(20);
        }
        control.Must(L"GetFileList", {"/"});
        if (!server.SpeaksSsh())
            EXPECT_LE(1u, CountLogged(server, "NOOP"));
    }
}

TEST_F(NetworkBreak, TheTraceHoldsTheConversationButNeverThePassword)
{
    for (const long securityMode : {0L, 1L}) {
        SCOPED_TRACE(securityMode);
        FtpServer server(securityMode ? "tls" : "normal", FtpServer::kBehindFaultProxy);
        server.WriteFile("a.txt", "a");
        ScratchDrive drive;
        const std::string traceFile = drive.PathOf("trace.log");
        HostedControl control;
        control.SetProperty(L"EnableProtocolTrace", true);
        control.SetProperty(L"TraceFile", traceFile.c_str());
        control.SetProperty(L"UserName", "wyuser");
        control.SetProperty(L"Password", "wypass");
        Connect(control, server, 0, 0, securityMode);
        control.Must(L"GetFileList", {"/"});
        control.Must(L"DisConnect");

        std::vector<std::string> lines;
        for (const auto& args : EventsOf(control.sink, kProtocolTraceEvent))
            lines.push_back(args.at(0).AsText());
        const auto has = [&lines](const std::string& start) {
            for (const std::string& line : lines) {
                if (line.compare(0, start.size(), start) == 0)
                    return true;
            }
            return false;
        };
        EXPECT_TRUE(has("--- 接続 localhost:" + std::to_string(server.Port())));
        EXPECT_EQ(securityMode != 0, has("--- TLS"));
        for (const char* expected : {"220", "USER wyuser", "PASS ****", "230", "MLSD /", "--- データ接続", "226",
                                     "QUIT", "--- 切断"})
            EXPECT_TRUE(has(expected)) << expected;
        // The file holds the same lines, each after its time.
        const std::string file = ReadBytes(traceFile);
        EXPECT_EQ(std::string::npos, file.find("wypass"));
        size_t start = 0;
        for (const std::string& line : lines) {
            EXPECT_EQ(std::string::npos, line.find("wypass"));
            const size_t end = file.find("\r\n", start);
            ASSERT_NE(std::string::npos, end);
            ASSERT_LT(24u, end - start);
            EXPECT_EQ(line, file.substr(start + 24, end - start - 24));
            EXPECT_EQ(':', file[start + 13]);
            start = end + 2;
        }
        EXPECT_EQ(file.size(), start);
    }
}
