// A logged-in FTP connection as the server store uses it: directories, renames, deletions and remote files.
#pragma once
#include "filesystem/InternetFile.h"
#include "filesystem/RemoteConnection.h"
#include "ftp/FtpOptions.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

class CFtpSession;
class CNetworkWaitHook;
class CFtpTransfer;

// The face of one FTP session for the store.
class CFtpConnection : public CRemoteConnection {
public:
    // Connects to server as options say and logs in; raises when it cannot,
    // WyFTPErrorCreateObject for port 0. standingHook is asked during every
    // wait of the session (see CFtpSession::SetStandingHook).
    static std::unique_ptr<CFtpConnection> Open(const std::string& server, const std::string& user,
                                                const std::string& password, const CFtpOptions& options,
                                                CNetworkWaitHook* standingHook = nullptr);
    CFtpConnection(std::unique_ptr<CFtpSession> session, std::string serverName, WORD port);
    CFtpConnection(const CFtpConnection&) = delete;
    CFtpConnection& operator=(const CFtpConnection&) = delete;
    ~CFtpConnection() override;

    // The session below, for what the store asks of the protocol itself.
    CFtpSession& Session() const { return *m_session; }
    const std::string& GetServerName() const override { return m_serverName; }
    std::string GetUrlPrefix() const override;

    void SetCurrentDirectory(const char* directory) override;
    std::string GetCurrentDirectory() const override;
    void CreateDirectory(const char* directory) override;
    void RemoveDirectory(const char* directory) override;
    void Remove(const char* fileName) override;
    void Rename(const char* oldName, const char* newName) override;

    // A read counts with the size the server names as it starts, else size;
    // a write counts only when the server then holds as many bytes as were
    // sent, where it answers SIZE.
    std::unique_ptr<CRemoteFile> OpenForReading(const char* fileName, LONGLONG size) override;
    std::unique_ptr<CRemoteFile> OpenForWriting(const char* fileName) override;
    bool List(const std::string& directory, std::vector<CWyDirectoryEntry>& entries) override;
    CWyRemotePath Describe(const std::string& path) override;
    bool CanEnterDirectory(const std::string& path) override;
    void KeepAlive() override;
    std::string AcceptedFingerprint() const override;
    void Close();

    // A download of wirePath from offset (REST), or from the start where the
    // server refuses that; offset becomes where it starts. size as for
    // OpenForReading. Raises as the other calls do.
    std::unique_ptr<CFtpTransfer> OpenDownload(const std::string& wirePath, LONGLONG size, ULONGLONG& offset);
    // An upload to wirePath that keeps what the server holds of it up to
    // offset (its SIZE): REST and STOR, or APPE where REST is refused, or
    // else STOR from the start; offset becomes where it starts.
    std::unique_ptr<CFtpTransfer> OpenUpload(const std::string& wirePath, ULONGLONG& offset);
    // Whether a transfer of this connection that broke may go on: the
    // session reconnects, or is still in step.
    bool MayResume() const;
    // Runs operation, which may run twice (it changes nothing on the
    // server), once more when it broke the session and a reconnect is due.
    FtpError Retried(const std::function<FtpError()>& operation) const;

private:
    // Sends verb with a path (wire text) and opens its data connection.
    std::unique_ptr<CFtpTransfer> OpenTransfer(const char* verb, const std::string& wirePath);
    // The same from restartAt (REST; 0 none), counting from startsAt when
    // not 0; null when the server refuses it and stays in step.
    std::unique_ptr<CFtpTransfer> OpenRefusable(const char* verb, const std::string& wirePath, ULONGLONG restartAt,
                                                ULONGLONG startsAt = 0);
    // Sends verb with a path argument; expected is a reply number that also
    // counts as success (350 for RNFR).
    void PathCommand(const char* verb, const char* path, int expected = 0) const;

    std::unique_ptr<CFtpSession> m_session;
    std::string m_serverName;
    WORD m_port;
};
