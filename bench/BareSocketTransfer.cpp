// The bare Winsock copy loop: what the platform's sockets (and Schannel) move under the same Wine, the ceiling for the control.
#include <winsock2.h>

#include "bench/BareSocketTransfer.h"

#include "bench/BareFtp.h"
#include "bench/TransferMeter.h"

#include <memory>

namespace {

HANDLE OpenLocal(const std::string& path, bool write)
{
    const HANDLE file = CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, write ? 0 : FILE_SHARE_READ,
                                    nullptr, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw BenchError("cannot open " + path + " (error " + std::to_string(GetLastError()) + ")");
    return file;
}

DWORD ReadLocal(HANDLE file, char* buffer, DWORD size)
{
    DWORD read = 0;
    if (!ReadFile(file, buffer, size, &read, nullptr))
        throw BenchError("ReadFile failed (error " + std::to_string(GetLastError()) + ")");
    return read;
}

void WriteLocal(HANDLE file, const char* data, DWORD size)
{
    DWORD written = 0;
    if (!WriteFile(file, data, size, &written, nullptr))
        throw BenchError("WriteFile failed (error " + std::to_string(GetLastError()) + ")");
}

TransferSample Download(const BenchSetup& setup, const TransferCase& transfer, DWORD chunk)
{
    std::unique_ptr<char[]> buffer(new char[chunk]);
    TransferSample sample;
    const TransferMeter meter(setup);
    BareControl control(setup, transfer.explicitTls);
    BareData data(control, setup, transfer.passive, transfer.explicitTls);
    BareStream& stream = data.Start(control, "RETR " + setup.remoteFile);
    const HANDLE local = OpenLocal(DownloadedFile(setup), true);
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
        WriteLocal(local, buffer.get(), filled);
        sample.bytes += filled;
        ++sample.chunks;
    }
    CloseHandle(local);
    // Over TLS the server waits for the close_notify that answers its own.
    stream.FinishSending();
    control.Expect(2);
    meter.Stop(sample);
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
    const HANDLE local = OpenLocal(setup.uploadSource, false);
    for (;;) {
        const DWORD read = ReadLocal(local, buffer.get(), chunk);
        if (read == 0)
            break;
        stream.SendAll(buffer.get(), read);
        sample.bytes += read;
        ++sample.chunks;
    }
    CloseHandle(local);
    stream.FinishSending();
    control.Expect(2);
    meter.Stop(sample);
    return sample;
}

// ReadFile + WriteFile per chunk, as the local store's copies go.
TransferSample CopyLocally(const BenchSetup& setup, DWORD chunk)
{
    std::unique_ptr<char[]> buffer(new char[chunk]);
    TransferSample sample;
    const TransferMeter meter(setup);
    const HANDLE source = OpenLocal(setup.uploadSource, false);
    const HANDLE target = OpenLocal(LocalCopyTarget(setup), true);
    for (;;) {
        const DWORD read = ReadLocal(source, buffer.get(), chunk);
        if (read == 0)
            break;
        WriteLocal(target, buffer.get(), read);
        sample.bytes += read;
        ++sample.chunks;
    }
    CloseHandle(target);
    CloseHandle(source);
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
