// A logged-in connection to a server as the server store uses it, whatever protocol it speaks.
#pragma once
#include "filesystem/WyDirectoryEntry.h"
#include "framework/File.h"
#include "ftp/FtpOptions.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class CNetworkWaitHook;

// What a path on a server is.
struct CWyRemotePath {
    bool exists = false;
    bool directory = false;
    LONGLONG size = -1;  // a file's size, -1 when unknown
};

// A file on a server, read or written in chunks by the copy loop.
class CRemoteFile : public CFile {
public:
    using CFile::CFile;
    // Asked while this file waits for its server (see CNetworkWaitHook).
    virtual void SetWaitHook(CNetworkWaitHook* hook) = 0;
};

// Every failure is raised as CInternetException with the Internet library's
// number (RaiseFtpError), or as CWyFTPException for the control's own.
// Paths are the control's text, absolute or relative to the working
// directory.
class CRemoteConnection {
public:
    virtual ~CRemoteConnection() = default;

    virtual const std::string& GetServerName() const = 0;
    // "scheme://server", with ":port" when the port is not the protocol's
    // own: the start of every URL of this connection.
    virtual std::string GetUrlPrefix() const = 0;

    virtual void SetCurrentDirectory(const char* directory) = 0;
    // The working directory, whatever its length.
    virtual std::string GetCurrentDirectory() const = 0;
    // The same as GetUrlPrefix() + directory.
    std::string GetCurrentDirectoryAsURL() const;
    virtual void CreateDirectory(const char* directory) = 0;
    virtual void RemoveDirectory(const char* directory) = 0;
    virtual void Remove(const char* fileName) = 0;
    virtual void Rename(const char* oldName, const char* newName) = 0;

    // A file opened for a binary transfer. A read counts only with as many
    // bytes as the file holds (size: known before, -1 none); closing a file
    // that moved fewer raises WyFTPErrorTransferSizeMismatch.
    virtual std::unique_ptr<CRemoteFile> OpenForReading(const char* fileName, LONGLONG size) = 0;
    virtual std::unique_ptr<CRemoteFile> OpenForWriting(const char* fileName) = 0;

    // The entries of directory (absolute); false when the server refuses to
    // list it.
    virtual bool List(const std::string& directory, std::vector<CWyDirectoryEntry>& entries) = 0;
    // What path is; a name the server does not show is missing. Links to
    // files have their target's size.
    virtual CWyRemotePath Describe(const std::string& path) = 0;
    // Whether the server takes path as its working directory, for a path no
    // listing shows (a server may hide some); returns to where it was.
    virtual bool CanEnterDirectory(const std::string& path) = 0;
    // Between calls: keeps an idle connection from being dropped.
    virtual void KeepAlive() = 0;
    // The fingerprint of the server's certificate or host key that this
    // connection accepted (whoever accepted it: the platform, the pin or the
    // host), for a second connection to the same server; empty without one.
    virtual std::string AcceptedFingerprint() const = 0;
};

// known: the path's entry in a listing the caller already holds, or null;
// then the connection is asked.
CWyRemotePath DescribeRemotePath(CRemoteConnection& connection, const std::string& path,
                                 const CWyDirectoryEntry* known = nullptr);
