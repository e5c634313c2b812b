// The Japanese eras from 明治 on, and calendar-day arithmetic used by the formatter.
#include "datetime/JapaneseEra.h"

#include <array>

namespace {

// Each era runs until the day before the next one starts; the last has no end.
// The table is a compile-time constant: nothing is built at run time.
constexpr std::array<JapaneseEra, 4> kEras = {{
    {"明治", 1868, 1, 1},
    {"大正", 1912, 7, 30},
    {"昭和", 1926, 12, 25},
    {"平成", 1989, 1, 8},
}};

constexpr bool IsBefore(int year, int month, int day, const JapaneseEra& era)
{
    if (year != era.firstYear)
        return year < era.firstYear;
    if (month != era.firstMonth)
        return month < era.firstMonth;
    return day < era.firstDay;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
constexpr long long DaysFromCivil(long long year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

void CivilFromDays(long long days, SYSTEMTIME& date)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const long long year = static_cast<long long>(yearOfEra) + era * 400 + (month <= 2);
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    // 1970-01-01 was a Thursday (4).
    date.wDayOfWeek = static_cast<WORD>(((days - 719468) % 7 + 11) % 7);
}

}  // namespace

int EraIndexOn(const SYSTEMTIME& day)
{
    int found = kNoEra;
    for (int i = 0; i < static_cast<int>(kEras.size()); ++i) {
        if (!IsBefore(day.wYear, day.wMonth, day.wDay, kEras[static_cast<size_t>(i)]))
            found = i;
    }
    return found;
}

const JapaneseEra& EraAt(int index)
{
    return kEras.at(static_cast<size_t>(index));
}

SYSTEMTIME PreviousDay(const SYSTEMTIME& day)
{
    SYSTEMTIME previous = day;
    CivilFromDays(DaysFromCivil(day.wYear, day.wMonth, day.wDay) - 1, previous);
    return previous;
}
