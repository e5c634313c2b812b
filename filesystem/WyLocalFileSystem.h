// The file store of the local disk: one drive presented as a "/" tree.
#pragma once
#include "filesystem/WyFileSystem.h"
#include "filesystem/WyFileSystemOwner.h"

#include <string>

class CWyPath;

// Paths that start with "/" lie under the drive root (GetRoot), which is put
// in front of them before they reach the platform, in every operation: a
// path without a drive would name the process's current drive, which the
// host may have changed (and under Wine a "/" path is a Unix path).
// Failures of the runtime's directory functions are raised as
// CFileException from errno, failures of files as the file's own
// CFileException.
class CWyLocalFileSystem : public CWyFileSystem {
public:
    // The owner (the control) is not owned and outlives the store.
    explicit CWyLocalFileSystem(CWyFileSystemOwner* owner);
    CWyLocalFileSystem(const CWyLocalFileSystem&) = delete;
    CWyLocalFileSystem& operator=(const CWyLocalFileSystem&) = delete;

    void DirUp() override;
    std::string GetRoot() override;
    DWORD GetFileSize(const char* name) override;
    // The server names the drive root ("D:"); user and password are not used.
    void Connect(const char* server, const char* user, const char* password) override;
    void CreateDirectory(const char* name) override;
    void Disconnect() override;
    // The process's working directory as the runtime gives it (C:\data).
    std::string GetCurrentDirectory(BOOL asUrl) override;
    void GetFile(const char* source, const char* destinationDirectory, DWORD chunkSize) override;
    // source may also be an ftp URL: the file is then downloaded from that server.
    void PutFile(const char* source, const char* destinationDirectory, DWORD chunkSize) override;
    void GetFileList(const char* directory, CWyFileList* files) override;
    void RemoveDirectory(const char* directory) override;
    void RemoveFile(const char* name) override;
    void RenameFile(const char* oldName, const char* newName) override;
    void SetCurrentDirectory(const char* path) override;
    void AbortTransfer() override;
    std::string GetAddressPrefix() override;
    std::string GetDragOutEntry(const std::string& path) override;
    bool IsCaseSensitive() override { return false; }
    std::string GetRootText() override { return m_root.substr(0, m_root.empty() ? 0 : 1); }
    bool IsDirectory(const char* path) override;
    std::unique_ptr<CWySubdirectoryProbe> MakeSubdirectoryProbe() override;
    ~CWyLocalFileSystem() override;

    // Copies one local file to another; both paths may be store paths.
    virtual void CopyLocalFile(const char* source, const char* destination, DWORD chunkSize);

private:
    // Makes path the process's working directory and tells the control.
    void ChangeDirectory(const char* path);
    // name with "\" turned to "/" and the root in front when it starts with "/".
    CWyPath Rooted(const char* name) const;
    void DownloadFromUrl(const std::string& url, const CWyPath& destinationDirectory, DWORD chunkSize);
    // The working directory in the form the store compares paths in.
    std::string WorkingDirectoryForComparison();

    BOOL m_abort = FALSE;
    std::string m_root;
    CWyFileSystemOwner* m_owner;
};
