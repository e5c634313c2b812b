// The file store of an FTP server: one Internet session and one FTP connection.
#pragma once
#include "filesystem/WyFileSystem.h"
#include "filesystem/WyFileSystemOwner.h"
#include "filesystem/WyInternetSession.h"
#include "framework/FtpConnection.h"

#include <memory>
#include <string>

class CWyPath;

// Every operation except Connect, GetRoot, GetConnection, Disconnect,
// SetBusy and AbortTransfer raises WyFTPErrorNotConnected without a
// connection. A server's refusal is raised as CInternetException (12003,
// with the reply as the last response).
class CWyFTPFileSystem : public CWyFileSystem {
public:
    // The owner (the control) is not owned and outlives the store.
    explicit CWyFTPFileSystem(CWyFileSystemOwner* owner);
    CWyFTPFileSystem(const CWyFTPFileSystem&) = delete;
    CWyFTPFileSystem& operator=(const CWyFTPFileSystem&) = delete;

    void SetBusy(BOOL busy) override;
    void DirUp() override;
    std::string GetRoot() override;
    CFtpConnection* GetConnection() override;
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
    // Closes the connection, then the session.
    ~CWyFTPFileSystem() override;

    // Relays one file from sourceConnection to destinationConnection; used
    // by GetFile and PutFile for an ftp URL on the other side.
    virtual void CopyBetweenConnections(const char* sourcePath, const char* destinationPath,
                                        CFtpConnection* sourceConnection, CFtpConnection* destinationConnection,
                                        DWORD chunkSize);

private:
    void RequireConnection() const;
    // Makes path the server's working directory and tells the control.
    void ChangeDirectory(const char* path);
    void UploadLocalFile(const CWyPath& source, const CWyPath& destination, DWORD chunkSize);

    BOOL m_bBusy = FALSE;
    BOOL m_bAbort = FALSE;
    CWyFileSystemOwner* m_pCtrl;
    std::unique_ptr<CWyInternetSession> m_pSession;
    std::unique_ptr<CFtpConnection> m_pConnection;
};
