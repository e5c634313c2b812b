// A date-time as an OLE date (days since 1899-12-30) with a validity status.
#pragma once
#include <windows.h>

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime();
    explicit COleDateTime(DATE value);
    COleDateTime(int year, int month, int day, int hour, int minute, int second);
    explicit COleDateTime(const SYSTEMTIME& time);
    // A file time is UTC; the value holds it as local time.
    explicit COleDateTime(const FILETIME& utcTime);

    DATE Value() const { return m_dt; }
    DateTimeStatus GetStatus() const { return m_status; }

    // Broken-down calendar form; FALSE when the value cannot be represented.
    BOOL GetAsSystemTime(SYSTEMTIME& time) const;

    DATE m_dt;
    DateTimeStatus m_status;
};
