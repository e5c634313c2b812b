// Resume benchmark host: a large download and upload cut at half through the fault proxy, against the same unbroken.
//
// Run by bench/resume, inside the test environment (the fixture daemon
// starts vsftpd behind its fault proxy). For each round, direction and
// whether the data connection is reset at half the file, prints:
//   resume dir=D cut=0|1 bytes=B moved=M moved_ratio=R seconds=S tail_seconds=T reconnects=N
// moved: the bytes the data connections took in from their senders, cut or
// not; tail_seconds: from the TransferProgress that reached half the file
// less one chunk (the last before the cut) to the end; reconnects: the
// Reconnecting events (a reset data connection breaks the session, or the
// server confirms a short file and the same session goes on).
// Then, per direction, the medians and the two ratios of the goal:
//   summary dir=D moved_ratio=R tail_ratio=T
#include "bench/Automation.h"
#include "bench/BenchMain.h"
#include "bench/Options.h"
#include "bench/ProgressSink.h"
#include "bench/SinkConnection.h"
#include "bench/Stopwatch.h"
#include "bench/TransferCase.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr long kChunkKiB = 1024;

struct ResumeSample {
    unsigned long long moved = 0;
    double seconds = 0;
    double tailSeconds = 0;
    int reconnects = 0;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

ResumeSample Transfer(const FtpServer& server, const ScratchDrive& drive, bool download, bool cut,
                      unsigned long long size)
{
    ComPtr<IDispatch> control = NewRegisteredControl();
    ProgressSink sink;
    SinkConnection connection(control.Get());
    connection.Connect(&sink);
    PutProperty(control.Get(), L"ServerName", Argument(server.Host()));
    PutProperty(control.Get(), L"Port", Argument(static_cast<long>(server.Port())));
    PutProperty(control.Get(), L"PassiveMode", Argument(true));
    PutProperty(control.Get(), L"ConnectDirectory", Argument(std::string("/pub")));
    PutProperty(control.Get(), L"EnableProgressDialog", Argument(false));
    PutProperty(control.Get(), L"TransferByte", Argument(kChunkKiB));
    PutProperty(control.Get(), L"Timeout", Argument(10L));
    PutProperty(control.Get(), L"ReconnectTime", Argument(60L));
    CallControlMethod(control.Get(), L"Connect");
    if (download)
        CallControlMethod(control.Get(), L"SelectFile", {Argument(std::string("big.bin"))});
    server.DataBytesMoved();  // what came before the transfer
    if (cut)
        server.SetFault("reset-next " + std::to_string(size / 2));

    Stopwatch clock;
    double halfAt = -1;
    ResumeSample sample;
    sink.onProgress = [&](long bytes) {
        if (halfAt < 0 && static_cast<unsigned long long>(bytes) + kChunkKiB * 1024 >= size / 2)
            halfAt = clock.Seconds();
    };
    sink.onReconnecting = [&] { ++sample.reconnects; };
    if (download)
        CallControlMethod(control.Get(), L"GetFile", {Argument(drive.Root())});
    else
        CallControlMethod(control.Get(), L"PutFile", {Argument(drive.PathOf("up.bin"))});
    sample.seconds = clock.Seconds();
    sample.moved = server.DataBytesMoved();
    server.SetFault("none");
    sample.tailSeconds = sample.seconds - halfAt;
    const unsigned long long arrived =
        download ? LocalFileSize(drive.PathOf("big.bin")) : server.ReadFile("pub/up.bin").size();
    if (arrived != size)
        throw BenchError("the transfer ended with " + std::to_string(arrived) + " bytes");
    CallMethod(control.Get(), L"DisConnect");
    return sample;
}

int Run(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    const unsigned long long size = std::stoull(Optional(options, "size-mib", "256")) << 20;
    const int runs = std::stoi(Optional(options, "runs", "3"));
    FtpServer server("vsftpd", FtpServer::kBehindFaultProxy);
    ScratchDrive drive;
    {
        const std::string bytes = PatternBytes(size);
        server.WriteFile("pub/big.bin", bytes);
        WriteBytes(drive.PathOf("up.bin"), bytes);
    }
    // Per direction: the moved ratios of the cut runs, and the tails of each kind.
    std::map<std::string, std::vector<double>> movedRatios, cutTails, wholeTails;
    for (int run = 0; run < runs; ++run) {
        for (const bool download : {true, false}) {
            const char* direction = download ? "download" : "upload";
            // The order turns round every other round, so the load hits both alike.
            for (const bool cut : {run % 2 == 0, run % 2 != 0}) {
                const ResumeSample sample = Transfer(server, drive, download, cut, size);
                const double ratio = static_cast<double>(sample.moved) / static_cast<double>(size);
                std::printf("resume dir=%s cut=%d bytes=%llu moved=%llu moved_ratio=%.3f seconds=%.3f "
                            "tail_seconds=%.3f reconnects=%d\n",
                            direction, cut ? 1 : 0, size, sample.moved, ratio, sample.seconds, sample.tailSeconds,
                            sample.reconnects);
                std::fflush(stdout);
                (cut ? cutTails : wholeTails)[direction].push_back(sample.tailSeconds);
                if (cut)
                    movedRatios[direction].push_back(ratio);
            }
        }
    }
    for (const char* direction : {"download", "upload"}) {
        std::printf("summary dir=%s moved_ratio=%.3f tail_ratio=%.3f (cut %.3f s, unbroken %.3f s)\n", direction,
                    Median(movedRatios[direction]), Median(cutTails[direction]) / Median(wholeTails[direction]),
                    Median(cutTails[direction]), Median(wholeTails[direction]));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchHost("wyftp_resume_bench", &Run, argc, argv);
}
