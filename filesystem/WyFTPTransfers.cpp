// The transfers of the server store: uploads, downloads and relays between two servers.
#include "filesystem/WyFTPFileSystem.h"

#include "filesystem/ChunkedCopy.h"
#include "filesystem/DirectoryProbes.h"
#include "filesystem/WyFTPUrl.h"
#include "filesystem/LocalDownload.h"
#include "filesystem/TransferFileName.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "filesystem/WyUrlConnection.h"
#include "framework/File.h"

void CWyFTPFileSystem::PutFile(const char* source, const char* destinationDirectory, DWORD chunkSize)
{
    m_abort = FALSE;
    RequireConnection();
    if (!source || !destinationDirectory)
        throw CWyFTPException(WyFTPErrorNoFileName);
    CWyPath destination(destinationDirectory);
    destination.ToForwardSlashes();

    const std::string sourceText = AddressWithForwardSlashes(source);
    if (IsFtpUrl(sourceText)) {
        // A file on another server: relay it from there to here.
        const CWyFTPUrl url = ParseFtpUrl(sourceText);
        CWyPath target = DestinationFile(destination, CWyPath(url.path));
        target.Normalize();
        CWyUrlConnection other(url, *m_owner);
        CopyBetweenConnections(url.path.c_str(), target.c_str(), other.Connection(), m_connection.get(),
                               chunkSize);
        return;
    }

    CWyPath local(source);
    local.ToForwardSlashes();
    CWyPath target = DestinationFile(destination, local);
    target.Normalize();
    UploadLocalFile(local, target, chunkSize);
}

void CWyFTPFileSystem::GetFile(const char* source, const char* destinationDirectory, DWORD chunkSize)
{
    m_abort = FALSE;
    RequireConnection();
    if (!destinationDirectory)
        throw CWyFTPException(WyFTPErrorNoFileName);
    CWyPath remote(source);
    remote.ToForwardSlashes();
    const CWyPath destination(AddressWithForwardSlashes(destinationDirectory));

    if (IsFtpUrl(destination.Str())) {
        // A directory on another server: relay the file from here to there.
        const CWyFTPUrl url = ParseFtpUrl(destination.Str());
        const CWyPath target = DestinationFile(CWyPath(url.path), remote);
        remote.Normalize();
        if (DescribeRemotePath(*m_connection, remote.Str(), ListedEntry(remote.Str())).directory)
            throw CWyFTPException(WyFTPErrorDirectoryTransfer);
        CWyUrlConnection other(url, *m_owner);
        CopyBetweenConnections(remote.c_str(), target.c_str(), m_connection.get(), other.Connection(), chunkSize);
        return;
    }

    // A local directory keeps its drive: "D:/dl" means D:, whatever the
    // process's current drive is.
    const CWyPath target = DestinationFile(destination, remote);
    remote.Normalize();
    DownloadToLocalFile(CWyTransferParty{*this, *m_owner, m_abort}, m_connection.get(), remote, target,
                        chunkSize, ListedEntry(remote.Str()));
}

void CWyFTPFileSystem::CopyBetweenConnections(const char* sourcePath, const char* destinationPath,
                                              CRemoteConnection* sourceConnection,
                                              CRemoteConnection* destinationConnection, DWORD chunkSize)
{
    m_abort = FALSE;
    RequireConnection();
    if (!sourceConnection || !destinationConnection)
        throw CWyFTPException(WyFTPErrorNotConnected);
    CWyPath source(sourcePath);
    CWyPath destination(destinationPath);
    source.ToForwardSlashes();
    destination.ToForwardSlashes();
    const CWyRemotePath facts = DescribeRemotePath(
        *sourceConnection, source.Str(), sourceConnection == m_connection.get() ? ListedEntry(source.Str()) : nullptr);
    if (facts.directory)
        throw CWyFTPException(WyFTPErrorDirectoryTransfer);
    if (destinationConnection == m_connection.get())
        ForgetListings();

    std::unique_ptr<char[]> buffer = AllocateTransferBuffer(chunkSize);
    const LONGLONG size = facts.size;
    const std::unique_ptr<CRemoteFile> reader = sourceConnection->OpenForReading(source.c_str(), size);
    const std::unique_ptr<CRemoteFile> writer = destinationConnection->OpenForWriting(destination.c_str());
    const CWyTransferJob job{CWyTransferParty{*this, *m_owner, m_abort},
                             buffer.get(),
                             chunkSize,
                             size,
                             source.GetLastComponent().Str(),
                             [destinationConnection, &destination] {
                                 destinationConnection->Remove(destination.c_str());
                             },
                             false,
                             {reader.get(), writer.get()}};
    CopyInChunks(job, *reader, *writer);
}

void CWyFTPFileSystem::UploadLocalFile(const CWyPath& source, const CWyPath& destination, DWORD chunkSize)
{
    std::unique_ptr<char[]> buffer = AllocateTransferBuffer(chunkSize);
    if (IsLocalDirectory(source.c_str()) == 1)
        throw CWyFTPException(WyFTPErrorDirectoryTransfer);
    ForgetListings();
    CFile local(source.c_str(), CFile::modeRead);
    const LONGLONG size = static_cast<LONGLONG>(local.GetLength());
    const std::unique_ptr<CRemoteFile> remote = m_connection->OpenForWriting(destination.c_str());
    const std::string target = destination.Str();
    // The partial upload is deleted through the store's own RemoveFile, so a
    // refused deletion is reported instead of the abort.
    const CWyTransferJob job{CWyTransferParty{*this, *m_owner, m_abort},
                             buffer.get(),
                             chunkSize,
                             size,
                             source.GetLastComponent().Str(),
                             [this, &target] { RemoveFile(target.c_str()); },
                             false,
                             {remote.get()}};
    CopyInChunks(job, local, *remote);
}
