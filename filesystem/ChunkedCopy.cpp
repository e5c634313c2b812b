// The chunked copy loop that every transfer of both stores runs.
#include "filesystem/ChunkedCopy.h"

#include "filesystem/InternetError.h"
#include "filesystem/RemoteConnection.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyFileSystemOwner.h"
#include "framework/CodePage932.h"
#include "framework/File.h"
#include "net/NetworkWait.h"
#include "resources/resource.h"

#include <climits>
#include <new>
#include <optional>

namespace {

// The progress dialog of one transfer: shown only for large enough sources
// while the control enables it, placed on the control window's top-left
// corner, and removed with this object.
class CTransferProgress {
public:
    explicit CTransferProgress(const CWyTransferJob& job)
        : m_display(job.party.owner.CreateProgressDisplay(job.party.fileSystem)), m_size(job.sourceSize)
    {
        // ShowProgressDialog is a threshold in kilobytes; an unknown size
        // (-1) stays below any threshold that is not negative.
        const LONGLONG threshold = static_cast<LONGLONG>(job.party.owner.GetShowProgressDialogProperty()) * 1024;
        if (!m_display || !job.party.owner.IsProgressDialogEnabled() || job.sourceSize < threshold)
            return;
        POINT topLeft = {0, 0};
        RECT controlRect;
        const HWND control = job.party.owner.GetControlWindow();
        if (control && GetWindowRect(control, &controlRect))
            topLeft = {controlRect.left, controlRect.top};
        if (!m_display->Show(topLeft))
            return;
        m_display->SetMessageText(job.displayName + LoadResourceString(IDS_TRANSFERRING));
        m_shown = true;
    }

    CWyProgressDisplay* Display() const { return m_shown ? m_display.get() : nullptr; }

