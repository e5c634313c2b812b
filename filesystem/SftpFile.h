// A file on an SFTP server, read or written in chunks through one handle, resumed by offset where the network broke it.
#pragma once
#include "filesystem/RemoteConnection.h"
#include "ftp/FtpError.h"

#include <libssh2.h>
#include <libssh2_sftp.h>

#include <string>
#include <vector>

class CSftpConnection;

// Made by CSftpConnection, which outlives it. Every failure is raised as
// CInternetException (the server's status as 12003 with its text).
class CSftpFile : public CRemoteFile {
public:
    enum class Direction { download, upload };
    // Opens wirePath; size: a download's known size (-1 none).
    CSftpFile(CSftpConnection& connection, std::string wirePath, Direction direction, LONGLONG size);
    CSftpFile(const CSftpFile&) = delete;
    CSftpFile& operator=(const CSftpFile&) = delete;
    ~CSftpFile() override;

    UINT Read(void* buffer, UINT count) override;
    // Hands the bytes to the server; up to kWriteAhead of them may still
    // wait for its confirmation when it returns (Close waits for all), so
    // that the server always has the next ones while the caller reads them.
    void Write(const void* buffer, UINT count) override;
    // Closes the handle; a download that read another count than size, or
    // an upload the server then holds another size of, raises
    // WyFTPErrorTransferSizeMismatch.
    void Close() override;
    void Abort() override;
    // After the last failure raised, when the network broke the transfer
    // and the session reconnects.
    bool CanResume() const override;
    // A download goes on from offset; an upload from what the server holds
    // up to there. Returns where it goes on.
    ULONGLONG ResumeAt(ULONGLONG offset) override;
    void SetWaitHook(CNetworkWaitHook* hook) override;

private:
    static constexpr size_t kWriteAhead = 512 * 1024;
    // The most handed to libssh2 at once: it asks for four times a read's
    // size ahead and sends a write whole, and past the server's window
    // (2 MiB for OpenSSH) both only wait longer.
    static constexpr size_t kRequestSize = 1024 * 1024;
    // Opens the handle and moves it to offset.
    void Open(ULONGLONG offset);
    // Waits for the server to confirm the next of the unconfirmed bytes.
    void ConfirmSome();
    // Remembers the last failure for CanResume and raises it.
    [[noreturn]] void RaiseFailure();
    [[noreturn]] void Raise(const FtpError& error);

    CSftpConnection& m_connection;
    std::string m_wirePath;
    Direction m_direction;
    LONGLONG m_size;
    LIBSSH2_SFTP_HANDLE* m_handle = nullptr;
    unsigned m_generation = 0;  // the session's the handle belongs to
    ULONGLONG m_position = 0;  // confirmed by the server
    // Written but not yet confirmed from m_unconfirmedStart on: libssh2
    // wants them passed again until the server has confirmed them.
    std::vector<char> m_unconfirmed;
    size_t m_unconfirmedStart = 0;
    FtpError m_failure;
};
