// The file store of a server: one connection, over FTP or SFTP as the connection options say.
#pragma once
#include "filesystem/WyFileSystem.h"
#include "filesystem/RemoteConnection.h"
#include "filesystem/WyFileSystemOwner.h"
#include "net/NetworkWait.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CWyPath;

// Every operation except Connect, GetRoot, Disconnect and AbortTransfer
// raises WyFTPErrorNotConnected without a
// connection. A server's refusal is raised as CInternetException (12003,
// with the server's reply).
class CWyFTPFileSystem : public CWyFileSystem {
public:
    // The owner (the control) is not owned and outlives the store.
    explicit CWyFTPFileSystem(CWyFileSystemOwner* owner);
    CWyFTPFileSystem(const CWyFTPFileSystem&) = delete;
    CWyFTPFileSystem& operator=(const CWyFTPFileSystem&) = delete;

    void DirUp() override;
    std::string GetRoot() override;
    DWORD GetFileSize(const char* name) override;
    void Connect(const char* server, const char* user, const char* password) override;
    void CreateDirectory(const char* name) override;
    void Disconnect() override;
    std::string GetCurrentDirectory(BOOL asUrl) override;
    void GetFile(const char* source, const char* destinationDirectory, DWORD chunkSize) override;
    void PutFile(const char* source, const char* destinationDirectory, DWORD chunkSize) override;
    void GetFileList(const char* directory, CWyFileList* files) override;
    void RemoveDirectory(const char* directory) override;
    void RemoveFile(const char* name) override;
    void RenameFile(const char* oldName, const char* newName) override;
    void SetCurrentDirectory(const char* path) override;
    void AbortTransfer() override;
    void KeepAlive() override;
    std::string GetAddressPrefix() override;
    std::string GetDragOutEntry(const std::string& path) override;
    bool IsCaseSensitive() override { return true; }
    std::string GetRootText() override { return "/"; }
    bool IsDirectory(const char* path) override;
    std::unique_ptr<CWySubdirectoryProbe> MakeSubdirectoryProbe() override;
    // Closes the connection.
    ~CWyFTPFileSystem() override;

    // Relays one file from sourceConnection to destinationConnection; used
    // by GetFile and PutFile for a server URL on the other side.
    virtual void CopyBetweenConnections(const char* sourcePath, const char* destinationPath,
                                        CRemoteConnection* sourceConnection, CRemoteConnection* destinationConnection,
                                        DWORD chunkSize);

private:
    void RequireConnection() const;
    // Makes path the server's working directory and tells the control.
    void ChangeDirectory(const char* path);
    void UploadLocalFile(const CWyPath& source, const CWyPath& destination, DWORD chunkSize);
    // The entries of directory (absolute, no trailing slash), read once per
    // call of the host; raises as GetFileList does.
    const std::vector<CWyDirectoryEntry>& Listing(const std::string& directory);
    // The entry of path in a listing already read in this call, or null.
    const CWyDirectoryEntry* ListedEntry(const std::string& path);
    // After anything that changes the server's directories.
    void ForgetListings() { m_listings.clear(); }

    // The connection's waits let the owner answer other threads.
    class CAnsweringWait : public CNetworkWaitHook {
    public:
        explicit CAnsweringWait(CWyFileSystemOwner* owner) : m_owner(owner) {}
        bool KeepWaiting() override
        {
            m_owner->AnswerSentMessages();
            return true;
        }

    private:
        CWyFileSystemOwner* m_owner;
    };

    BOOL m_abort = FALSE;
    CWyFileSystemOwner* m_owner;
    CAnsweringWait m_answeringWait{m_owner};
    // From the start of a Connect to Disconnect: a second Connect is
    // refused until then, also after one that failed.
    bool m_connectStarted = false;
    std::unique_ptr<CRemoteConnection> m_connection;
    // The account the connection logged in with, for the tree's probe.
    std::string m_userName;
    std::string m_password;
    // The listings read in the call whose generation is m_listingsCall.
    std::map<std::string, std::vector<CWyDirectoryEntry>> m_listings;
    unsigned m_listingsCall = 0;
};
