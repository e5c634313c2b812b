// Downloads one file of a server connection into a local file, through the chunked copy loop.
#include "filesystem/LocalDownload.h"

#include "filesystem/RemoteConnection.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "framework/File.h"

void DownloadToLocalFile(const CWyTransferParty& party, CRemoteConnection* connection, const CWyPath& source,
                         const CWyPath& localFile, DWORD chunkSize, const CWyDirectoryEntry* listed)
{
    std::unique_ptr<char[]> buffer = AllocateTransferBuffer(chunkSize);
    const CWyRemotePath facts = DescribeRemotePath(*connection, source.Str(), listed);
    if (facts.directory)
        throw CWyFTPException(WyFTPErrorDirectoryTransfer);
    const LONGLONG size = facts.size;

    const std::unique_ptr<CRemoteFile> remote = connection->OpenForReading(source.c_str(), size);
    CFile local(localFile.c_str(), CFile::modeCreate | CFile::modeWrite);
    const std::string localName = localFile.Str();
    const CWyTransferJob job{party, buffer.get(), chunkSize, size, source.GetLastComponent().Str(),
                             [&localName] { CFile::Remove(localName.c_str()); }, true, {remote.get()}};
    CopyInChunks(job, *remote, local);
}
