// The Japanese eras from 明治 on, and calendar-day arithmetic used by the formatter.
#pragma once
#include <windows.h>

struct JapaneseEra {
    const char* name;  // two double-byte characters, Shift-JIS
    int firstYear;
    int firstMonth;
    int firstDay;
};

inline constexpr int kNoEra = -1;

// Index into the era table of the era that contains the calendar day, or kNoEra
// for days before 1868-01-01.
int EraIndexOn(const SYSTEMTIME& day);

const JapaneseEra& EraAt(int index);

// The calendar day before the given one, with its day of the week; the time
// of day is kept.
SYSTEMTIME PreviousDay(const SYSTEMTIME& day);
