// Soak benchmark host: repeats what a long-running host does with the control and prints the growth per cycle.
//
// Run by bench/soak, which starts vsftpd and makes the files. Each section
// warms up, reads the process's counters, runs its cycles, reads them again
// and prints one line:
//   soak section=S cycles=N anon_kib=+K server_fds=+F windows=+W gdi_objects=+G per_cycle_bytes=B (after: ...)
// (growth over the cycles; tests/control/ProcessCounters.h says which
// counters work under Wine and what they count).
#include "bench/Automation.h"
#include "bench/BenchMain.h"
#include "bench/Options.h"
#include "bench/ProgressSink.h"
#include "bench/SinkConnection.h"
#include "bench/TransferCase.h"
#include "tests/control/ProcessCounters.h"
#include "tests/control/WindowTestSupport.h"

#include <ole2.h>

#include <cstdio>
#include <functional>

namespace {

// Warms up (the first cycles fill caches and pools), then measures.
void Section(const std::string& procDirectory, const char* name, int cycles, const std::function<void()>& cycle)
{
    for (int i = 0; i < 10; ++i)
        cycle();
    const ProcessCounters before = ReadProcessCounters(procDirectory);
    for (int i = 0; i < cycles; ++i)
        cycle();
    const ProcessCounters after = ReadProcessCounters(procDirectory);
    const long long grownKib = static_cast<long long>(after.anonKib) - static_cast<long long>(before.anonKib);
    std::printf("soak section=%s cycles=%d anon_kib=%+lld server_fds=%+ld windows=%+ld gdi_objects=%+ld "
                "per_cycle_bytes=%.0f (after: anon_kib=%llu server_fds=%ld windows=%ld)\n",
                name, cycles, grownKib, after.serverDescriptors - before.serverDescriptors, after.windows - before.windows,
                static_cast<long>(after.gdiObjects) - static_cast<long>(before.gdiObjects),
                static_cast<double>(grownKib) * 1024 / cycles, after.anonKib, after.serverDescriptors, after.windows);
    std::fflush(stdout);
}

int Run(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    const std::string host = Required(options, "host");
    const std::string upload = Required(options, "upload");           // a local 1 MiB file
    const std::string downloads = Required(options, "downloads");     // a local directory
    const std::string crowdDrive = Required(options, "crowd-drive");  // the local store's drive ("Z:")
    const std::string crowd = Required(options, "crowd");             // a directory of 1,000 files on it
    // --quick: a tenth of the cycles, for a look at the build as it is.
    const int divisor = Optional(options, "quick", "").empty() ? 1 : 10;
    const auto times = [divisor](int cycles) { return cycles / divisor; };

    const std::string proc = OwnProcDirectory();
    if (proc.empty())
        std::printf("(no /proc directory of this process: memory figures read 0)\n");
    TestWindow frame(400, 300);
    Section(proc, "container", times(1000), [&] {
        HWND atlHost = nullptr;
        ComPtr<IDispatch> control = ControlInAtlHost(frame.Get(), {0, 0, 380, 260}, &atlHost);
        if (!control)
            throw BenchError("the container did not take the control");
        PumpMessages();
        control = ComPtr<IDispatch>();
        DestroyWindow(atlHost);
    });

    ComPtr<IDispatch> control = NewRegisteredControl();
    ProgressSink sink;
    Section(proc, "advise", times(1000), [&] {
        SinkConnection connection(control.Get());
        connection.Connect(&sink);
    });

    PutProperty(control.Get(), L"ConnectTarget", Argument(0L));
    PutProperty(control.Get(), L"ServerName", Argument(crowdDrive));
    CallControlMethod(control.Get(), L"Connect");
    Section(proc, "collections", times(100), [&] {
        if (!CallForObject(control.Get(), L"GetFileList", {Argument(crowd)}))
            throw BenchError("GetFileList gave no collection");
    });
    CallControlMethod(control.Get(), L"DisConnect");

    PutProperty(control.Get(), L"ConnectTarget", Argument(1L));
    PutProperty(control.Get(), L"ServerName", Argument(host));
    PutProperty(control.Get(), L"EnableProgressDialog", Argument(false));
    Section(proc, "ftp", times(300), [&] {
        CallControlMethod(control.Get(), L"Connect");
        CallControlMethod(control.Get(), L"SetCurrentDirectory", {Argument(std::string("/pub"))});
        CallControlMethod(control.Get(), L"PutFile", {Argument(upload)});
        CallControlMethod(control.Get(), L"SelectFile", {Argument(std::string("soak.bin"))});
        CallControlMethod(control.Get(), L"GetFile", {Argument(downloads)});
        CallControlMethod(control.Get(), L"DisConnect");
    });
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchHost("wyftp_soak_bench", &Run, argc, argv);
}
