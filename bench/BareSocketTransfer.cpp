// The bare Winsock copy loop: what the platform's sockets (and Schannel) move under the same Wine, the ceiling for the control.
#include <winsock2.h>

#include "bench/BareSocketTransfer.h"

#include "bench/BareFtp.h"
#include "bench/LocalFile.h"
#include "bench/TransferMeter.h"

#include <memory>

namespace {

// Ends a transfer as a client must: nothing more comes from it (over TLS the
// server waits for the close_notify that answers its own, on a download
// too), then the server's final reply.
void Finish(BareStream& stream, BareControl& control, const TransferMeter& meter, TransferSample& sample)
{
    stream.FinishSending();
    control.Expect(2);
    meter.Stop(sample);
}

TransferSample Download(const BenchSetup& setup, const TransferCase& transfer, DWORD chunk)
{
    std::unique_ptr<char[]> buffer(new char[chunk]);
    TransferSample sample;
    const TransferMeter meter(setup);
    BareControl control(setup, transfer.explicitTls);
    BareData data(control, setup, transfer.passive, transfer.explicitTls);
    BareStream& stream = data.Start(control, "RETR " + setup.remoteFile);
    LocalFile local(DownloadedFile(setup), true);
    // Each chunk is filled before it is written, as the control fills its
    // chunks: one WriteFile per chunk, not one per receive.
    for (bool ended = false; !ended;) {
        DWORD filled = 0;
        while (filled < chunk) {
            const size_t received = stream.Receive(buffer.get() + filled, chunk - filled);
            if (received == 0) {
                ended = true;
                break;
            }
            filled += static_cast<DWORD>(received);
        }
        if (filled == 0)
            break;
        local.Write(buffer.get(), filled);
        sample.bytes += filled;
        ++sample.chunks;
    }
    local.Close();
    Finish(stream, control, meter, sample);
    return sample;
}

TransferSample Upload(const BenchSetup& setup, const TransferCase& transfer, DWORD chunk)
{
    std::unique_ptr<char[]> buffer(new char[chunk]);
    BareControl control(setup, transfer.explicitTls);
    TransferSample sample;
    const TransferMeter meter(setup);
    BareData data(control, setup, transfer.passive, transfer.explicitTls);
    BareStream& stream = data.Start(control, "STOR " + setup.remoteUploadDir + "/" + LastComponent(setup.uploadSource));
    LocalFile local(setup.uploadSource, false);
    for (;;) {
        const DWORD read = local.Read(buffer.get(), chunk);
        if (read == 0)
            break;
        stream.SendAll(buffer.get(), read);
        sample.bytes += read;
        ++sample.chunks;
    }
    local.Close();
    Finish(stream, control, meter, sample);
    return sample;
}

// ReadFile + WriteFile per chunk, as the local store's copies go.
TransferSample CopyLocally(const BenchSetup& setup, DWORD chunk)
{
    std::unique_ptr<char[]> buffer(new char[chunk]);
    TransferSample sample;
    const TransferMeter meter(setup);
    LocalFile source(setup.uploadSource, false);
    LocalFile target(LocalCopyTarget(setup), true);
    for (;;) {
        const DWORD read = source.Read(buffer.get(), chunk);
        if (read == 0)
            break;
        target.Write(buffer.get(), read);
        sample.bytes += read;
        ++sample.chunks;
    }
    target.Close();
    source.Close();
    meter.Stop(sample);
    return sample;
}

}  // namespace

TransferSample RunBareSocketTransfer(const BenchSetup& setup, const TransferCase& transfer)
{
    const DWORD chunk = transfer.chunkKiB * 1024;
    if (transfer.direction == Direction::Local)
        return CopyLocally(setup, chunk);
    return transfer.direction == Direction::Download ? Download(setup, transfer, chunk)
                                                     : Upload(setup, transfer, chunk);
}
