// A logged-in SFTP connection as the server store uses it: a working directory of its own, listings, directories, renames, deletions and remote files.
#pragma once
#include "filesystem/RemoteConnection.h"
#include "ftp/WireText.h"
#include "sftp/SshSession.h"

#include <functional>
#include <memory>
#include <string>

// SFTP has no working directory: the connection keeps one and makes every
// path absolute from it. Names travel as UTF-8.
class CSftpConnection : public CRemoteConnection {
public:
    // Connects to server as options say (port 0 raises
    // WyFTPErrorCreateObject) and logs in; raises when it cannot.
    static std::unique_ptr<CSftpConnection> Open(const std::string& server, const std::string& user,
                                                 const std::string& password, const CFtpOptions& options,
                                                 CNetworkWaitHook* standingHook = nullptr);
    CSftpConnection(const CFtpOptions& options, CNetworkWaitHook* standingHook, std::string serverName);
    CSftpConnection(const CSftpConnection&) = delete;
    CSftpConnection& operator=(const CSftpConnection&) = delete;

    const std::string& GetServerName() const override { return m_serverName; }
    std::string GetUrlPrefix() const override;
    void SetCurrentDirectory(const char* directory) override;
    std::string GetCurrentDirectory() const override { return m_directory; }
    void CreateDirectory(const char* directory) override;
    void RemoveDirectory(const char* directory) override;
    void Remove(const char* fileName) override;
    void Rename(const char* oldName, const char* newName) override;
    std::unique_ptr<CRemoteFile> OpenForReading(const char* fileName, LONGLONG size) override;
    std::unique_ptr<CRemoteFile> OpenForWriting(const char* fileName) override;
    bool List(const std::string& directory, std::vector<CWyDirectoryEntry>& entries) override;
    CWyRemotePath Describe(const std::string& path) override;
    bool CanEnterDirectory(const std::string& path) override;
    void KeepAlive() override { m_session.KeepAlive(); }
    std::string AcceptedFingerprint() const override { return m_session.AcceptedFingerprint(); }

    CSshSession& Session() { return m_session; }
    // path (the control's text) made absolute from the working directory,
    // as UTF-8 for the wire; raises invalidName for a name that cannot go.
    std::string WirePath(const std::string& path) const;
    // Runs operation (negative: failed), which may run twice (it changes
    // nothing the first time it fails), once more when the session broke
    // and reconnects; traces request. Returns what failed.
    FtpError TryRequest(const std::string& request, const std::function<int()>& operation);
    // The same, raising what fails.
    void Request(const std::string& request, const std::function<int()>& operation);
    // Raises the failure of the last call.
    [[noreturn]] void RaiseFailure();
    // The attributes of a wire path, following links; false when the
    // server does not show it (refused or missing). Raises other failures.
    bool Stat(const std::string& wirePath, LIBSSH2_SFTP_ATTRIBUTES& attributes);

private:
    // One STAT call, following links; its result.
    int StatCall(const std::string& wirePath, LIBSSH2_SFTP_ATTRIBUTES& attributes);

    CSshSession m_session;
    std::string m_serverName;
    WORD m_port;
    std::string m_directory = "/";
    mutable CWireNames m_names;
};
