// The bare WinInet copy loop: the ceiling the platform's own library sets for the control.
#include "bench/WinInetTransfer.h"

#include "bench/InternetHandle.h"
#include "bench/LocalFile.h"
#include "bench/TransferMeter.h"

#include <memory>
#include <utility>

namespace {

// The message pump of the control's copy loop, without the control.
void PumpMessages(bool pump)
{
    MSG message;
    while (pump && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

TransferSample Download(const BenchSetup& setup, DWORD chunk, const WinInetVariant& variant)
{
    std::unique_ptr<char[]> buffer(new char[chunk]);
    TransferSample sample;
    const TransferMeter meter(setup);
    InternetHandle session = OpenSession();
    InternetHandle connection = ConnectFtp(session, setup);
    const DWORD flags = FTP_TRANSFER_TYPE_BINARY | (variant.noCacheWrite ? INTERNET_FLAG_NO_CACHE_WRITE : 0);
    InternetHandle remote(FtpOpenFileA(connection.Get(), setup.remoteFile.c_str(), GENERIC_READ, flags, 2),
                          "FtpOpenFile (read)");
    LocalFile local(DownloadedFile(setup), true);
    for (;;) {
        PumpMessages(variant.pumpMessages);
        DWORD read = 0;
        if (!InternetReadFile(remote.Get(), buffer.get(), chunk, &read))
            throw BenchError("InternetReadFile failed (error " + std::to_string(GetLastError()) + ")");
        if (read == 0)
            break;
        local.Write(buffer.get(), read);
        sample.bytes += read;
        ++sample.chunks;
    }
    remote.Close();
    local.Close();
    connection.Close();
    session.Close();
    meter.Stop(sample);
    return sample;
}

TransferSample Upload(const BenchSetup& setup, DWORD chunk, const WinInetVariant& variant)
{
    std::unique_ptr<char[]> buffer(new char[chunk]);
    InternetHandle session = OpenSession();
    InternetHandle connection = ConnectFtp(session, setup);
    const std::string target = setup.remoteUploadDir + "/" + LastComponent(setup.uploadSource);
    TransferSample sample;
    const TransferMeter meter(setup);
    LocalFile local(setup.uploadSource, false);
    InternetHandle remote(FtpOpenFileA(connection.Get(), target.c_str(), GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 1),
                          "FtpOpenFile (write)");
    for (;;) {
        PumpMessages(variant.pumpMessages);
        const DWORD read = local.Read(buffer.get(), chunk);
        if (read == 0)
            break;
        for (DWORD done = 0; done < read;) {
            DWORD written = 0;
            if (!InternetWriteFile(remote.Get(), buffer.get() + done, read - done, &written) || written == 0)
                throw BenchError("InternetWriteFile failed (error " + std::to_string(GetLastError()) + ")");
            done += written;
        }
        sample.bytes += read;
        ++sample.chunks;
    }
    local.Close();
    remote.Close();
    meter.Stop(sample);
    return sample;
}

}  // namespace

TransferSample RunWinInetTransfer(const BenchSetup& setup, const TransferCase& transfer, WinInetVariant variant)
{
    const DWORD chunk = transfer.chunkKiB * 1024;
    if (transfer.direction == Direction::Local)
        throw BenchError("the WinInet loop copies no local files");
    if (transfer.direction == Direction::Download)
        return Download(setup, chunk, variant);
    return Upload(setup, chunk, variant);
}
