// The transfers of the local store: file copies, and downloads from the server an ftp URL names.
#include "filesystem/WyLocalFileSystem.h"

#include "filesystem/ChunkedCopy.h"
#include "filesystem/DirectoryProbes.h"
#include "filesystem/WyFTPUrl.h"
#include "filesystem/LocalDownload.h"
#include "filesystem/TransferFileName.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "filesystem/WyUrlConnection.h"
#include "framework/File.h"

void CWyLocalFileSystem::GetFile(const char* source, const char* destinationDirectory, DWORD chunkSize)
{
    m_abort = FALSE;
    if (!destinationDirectory)
        throw CWyFTPException(WyFTPErrorNoFileName);
    CWyPath from(source);
    CWyPath directory(destinationDirectory);
    from.ToForwardSlashes();
    directory.ToForwardSlashes();
    if (IsLocalDirectory(Rooted(from.c_str()).c_str()) == 1)
        throw CWyFTPException(WyFTPErrorDirectoryTransfer);
    CopyLocalFile(from.c_str(), DestinationFile(directory, from).c_str(), chunkSize);
}

void CWyLocalFileSystem::PutFile(const char* source, const char* destinationDirectory, DWORD chunkSize)
{
    if (!source || !destinationDirectory)
        throw CWyFTPException(WyFTPErrorNoFileName);
    const CWyPath from(AddressWithForwardSlashes(source));
    CWyPath directory(destinationDirectory);
    directory.ToForwardSlashes();
    if (IsFtpUrl(from.Str())) {
        DownloadFromUrl(from.Str(), directory, chunkSize);
        return;
    }
    if (IsLocalDirectory(Rooted(from.c_str()).c_str()) == 1)
        throw CWyFTPException(WyFTPErrorDirectoryTransfer);
    // The destination keeps a trailing "/"; the doubled separator is harmless.
    const std::string target = directory.Str() + "/" + TransferFileName(from).Str();
    CopyLocalFile(from.c_str(), target.c_str(), chunkSize);
}

void CWyLocalFileSystem::CopyLocalFile(const char* source, const char* destination, DWORD chunkSize)
{
    m_abort = FALSE;
    if (!source)
        throw CWyFTPException(WyFTPErrorNoFileName);
    const CWyPath from = Rooted(source);
    const CWyPath to = Rooted(destination);
    if (IsLocalDirectory(from.c_str()) == 1)
        throw CWyFTPException(WyFTPErrorDirectoryTransfer);

    std::unique_ptr<char[]> buffer = AllocateTransferBuffer(chunkSize);
    // The source is shared for reading only, so a copy onto itself fails
    // to create the destination instead of truncating the source.
    CFile reader(from.c_str(), CFile::modeRead);
    CFile writer(to.c_str(), CFile::modeCreate | CFile::modeWrite);
    const LONGLONG size = static_cast<LONGLONG>(reader.GetLength());
    const std::string target = to.Str();
    const CWyTransferJob job{CWyTransferParty{*this, *m_owner, m_abort},
                             buffer.get(),
                             chunkSize,
                             size,
                             from.GetLastComponent().Str(),
                             [&target] { CFile::Remove(target.c_str()); },
                             false,
                             {}};
    CopyInChunks(job, reader, writer);
}

void CWyLocalFileSystem::DownloadFromUrl(const std::string& url, const CWyPath& destinationDirectory,
                                         DWORD chunkSize)
{
    m_abort = FALSE;
    const CWyFTPUrl parsed = ParseFtpUrl(url);
    const CWyPath source(parsed.path);
    // A store path ("/dl") lies under the store's root; a path with a
    // drive keeps it.
    const CWyPath directory = Rooted(destinationDirectory.c_str());
    std::string target = directory.Str();
    if (!directory.EndsWithSlash())
        target += '/';
    target += TransferFileName(source).Str();

    CWyUrlConnection other(parsed, *m_owner);
    DownloadToLocalFile(CWyTransferParty{*this, *m_owner, m_abort}, other.Connection(), source, CWyPath(target),
                        chunkSize);
}
