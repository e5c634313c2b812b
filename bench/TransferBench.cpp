// Transfer benchmark host: times downloads and uploads through the WyFTP control and through bare loops.
//
// Run by bench/run, which starts the FTP server, prepares the files and adds
// curl's figures. Every measured transfer prints one line:
//   sample label=L tool=T dir=D chunk=KiB dialog=0|1 bytes=B seconds=S mbps=M chunks=C
//          cpu_client=S cpu_server=S copy_seconds=S copy_cpu_client=S copy_cpu_server=S
// (mbps: 10^6 bytes per second; chunks: TransferProgress events for the
// control, loop iterations for the loops; cpu_client: CPU seconds of this
// process during the timed section; cpu_server: those of the wineserver
// given with --wineserver-pid, or -1; copy_seconds: for the control, the
// call up to its TransferEnd event, without the listing that shows the views
// afresh after it, and the CPU seconds of that span; for the loops, the same
// as the whole). The tool control-tls is the
// control over explicit TLS, pinned to the certificate given with
// --certificate-pin; control-sftp the control over SFTP to --port, pinned
// to the host key given the same way.
#include "bench/BenchMain.h"
#include "bench/ControlTransfer.h"
#include "bench/Options.h"
#include "bench/PumpCost.h"
#include "bench/TransferCase.h"
#include "bench/UrlCache.h"
#include "bench/BareSocketTransfer.h"
#include "bench/WinInetTransfer.h"

#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Removes what a previous transfer left, so every run writes a new file.
void PrepareRun(const BenchSetup& setup, Direction direction)
{
    if (direction == Direction::Download) {
        RemoveLocalFile(DownloadedFile(setup));
        ClearUrlCache();
    } else if (direction == Direction::Local) {
        RemoveLocalFile(LocalCopyTarget(setup));
    } else {
        RemoveLocalFile(setup.uploadTarget);
    }
}

// A tool is a runner and a variant: wininet, wininet-nocache, wininet-pump;
// or control or bare, alone or with -tls (explicit TLS), -active (PORT, not
// PASV) or, for the control, -nosink (no event sink), -keepalive
// (KeepAliveInterval 1), -trace (the trace event and file) or -sftp (over
// SSH to --port).
TransferSample RunOne(const std::string& tool, const BenchSetup& setup, TransferCase transfer)
{
    if (tool == "wininet")
        return RunWinInetTransfer(setup, transfer);
    if (tool == "wininet-nocache")
        return RunWinInetTransfer(setup, transfer, WinInetVariant{true, false});
    if (tool == "wininet-pump")
        return RunWinInetTransfer(setup, transfer, WinInetVariant{false, true});
    const size_t dash = tool.find('-');
    const std::string runner = tool.substr(0, dash);
    const std::string variant = dash == std::string::npos ? "" : tool.substr(dash + 1);
    if (variant == "tls")
        transfer.explicitTls = true;
    else if (variant == "active")
        transfer.passive = false;
    else if (variant == "nosink" && runner == "control")
        transfer.eventSink = false;
    else if (variant == "keepalive" && runner == "control")
        transfer.keepAlive = true;
    else if (variant == "trace" && runner == "control")
        transfer.trace = true;
    else if (variant == "sftp" && runner == "control")
        transfer.sftp = true;
    else if (!variant.empty())
        throw BenchError("unknown tool " + tool);
    if (runner == "control")
        return RunControlTransfer(setup, transfer);
    if (runner == "bare")
        return RunBareSocketTransfer(setup, transfer);
    throw BenchError("unknown tool " + tool);
}

int Run(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    BenchSetup setup;
    setup.host = Required(options, "host");
    setup.user = Required(options, "user");
    setup.password = Required(options, "password");
    setup.remoteFile = Required(options, "remote-file");
    setup.remoteUploadDir = Required(options, "upload-dir");
    setup.uploadSource = Required(options, "upload-source");
    setup.uploadTarget = Required(options, "upload-target");
    setup.downloadDir = Required(options, "download-dir");
    const std::string label = Optional(options, "label", "main");
    const bool dialog = Optional(options, "dialog", "0") == "1";
    const int runs = std::atoi(Optional(options, "runs", "1").c_str());
    setup.wineserverPid = Optional(options, "wineserver-pid", "");
    setup.certificatePin = Optional(options, "certificate-pin", "");
    setup.port = std::atol(Optional(options, "port", "21").c_str());
    const ULONGLONG expected = LocalFileSize(setup.uploadSource);

    if (options.count("pump-cost"))
        PrintPumpCosts(setup);
    for (int run = 0; run < runs; ++run) {
        for (const std::string& directionName : SplitList(Optional(options, "directions", "download,upload"))) {
            TransferCase transfer;
            transfer.direction = directionName == "upload" ? Direction::Upload
                : directionName == "local"                 ? Direction::Local
                                                           : Direction::Download;
            transfer.progressDialog = dialog;
            for (const std::string& chunk : SplitList(Optional(options, "chunks", "64,1024"))) {
                transfer.chunkKiB = static_cast<DWORD>(std::atol(chunk.c_str()));
                // Tools alternate within one chunk size, so a disturbance of
                // the machine hits them alike.
                for (const std::string& tool : SplitList(Optional(options, "tools", "control,wininet"))) {
                    PrepareRun(setup, transfer.direction);
                    TransferSample sample = RunOne(tool, setup, transfer);
                    if (sample.copySeconds < 0) {
                        sample.copySeconds = sample.seconds;
                        sample.copyCpuClient = sample.cpuClient;
                        sample.copyCpuServer = sample.cpuServer;
                    }
                    if (sample.bytes != expected)
                        throw BenchError(tool + " " + directionName + " moved " + std::to_string(sample.bytes)
                                         + " bytes, not " + std::to_string(expected));
                    std::printf("sample label=%s tool=%s dir=%s chunk=%lu dialog=%d bytes=%llu seconds=%.6f "
                                "mbps=%.1f chunks=%llu cpu_client=%.2f cpu_server=%.2f copy_seconds=%.6f "
                                "copy_cpu_client=%.2f copy_cpu_server=%.2f\n",
                                label.c_str(), tool.c_str(), directionName.c_str(), transfer.chunkKiB,
                                dialog ? 1 : 0, sample.bytes, sample.seconds, sample.bytes / sample.seconds / 1e6,
                                sample.chunks, sample.cpuClient, sample.cpuServer, sample.copySeconds,
                                sample.copyCpuClient, sample.copyCpuServer);
                    std::fflush(stdout);
                }
            }
            PrepareRun(setup, transfer.direction);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchHost("wyftp_transfer_bench", &Run, argc, argv);
}
