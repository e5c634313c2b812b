// Downloads one file of a server connection into a local file, through the chunked copy loop.
#pragma once
#include "filesystem/ChunkedCopy.h"
#include "filesystem/WyDirectoryEntry.h"

class CRemoteConnection;
class CWyPath;

// Raises WyFTPErrorDirectoryTransfer when source is a directory. The remote
// file is opened before the local one is created, so a name the server
// refuses leaves any local file of that name as it was. An aborted or failed
// download deletes the partial local file. listed: source's entry in a
// listing already read, or null (see DescribeRemotePath).
void DownloadToLocalFile(const CWyTransferParty& party, CRemoteConnection* connection, const CWyPath& source,
                         const CWyPath& localFile, DWORD chunkSize, const CWyDirectoryEntry* listed = nullptr);
