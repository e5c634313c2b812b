// What one benchmark transfer is (direction, chunk size, dialog) and what it measured.
#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

// Local: the upload source copied into the download directory on the local disk.
enum class Direction { Download, Upload, Local };

// Where the benchmark's files are, as the run script set them up.
struct BenchSetup {
    std::string host;            // 127.0.0.N
    long port = 21;              // the FTP server's port (the listing bench: the latency proxy's)
    std::string user;
    std::string password;
    std::string remoteFile;      // the file to download, a path on the server ("/pub/big.bin")
    std::string remoteUploadDir; // the server directory uploads go to ("/pub")
    std::string uploadSource;    // the local file to upload (Windows path)
    std::string uploadTarget;    // the uploaded file on the server's disk (Windows path), removed before each upload
    std::string downloadDir;     // the local directory downloads go to (Windows path, forward slashes)
    std::string wineserverPid;   // the Linux process id of this prefix's wineserver, or empty
    std::string certificatePin;  // the server certificate's SHA-256 fingerprint (64 hex digits), for the TLS runs
};

struct TransferCase {
    Direction direction = Direction::Download;
    DWORD chunkKiB = 64;
    bool progressDialog = false;
    bool eventSink = true;       // the control only: connect a TransferProgress sink
    bool explicitTls = false;    // over AUTH TLS (the control: the certificate pinned to the setup's)
    bool passive = true;         // the data connection: PASV (the client connects) or PORT (the server does)
    bool keepAlive = false;      // the control only: KeepAliveInterval 1 (NOOP whenever the control connection is silent 1 s)
    bool trace = false;          // the control only: EnableProtocolTrace and a TraceFile
    bool sftp = false;           // the control only: over SFTP (ConnectTarget 2), the host key pinned to the setup's
};

struct TransferSample {
    ULONGLONG bytes = 0;
    double seconds = 0;
    double copySeconds = -1;     // the control: from the call to its TransferEnd (the copy without the
                                 // listing that shows the views afresh); the loops: seconds
    double copyCpuClient = -1;   // the CPU figures of that span
    double copyCpuServer = -1;
    ULONGLONG chunks = 0;        // TransferProgress events, or loop iterations that moved data
    double cpuClient = -1;       // CPU seconds of this process (all threads) meanwhile
    double cpuServer = -1;       // CPU seconds of the wineserver meanwhile
};

// A benchmark step that cannot go on; main reports it and fails.
class BenchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The last component of a server or Windows path.
std::string LastComponent(const std::string& path);
// The downloaded file's local path: the download directory and the remote file's name.
std::string DownloadedFile(const BenchSetup& setup);
// Where a local copy goes: the upload source's name in the download directory.
std::string LocalCopyTarget(const BenchSetup& setup);
// Size of a local file; throws BenchError when it cannot be read.
ULONGLONG LocalFileSize(const std::string& path);
// Deletes a local file if it exists; throws BenchError when it stays.
void RemoveLocalFile(const std::string& path);
