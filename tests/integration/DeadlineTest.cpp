// Servers that never end a call: the control ends it with a timeout, reports nothing partial, and works again.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <wininet.h>

#include <algorithm>
#include <utility>

namespace {

// The Timeout of these tests, in seconds: every wait here ends after it.
constexpr long kTimeout = 2;
constexpr size_t kFileSize = 200 * 1024;

void ConnectTo(const HostedControl& control, const FtpServer& server)
{
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"Timeout", kTimeout);
}

void ExpectTimeout(const HostedControl& control, const CallResult& result)
{
    ExpectRaised(control, result, kInternetErrorStatus, ERROR_INTERNET_TIMEOUT);
}

enum class Step { connect, list, download };

struct SilentServer {
    const char* kind;
    Step failingStep;
};

class ServerThatNeverEndsACall : public testing::TestWithParam<SilentServer> {};

TEST_P(ServerThatNeverEndsACall, TheCallEndsWithATimeoutAndTheControlWorksAgain)
{
    FtpServer server(GetParam().kind);
    server.MakeDirectory("pub");
    server.WriteFile("pub/big.bin", PatternBytes(kFileSize));
    ScratchDrive local;
    HostedControl control;
    ConnectTo(control, server);
    const CallResult connected = control.Call(L"Connect");
    if (GetParam().failingStep == Step::connect) {
        ExpectTimeout(control, connected);
        EXPECT_FALSE(control.sink.Received(kConnectedEvent));
    } else {
        ASSERT_EQ(S_OK, connected.hr) << control.LastMessage();
        if (GetParam().failingStep == Step::list) {
            // Not "no files" (20200), not the part of the listing that came.
            ExpectTimeout(control, control.Call(L"GetFileList", {"/pub"}));
        } else {
            control.Must(L"SetCurrentDirectory", {"/pub"});
            control.Must(L"SelectFile", {"big.bin"});
            ExpectTimeout(control, control.Call(L"GetFile", {local.Root().c_str()}));
            EXPECT_FALSE(PathExists(local.PathOf("big.bin")));
            EXPECT_FALSE(control.sink.Received(kTransferEndEvent));
        }
        // The server is out of step or gone: the next call fails at once
        // with the same error instead of waiting once more.
        ExpectTimeout(control, control.Call(L"GetCurrentDirectory", {0}));
    }
    FtpServer good;
    control.Must(L"DisConnect");
    control.SetProperty(L"ServerName", good.Host().c_str());
    control.Must(L"Connect");
    control.Must(L"CreateDirectory", {"/after"});
    EXPECT_TRUE(good.Exists("after"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, ServerThatNeverEndsACall,
                         testing::Values(SilentServer{"trickle-greeting", Step::connect},
                                         SilentServer{"silent-after-login", Step::connect},
                                         SilentServer{"trickle-list", Step::list},
                                         SilentServer{"no-list-reply", Step::list},
                                         SilentServer{"hang-download", Step::download},
                                         SilentServer{"trickle-download", Step::download}),
                         [](const auto& info) {
                             std::string name = info.param.kind;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// The control to abort from the timer (a timer procedure has no context).
const HostedControl* g_abortTarget = nullptr;

void CALLBACK AbortFromTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (g_abortTarget)
        g_abortTarget->Call(L"AbortTransfer");
}

TEST(SlowServer, AnHonestSlowLinkKeepsWorkingAndAnAbortEndsItMidChunk)
{
    FtpServer server("slow-download");
    server.WriteFile("slow.bin", PatternBytes(40 * 1024, 6));
    server.WriteFile("long.bin", PatternBytes(kFileSize, 7));
    ScratchDrive local;
    HostedControl control;
    ConnectTo(control, server);
    control.SetProperty(L"TransferByte", 16L);
    control.Must(L"Connect");
    control.Must(L"SelectFile", {"slow.bin"});
    // 10 KB/s for four seconds, with a Timeout of two: the pace is what counts.
    control.Must(L"GetFile", {local.Root().c_str()});
    EXPECT_TRUE(PatternBytes(40 * 1024, 6) == ReadBytes(local.PathOf("slow.bin")));

    // An abort asked for while a chunk of 16 KB is still arriving ends the
    // transfer there: one progress event, not two.
    control.Must(L"SelectFile", {"long.bin"});
    control.sink.events.clear();
    g_abortTarget = &control;
    bool armed = false;
    control.sink.onProgress = [&armed](long) {
        if (!std::exchange(armed, true))
            SetTimer(nullptr, 0, 300, AbortFromTimer);
    };
    ExpectOwnError(control, control.Call(L"GetFile", {local.Root().c_str()}), 20202, "ファイルの転送が中断されました");
    g_abortTarget = nullptr;
    EXPECT_EQ(1u, control.sink.Progress().size());
    EXPECT_FALSE(PathExists(local.PathOf("long.bin")));
    // The connection is back in step with the server and goes on working.
    Variant files = control.Must(L"GetFileList", {"/"});
    EXPECT_EQ(2, Get(files.AsDispatch(), L"Count").AsLong());
}

}  // namespace
