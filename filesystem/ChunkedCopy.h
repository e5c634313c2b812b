// The chunked copy loop that every transfer of both stores runs.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFile;
class CRemoteFile;
class CWyFileSystem;
class CWyFileSystemOwner;

// The chunk buffer of one transfer. Raises WyFTPErrorCreateObject when a
// buffer of chunkSize bytes cannot be had, or chunkSize is 0 (which could
// copy nothing) or above kMaxTransferKilobytes kilobytes.
std::unique_ptr<char[]> AllocateTransferBuffer(DWORD chunkSize);

// The store that runs a transfer.
struct CWyTransferParty {
    CWyFileSystem& fileSystem;  // the progress dialog's Cancel aborts it
    CWyFileSystemOwner& owner;  // properties, TransferProgress, the control window
    BOOL& abortFlag;            // the store's m_abort
};

// One transfer, as the copy loop needs it.
struct CWyTransferJob {
    CWyTransferParty party;
    char* buffer;
    DWORD chunkSize;
    LONGLONG sourceSize;        // bytes, or -1 when unknown
    std::string displayName;    // last path component of the source
    // Deletes the destination file; called after both files are closed.
    std::function<void()> deleteDestination;
    // After a failure (not an abort): delete the partial destination or keep it.
    bool deleteOnFailure;
    // The reader or the writer, or both, where they wait for a server: the
    // thread's messages are let through during their waits.
    std::vector<CRemoteFile*> remoteFiles;
};

// Copies reader into writer chunk by chunk: fires TransferProgress with the
// running total after every chunk, shows the progress dialog for sources of
// at least ShowProgressDialog kilobytes while EnableProgressDialog is on,
// and dispatches the thread's window messages between chunks. Afterwards
// closes the reader and then the writer (closing a remote file confirms
// the transfer with the server) and returns the number of bytes copied.
//
// When the network breaks a remote side (CFile::CanResume), both sides go
// on from where they agree (CFile::ResumeAt) as long as each break comes
// after new bytes; TransferProgress is not fired again for bytes sent twice,
// and starts again from 0 when the transfer does.
//
// When abortFlag is set before a chunk or while messages are dispatched:
// abandons both files, clears the flag, deletes the destination and raises
// WyFTPErrorTransferAborted. When reading, writing or closing fails (closing
// a remote file also fails for a transfer the server broke off): abandons
// both files, deletes the destination if the job says so, and lets the
// error go on.
ULONGLONG CopyInChunks(const CWyTransferJob& job, CFile& reader, CFile& writer);
