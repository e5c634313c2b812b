// The slowest a data transfer may be.
#include "ftp/TransferPace.h"

CTransferPace::CTransferPace(DWORD windowMilliseconds, const CClock& clock)
    : m_clock(clock), m_window(windowMilliseconds), m_windowStart(clock.Now()), m_lastData(m_windowStart)
{
}

void CTransferPace::Count(size_t bytes)
{
    m_bytes += bytes;
    m_lastData = m_clock.Now();
}

bool CTransferPace::NextWindow()
{
    const ULONGLONG now = m_clock.Now();
    if (now >= m_lastData + m_window || m_bytes < kMinimumBytes)
        return false;
    m_windowStart = now;
    m_bytes = 0;
    return true;
}
