// The bare WinInet copy loop: the ceiling the platform's own library sets for the control.
#pragma once
#include "bench/TransferCase.h"

// Downloads the remote file into the download directory, or uploads the
// upload source into the server's upload directory, moving chunkKiB KiB per
// InternetReadFile / InternetWriteFile call with the same open flags as the
// control (binary, active mode, cache as the library does by default unless
// noCacheWrite). A download is timed from InternetOpen to the last close,
// as the control's download makes its own session; an upload from
// FtpOpenFile on, as the control's upload uses its open connection.
struct WinInetVariant {
    bool noCacheWrite = false;  // INTERNET_FLAG_NO_CACHE_WRITE: what Wine's cache copy costs
    bool pumpMessages = false;  // dispatch the thread's messages after every chunk, as the control does
};
TransferSample RunWinInetTransfer(const BenchSetup& setup, const TransferCase& transfer,
                                  WinInetVariant variant = {});
