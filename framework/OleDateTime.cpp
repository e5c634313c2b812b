// A date-time as an OLE date (days since 1899-12-30) with a validity status.
#include "framework/OleDateTime.h"

#include <oleauto.h>

COleDateTime::COleDateTime() : m_dt(0.0), m_status(valid) {}

COleDateTime::COleDateTime(DATE value) : m_dt(value), m_status(valid) {}

COleDateTime::COleDateTime(int year, int month, int day, int hour, int minute, int second)
    : m_dt(0.0), m_status(invalid)
{
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    if (SystemTimeToVariantTime(&time, &m_dt))
        m_status = valid;
}

COleDateTime::COleDateTime(const SYSTEMTIME& time) : m_dt(0.0), m_status(invalid)
{
    SYSTEMTIME copy = time;
    if (SystemTimeToVariantTime(&copy, &m_dt))
        m_status = valid;
}

COleDateTime::COleDateTime(const FILETIME& utcTime) : m_dt(0.0), m_status(invalid)
{
    FILETIME local;
    SYSTEMTIME time;
    if (FileTimeToLocalFileTime(&utcTime, &local) && FileTimeToSystemTime(&local, &time)
        && SystemTimeToVariantTime(&time, &m_dt))
        m_status = valid;
}

BOOL COleDateTime::GetAsSystemTime(SYSTEMTIME& time) const
{
    if (m_status != valid)
        return FALSE;
    return VariantTimeToSystemTime(m_dt, &time);
}
