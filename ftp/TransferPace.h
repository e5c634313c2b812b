// The slowest a data transfer may be.
#pragma once
#include "net/NetworkWait.h"

#include <algorithm>

// A period of the window without any data ends a transfer, and so do fewer
// than kMinimumBytes in one window. A slow but honest link easily passes
// (10 KB/s moves 600 KB a minute); a peer that trickles a byte now and then
// to keep a connection open does not.
class CTransferPace {
public:
    static constexpr size_t kMinimumBytes = 1024;
    CTransferPace(DWORD windowMilliseconds, const CClock& clock);
    // The end of the current wait: the window's end, or earlier the end of
    // the period without data.
    ULONGLONG Deadline() const { return std::min(m_windowStart, m_lastData) + m_window; }
    void Count(size_t bytes);
    // At a deadline: true when the window moved enough data (and a new
    // window begins), false when the transfer is too slow or silent.
    bool NextWindow();

private:
    const CClock& m_clock;
    DWORD m_window;
    ULONGLONG m_windowStart;
    ULONGLONG m_lastData;
    ULONGLONG m_bytes = 0;
};
