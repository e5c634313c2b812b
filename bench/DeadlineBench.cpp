// Deadline benchmark host: how long the control takes to end calls on servers that trickle or fall silent.
//
// Run by bench/deadlines, inside the test environment (the fixture daemon
// starts the faulty servers). Prints one line per case:
//   deadline kind=K call=C timeout=T seconds=S result=R
// and for the honest slow link and the abort:
//   deadline kind=slow-download call=GetFile ... rate_kbps=...
//   deadline abort seconds_after_abort=S
#include "bench/Automation.h"
#include "bench/BenchMain.h"
#include "bench/Options.h"
#include "bench/Stopwatch.h"
#include "bench/TransferCase.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <ole2.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

// Times call and prints how it ended.
void Measure(const char* kind, const char* what, long timeout, const std::function<void()>& call)
{
    Stopwatch clock;
    std::string result = "ok";
    try {
        call();
    } catch (const BenchError& error) {
        result = error.what();
    }
    std::printf("deadline kind=%s call=%s timeout=%ld seconds=%.2f result=%s\n", kind, what, timeout, clock.Seconds(),
                result.c_str());
    std::fflush(stdout);
}

struct Case {
    const char* kind;
    const char* call;  // Connect, GetFileList or GetFile
};

const Case kCases[] = {
    {"trickle-greeting", "Connect"}, {"silent-after-login", "Connect"}, {"trickle-list", "GetFileList"},
    {"no-list-reply", "GetFileList"}, {"hang-download", "GetFile"},     {"trickle-download", "GetFile"},
};

// The control to abort from the timer, and when it was asked to.
IDispatch* g_abortTarget = nullptr;
Stopwatch* g_sinceAbort = nullptr;

void CALLBACK AbortFromTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    g_sinceAbort->Restart();
    CallMethod(g_abortTarget, L"AbortTransfer");
}

int Run(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    const long timeout = std::stol(Optional(options, "timeout", "10"));
    ScratchDrive local;
    for (const Case& test : kCases) {
        FtpServer server(test.kind);
        server.WriteFile("big.bin", std::string(512 * 1024, 'b'));
        ComPtr<IDispatch> control = NewRegisteredControl();
        PutProperty(control.Get(), L"ServerName", Argument(server.Host()));
        PutProperty(control.Get(), L"Timeout", Argument(timeout));
        PutProperty(control.Get(), L"EnableProgressDialog", Argument(false));
        // Connect includes the explorer's first listing (of "/"): a listing
        // that runs out of time there ends Connect's wait and breaks the
        // connection, though Connect itself succeeds.
        const std::string call = test.call;
        Measure(test.kind, "Connect", timeout, [&] { CallControlMethod(control.Get(), L"Connect"); });
        if (call != "Connect") {
            if (call == "GetFileList") {
                Measure(test.kind, "GetFileList", timeout,
                        [&] { CallControlMethod(control.Get(), L"GetFileList", {Argument(std::string("/"))}); });
            } else {
                CallControlMethod(control.Get(), L"SelectFile", {Argument(std::string("big.bin"))});
                Measure(test.kind, "GetFile", timeout,
                        [&] { CallControlMethod(control.Get(), L"GetFile", {Argument(local.Root())}); });
            }
        }
        // The next call on the broken connection.
        Measure(test.kind, "GetCurrentDirectory-after", timeout,
                [&] { CallControlMethod(control.Get(), L"GetCurrentDirectory", {Argument(0L)}); });
    }

    // An honest slow link, and an abort while a chunk arrives on it.
    FtpServer slow("slow-download");
    slow.WriteFile("slow.bin", std::string(200 * 1024, 's'));
    ComPtr<IDispatch> control = NewRegisteredControl();
    PutProperty(control.Get(), L"ServerName", Argument(slow.Host()));
    PutProperty(control.Get(), L"Timeout", Argument(timeout));
    PutProperty(control.Get(), L"EnableProgressDialog", Argument(false));
    PutProperty(control.Get(), L"TransferByte", Argument(64L));
    CallControlMethod(control.Get(), L"Connect");
    CallControlMethod(control.Get(), L"SelectFile", {Argument(std::string("slow.bin"))});
    Stopwatch clock;
    CallControlMethod(control.Get(), L"GetFile", {Argument(local.Root())});
    const double seconds = clock.Seconds();
    std::printf("deadline kind=slow-download call=GetFile timeout=%ld seconds=%.2f rate_kbps=%.1f result=ok\n",
                timeout, seconds, 200.0 / seconds);
    CallControlMethod(control.Get(), L"SelectFile", {Argument(std::string("slow.bin"))});
    Stopwatch sinceAbort;
    g_abortTarget = control.Get();
    g_sinceAbort = &sinceAbort;
    SetTimer(nullptr, 0, 2500, AbortFromTimer);
    std::string result = "ok";
    try {
        CallControlMethod(control.Get(), L"GetFile", {Argument(local.Root())});
    } catch (const BenchError& error) {
        result = error.what();
    }
    std::printf("deadline abort chunk_kib=64 seconds_after_abort=%.3f result=%s\n", sinceAbort.Seconds(),
                result.c_str());
    g_abortTarget = nullptr;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchHost("wyftp_deadline_bench", &Run, argc, argv);
}
