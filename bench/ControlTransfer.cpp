// A transfer through the registered WyFTP control, driven as a host drives it.
#include "bench/ControlTransfer.h"

#include "bench/Automation.h"
#include "bench/ProgressSink.h"
#include "bench/SinkConnection.h"
#include "bench/TransferMeter.h"
#include "control/typelib/WyFTP_h.h"

namespace {

// The control and the sink's connection to it, for one transfer.
class ControlSession {
public:
    ControlSession(ProgressSink& sink, bool connectSink) : m_control(CreateControl()), m_sinks(m_control.Get())
    {
        // Without a sink every event costs the control only its empty
        // walk over the sinks: the difference shows what events cost.
        if (connectSink)
            m_sinks.Connect(&sink);
    }
    IDispatch* Control() const { return m_control.Get(); }

private:
    static ComPtr<IDispatch> CreateControl()
    {
        ComPtr<IDispatch> control;
        const HRESULT hr = CoCreateInstance(CLSID_WyFTP, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                            reinterpret_cast<void**>(control.Put()));
        if (FAILED(hr))
            throw BenchError("CoCreateInstance of the registered control failed; is WyFTP.ocx registered?");
        return control;
    }

    ComPtr<IDispatch> m_control;  // declared first: released after the sink is unadvised
    SinkConnection m_sinks;
};

// ftp://host/path?uid=user&pw=password, as the local store's PutFile takes
// it; ftpes:// for explicit TLS, sftp://host:port for SFTP.
std::string ServerUrl(const BenchSetup& setup, const TransferCase& transfer)
{
    const std::string server = transfer.sftp ? "sftp://" + setup.host + ":" + std::to_string(setup.port)
                                             : (transfer.explicitTls ? "ftpes://" : "ftp://") + setup.host;
    return server + setup.remoteFile + "?uid=" + setup.user + "&pw=" + setup.password;
}

// "Z:/tmp/x/dl" → drive "Z:" and directory "/tmp/x/dl".
void SplitDrive(const std::string& path, std::string& drive, std::string& directory)
{
    if (path.size() < 3 || path[1] != ':')
        throw BenchError("the download directory needs a drive: " + path);
    drive = path.substr(0, 2);
    directory = path.substr(2);
    for (char& c : directory)
        c = c == '\\' ? '/' : c;
}

}  // namespace

TransferSample RunControlTransfer(const BenchSetup& setup, const TransferCase& transfer)
{
    ProgressSink sink;
    ControlSession session(sink, transfer.eventSink);
    IDispatch* control = session.Control();
    PutProperty(control, L"EnableProgressDialog", Argument(transfer.progressDialog));
    PutProperty(control, L"TransferByte", Argument(static_cast<long>(transfer.chunkKiB)));
    PutProperty(control, L"PassiveMode", Argument(transfer.passive));
    if (transfer.keepAlive)
        PutProperty(control, L"KeepAliveInterval", Argument(1L));
    if (transfer.trace) {
        PutProperty(control, L"EnableProtocolTrace", Argument(true));
        PutProperty(control, L"TraceFile", Argument(setup.downloadDir + "/wyftp-trace.log"));
    }
    if (transfer.explicitTls || transfer.sftp) {
        if (setup.certificatePin.empty())
            throw BenchError("a TLS or SFTP run needs the server's fingerprint (--certificate-pin)");
        PutProperty(control, L"CertificatePin", Argument(setup.certificatePin));
    }
    std::string source;
    if (transfer.direction != Direction::Upload) {
        // The local store: it downloads the URL, or copies the local file.
        std::string drive;
        std::string directory;
        SplitDrive(setup.downloadDir, drive, directory);
        PutProperty(control, L"ConnectTarget", Argument(0L));
        PutProperty(control, L"ServerName", Argument(drive));
        PutProperty(control, L"ConnectDirectory", Argument(directory));
        source = transfer.direction == Direction::Local ? setup.uploadSource : ServerUrl(setup, transfer);
    } else {
        PutProperty(control, L"ConnectTarget", Argument(transfer.sftp ? 2L : 1L));
        if (transfer.sftp)
            PutProperty(control, L"Port", Argument(setup.port));
        PutProperty(control, L"ServerName", Argument(setup.host));
        PutProperty(control, L"UserName", Argument(setup.user));
        PutProperty(control, L"Password", Argument(setup.password));
        PutProperty(control, L"ConnectDirectory", Argument(setup.remoteUploadDir));
        if (transfer.explicitTls)
            PutProperty(control, L"SecurityMode", Argument(1L));
        source = setup.uploadSource;
    }
    CallMethod(control, L"Connect");

    TransferSample sample;
    const TransferMeter meter(setup);
    TransferSample copied;
    sink.onTransferEnd = [&meter, &copied] { meter.Stop(copied); };
    CallControlMethod(control, L"PutFile", {Argument(source)});
    meter.Stop(sample);
    sink.onTransferEnd = nullptr;
    if (copied.seconds > 0) {
        sample.copySeconds = copied.seconds;
        sample.copyCpuClient = copied.cpuClient;
        sample.copyCpuServer = copied.cpuServer;
    }
    if (!sink.lastError.empty())
        throw BenchError("the control reported: " + sink.lastError);
    sample.chunks = sink.progressEvents;
    sample.bytes = LocalFileSize(transfer.direction == Direction::Download ? DownloadedFile(setup)
                                 : transfer.direction == Direction::Local  ? LocalCopyTarget(setup)
                                                                           : setup.uploadTarget);
    // The pin already refuses any other certificate; having seen the pinned
    // one shows that the transfer really went over TLS.
    if (transfer.explicitTls && GetTextProperty(control, L"LastCertificateFingerprint") != setup.certificatePin)
        throw BenchError("the control saw the certificate " + GetTextProperty(control, L"LastCertificateFingerprint")
                         + ", not " + setup.certificatePin);
    if (transfer.eventSink && sink.windowShown != transfer.progressDialog)
        throw BenchError(std::string("the progress dialog ") + (transfer.progressDialog ? "did not show" : "showed"));
    if (transfer.eventSink && static_cast<ULONGLONG>(sink.lastProgress) != sample.bytes)
        throw BenchError("the last TransferProgress (" + std::to_string(sink.lastProgress)
                         + ") is not the file's size (" + std::to_string(sample.bytes) + ")");
    CallMethod(control, L"DisConnect");
    return sample;
}
