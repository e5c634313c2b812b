// The slowest a data transfer may be.
#include "ftp/TransferPace.h"

CTransferPace::CTransferPace(DWORD windowMilliseconds, const CClock& clock)
    : m_clock(clock), m_dwWindow(windowMilliseconds), m_ullWindowStart(clock.Now()), m_ullLastData(m_ullWindowStart)
{
}

void CTransferPace::Count(size_t bytes)
{
    m_ullBytes += bytes;
    m_ullLastData = m_clock.Now();
}

bool CTransferPace::NextWindow()
{
    const ULONGLONG now = m_clock.Now();
    if (now >= m_ullLastData + m_dwWindow || m_ullBytes < kMinimumBytes)
        return false;
    m_ullWindowStart = now;
    m_ullBytes = 0;
    return true;
}