    void Update(ULONGLONG copied)
    {
        if (!m_shown || !m_display->HasWindow() || m_size <= 0)
            return;
        // 64-bit: copied * 100 overflows 32 bits once a file passes 21 MB.
        const ULONGLONG percent = copied * 100 / static_cast<ULONGLONG>(m_size);
        m_display->SetPercent(percent < 100 ? static_cast<int>(percent) : 100);
    }

private:
    std::unique_ptr<CWyProgressDisplay> m_display;
    LONGLONG m_size;
    bool m_shown = false;
};

// A WM_QUIT taken from the queue by the pump belongs to the host's own
// message loop: it is posted again when the transfer ends.
class CQuitKeeper {
public:
    CQuitKeeper() = default;
    CQuitKeeper(const CQuitKeeper&) = delete;
    CQuitKeeper& operator=(const CQuitKeeper&) = delete;
    ~CQuitKeeper()
    {
        if (m_taken)
            PostQuitMessage(m_exitCode);
    }
    void Keep(WPARAM exitCode)
    {
        m_taken = true;
        m_exitCode = static_cast<int>(exitCode);
    }

private:
    bool m_taken = false;
    int m_exitCode = 0;
};

// Dispatches the pending window messages of the thread, which lets the
// progress dialog's Cancel button and calls from the host (AbortTransfer)
// run. Returns TRUE as soon as an abort has been requested; the message
// that follows stays in the queue.
bool PumpMessages(const BOOL& abortFlag, CWyProgressDisplay* display, CQuitKeeper& quit)
{
    MSG message;
    while (!abortFlag && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit.Keep(message.wParam);
            continue;
        }
        if (display && display->HasWindow() && display->PreTranslateMessage(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return abortFlag != FALSE;
}

// Decides when the loop looks at the message queue: before the first chunk,
// then at most every kInterval milliseconds. A look is a round trip to the
// window system (tens of microseconds under Wine), which on every chunk of a
// fast transfer cost a tenth of the throughput; a user or a host waits at
// most the interval for a click or a call to be handled. The abort flag
// itself is still tested before every chunk.
class CPumpSchedule {
public:
    bool Due()
    {
        const DWORD now = GetTickCount();
        if (m_started && now - m_last < kInterval)
            return false;
        m_started = true;
        m_last = now;
        return true;
    }

private:
    static constexpr DWORD kInterval = 10;
    bool m_started = false;
    DWORD m_last = 0;
};

// Lets the thread's messages through while a network file waits for its
// peer in the middle of a chunk, so that Cancel and AbortTransfer end a slow
// transfer within a slice of the wait instead of after the whole chunk.
// Local files never wait for anyone.
class CPumpingWait : public CNetworkWaitHook {
public:
    CPumpingWait(const std::vector<CRemoteFile*>& files, const BOOL& abortFlag, CTransferProgress& progress,
                 CQuitKeeper& quit)
        : m_files(files), m_abortFlag(abortFlag), m_progress(progress), m_quit(quit)
    {
        Hook(this);
    }
    CPumpingWait(const CPumpingWait&) = delete;
    CPumpingWait& operator=(const CPumpingWait&) = delete;
    ~CPumpingWait() { Hook(nullptr); }

    bool KeepWaiting() override { return !PumpMessages(m_abortFlag, m_progress.Display(), m_quit); }

private:
    void Hook(CNetworkWaitHook* hook)
    {
        for (CRemoteFile* file : m_files)
            file->SetWaitHook(hook);
    }

    const std::vector<CRemoteFile*>& m_files;
    const BOOL& m_abortFlag;
    CTransferProgress& m_progress;
    CQuitKeeper& m_quit;
};

// Where a copy goes on after a remote side broke: the writer goes back to
// what its destination holds (an upload's server may hold less than was
// sent), the reader to there, or to the start where its server refuses; a
// second round settles a reader that went back further.
ULONGLONG ResumeBoth(CFile& reader, CFile& writer, ULONGLONG copied)
{
    ULONGLONG at = copied;
    for (;;) {
        const ULONGLONG written = writer.ResumeAt(at);
        at = reader.ResumeAt(written);
        if (at == written)
            return at;
    }
}

// TransferProgress carries a long: past 2 GB it stays at the largest value
// instead of turning negative.
LONG ProgressValue(ULONGLONG copied)
{
    return copied < static_cast<ULONGLONG>(LONG_MAX) ? static_cast<LONG>(copied) : LONG_MAX;
}

}  // namespace

std::unique_ptr<char[]> AllocateTransferBuffer(DWORD chunkSize)
{
    constexpr DWORD kMaxChunk = static_cast<DWORD>(kMaxTransferKilobytes) * 1024;
    const bool sane = chunkSize > 0 && chunkSize <= kMaxChunk;
    std::unique_ptr<char[]> buffer(sane ? new (std::nothrow) char[chunkSize] : nullptr);
    if (!buffer)
        throw CWyFTPException(WyFTPErrorCreateObject);
    return buffer;
}

ULONGLONG CopyInChunks(const CWyTransferJob& job, CFile& reader, CFile& writer)
{
    CTransferProgress progress(job);
    CQuitKeeper quit;
    CPumpSchedule pump;
    CPumpingWait pumpingWait(job.remoteFiles, job.party.abortFlag, progress, quit);
    ULONGLONG copied = 0;
    ULONGLONG reported = 0;  // the last TransferProgress
    bool aborted = false;
    bool resume = false;
    std::optional<ULONGLONG> resumedAt;
    for (;;) {
        try {
            if (resume) {
                // Bytes sent again after going back are not announced twice;
                // a transfer that starts again from 0 is announced from there.
                copied = ResumeBoth(reader, writer, copied);
                if (copied == 0)
                    reported = 0;
                resume = false;
            }
            for (;;) {
                if (job.party.abortFlag
                    || (pump.Due() && PumpMessages(job.party.abortFlag, progress.Display(), quit))) {
                    aborted = true;
                    break;
                }
                const UINT read = reader.Read(job.buffer, job.chunkSize);
                if (read == 0)
                    break;
                writer.Write(job.buffer, read);
                copied += read;
                if (copied > reported) {
                    reported = copied;
                    job.party.owner.FireTransferProgress(ProgressValue(copied));
                    progress.Update(copied);
                }
            }
            if (!aborted) {
                reader.Close();
                writer.Close();
            }
            break;
        } catch (const CTransferCancelled&) {
            // The abort, heard in the middle of a chunk.
            aborted = true;
            break;
        } catch (const CException&) {
            // The network broke a remote side: it goes on where both sides
            // agree, once more for every failure after new bytes arrived.
            if ((reader.CanResume() || writer.CanResume()) && resumedAt != copied) {
                resumedAt = copied;
                resume = true;
                continue;
            }
            writer.Abort();
            reader.Abort();
            if (job.deleteOnFailure) {
                // The failure is what the caller must hear about, not a
                // failed clean-up after it.
                try {
                    job.deleteDestination();
                } catch (const CException&) {
                }
            }
            throw;
        }
    }
    if (aborted) {
        writer.Abort();
        reader.Abort();
        job.party.abortFlag = FALSE;
        job.deleteDestination();
        throw CWyFTPException(WyFTPErrorTransferAborted);
    }
    return copied;
}
