// The one interface over the file store the control shows: an FTP server or the local disk.
#pragma once
#include "filesystem/WyDirectoryEntry.h"

#include <windows.h>

#include <memory>
#include <string>

class CFtpConnection;
class CWySubdirectoryProbe;

// Paths use "/" as separator and "/" as the top. Failures are raised as
// CWyFTPException, CInternetException or CFileException; the only results
// that signal failure are GetFileSize's 0xFFFFFFFF for a missing file.
// The control owns one object at a time and deletes it through this class.
class CWyFileSystem {
public:
    // Makes the parent of the current directory current; at "/" raises
    // WyFTPErrorTopDirectory.
    virtual void DirUp() = 0;
    // The drive root put in front of absolute paths ("" for FTP).
    virtual std::string GetRoot() = 0;
    virtual DWORD GetFileSize(const char* name) = 0;
    // Any argument may be null; then all three come from the control.
    virtual void Connect(const char* server, const char* user, const char* password) = 0;
    virtual void CreateDirectory(const char* name) = 0;
    // Never raises.
    virtual void Disconnect() = 0;
    // The store's working directory, as an ftp URL when asUrl is TRUE (FTP
    // only). Returned whole, whatever its length.
    virtual std::string GetCurrentDirectory(BOOL asUrl) = 0;
    // Copies one file of the store into a local directory (or, for FTP, a
    // directory on another server named by an ftp URL).
    virtual void GetFile(const char* source, const char* destinationDirectory, DWORD chunkSize) = 0;
    // Copies one local file (or one named by an ftp URL) into a directory of
    // the store.
    virtual void PutFile(const char* source, const char* destinationDirectory, DWORD chunkSize) = 0;
    // Appends one entry per item of the directory; raises WyFTPErrorNoFiles
    // when it yields nothing.
    virtual void GetFileList(const char* directory, CWyFileList* files) = 0;
    virtual void RemoveDirectory(const char* directory) = 0;
    virtual void RemoveFile(const char* name) = 0;
    virtual void RenameFile(const char* oldName, const char* newName) = 0;
    // Makes path current, stores it in the control and fires
    // ChangeCurrentDirectory; does nothing when it already is current.
    virtual void SetCurrentDirectory(const char* path) = 0;
    // Asks the running transfer to stop at its next chunk.
    virtual void AbortTransfer() = 0;
    // Between calls: keeps an idle connection from being dropped (nothing
    // for a store without one).
    virtual void KeepAlive() {}
    virtual ~CWyFileSystem() = default;

    // What the explorer asks of the store it shows, so that it never needs
    // to know which store that is.

    // What goes in front of a store path to name it to the shell or to
    // another control: "ftp://server[:port]" for FTP, the drive ("P:") for
    // the local disk.
    virtual std::string GetAddressPrefix() = 0;
    // The entry a file of the store is dragged out as: its address, with
    // the account another control needs to fetch it from a server
    // ("ftp://server/dir/file?uid=user&pw=password").
    virtual std::string GetDragOutEntry(const std::string& path) = 0;
    // Whether names that differ in case name different files.
    virtual bool IsCaseSensitive() = 0;
    // The text of the tree's top item: "/" for FTP, the drive letter for
    // the local disk.
    virtual std::string GetRootText() = 0;
    // Whether path names a directory of the store, whether or not a listing
    // of its parent shows it (a server may hide some). Never raises.
    virtual bool IsDirectory(const char* path) = 0;
    // Asks, on a connection of its own, what the tree shows before the user
    // opens a directory; null when not connected.
    virtual std::unique_ptr<CWySubdirectoryProbe> MakeSubdirectoryProbe() = 0;
};
