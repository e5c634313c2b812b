// Real servers that fail in the middle of a call, or never end one: the error a host sees, nothing partial kept, and recovery.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <wininet.h>

#include <utility>

namespace {

constexpr size_t kBigFile = 300000;
// The Timeout of these tests, in seconds: every wait here ends after it.
constexpr long kTimeout = 2;

enum class Step { download, relay, upload, list };

// The failures of the protocol are tested byte for byte in tests/ftp; here
// one real server of each kind that fails differently shows what the host
// sees.
TEST(FailingServer, EachFailureReachesTheHostAsTheServerCausedItAndNothingPartialCounts)
{
    const struct {
        const char* kind;
        Step step;
        long error;
        const char* reply;  // how the message starts; nullptr: the platform's text
        bool broken;        // the server is out of step: later calls fail at once
    } cases[] = {
        // The reply of the server that broke the transfer off, not the "226"
        // with which the server the file was going to closed its side.
        {"drop-download", Step::relay, ERROR_INTERNET_EXTENDED_ERROR, "426", false},
        {"vanish-download", Step::download, ERROR_INTERNET_CONNECTION_ABORTED, nullptr, true},
        {"hang-download", Step::download, ERROR_INTERNET_TIMEOUT, nullptr, true},
        // Every byte went out, but the server refused the upload at its end.
        {"refuse-upload", Step::upload, ERROR_INTERNET_EXTENDED_ERROR, "452", false},
        // 4 KiB of the listing and a 426: an error, not a short list.
        {"drop-list", Step::list, ERROR_INTERNET_EXTENDED_ERROR, "426", false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.kind);
        FtpServer failing(test.kind);
        FtpServer good;
        failing.WriteFile("big.bin", PatternBytes(kBigFile));
        for (int i = 0; test.step == Step::list && i < 300; ++i)
            failing.WriteFile("file-" + std::to_string(i) + ".txt", "x");
        ScratchDrive local;
        WriteBytes(local.PathOf("up.bin"), PatternBytes(10000));
        HostedControl control;
        control.SetProperty(L"ServerName", (test.step == Step::relay ? good : failing).Host().c_str());
        control.SetProperty(L"TransferByte", 4);
        control.SetProperty(L"Timeout", kTimeout);
        control.Must(L"Connect");
        control.sink.events.clear();

        CallResult result;
        switch (test.step) {
        case Step::download:
            control.Must(L"SelectFile", {"big.bin"});
            result = control.Call(L"GetFile", {local.Root().c_str()});
            break;
        case Step::relay:
            result = control.Call(L"PutFile",
                                  {("ftp://" + failing.Host() + "/big.bin?uid=anonymous&pw=x").c_str()});
            break;
        case Step::upload:
            result = control.Call(L"PutFile", {local.PathOf("up.bin").c_str()});
            break;
        case Step::list:
            result = control.Call(L"GetFileList", {"/"});
            break;
        }
        ExpectRaised(control, result, kInternetErrorStatus, test.error);
        if (test.reply) {
            EXPECT_EQ(0u, control.LastMessage().rfind(test.reply, 0)) << control.LastMessage();
        } else {
            EXPECT_NE("", control.LastMessage());
        }
        if (test.step != Step::list) {
            const std::vector<long> progress = control.sink.Progress();
            ASSERT_FALSE(progress.empty());
            EXPECT_EQ(test.step == Step::upload, progress.back() == 10000);
            EXPECT_FALSE(control.sink.Received(kTransferEndEvent));
        }
        EXPECT_FALSE(PathExists(local.PathOf("big.bin")));
        if (test.broken) {
            // Out of step or gone: the next call fails at once with the same
            // error instead of waiting once more.
            const ULONGLONG before = GetTickCount64();
            ExpectRaised(control, control.Call(L"GetFileList", {"/"}), kInternetErrorStatus, test.error);
            EXPECT_GT(before + 1000, GetTickCount64());
            control.Must(L"DisConnect");
            control.SetProperty(L"ServerName", good.Host().c_str());
            control.Must(L"Connect");
        }
        control.Must(L"CreateDirectory", {"/after"});
        EXPECT_TRUE((test.step == Step::relay || test.broken ? good : failing).Exists("after"));
    }
}

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
    server.WriteFile("long.bin", PatternBytes(200 * 1024, 7));
    ScratchDrive local;
    HostedControl control;
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"Timeout", kTimeout);
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
    EXPECT_EQ(2, Get(control.Must(L"GetFileList", {"/"}).AsDispatch(), L"Count").AsLong());
}

}  // namespace
