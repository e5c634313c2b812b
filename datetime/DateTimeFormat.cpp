// Pattern-driven formatting of date-time values: named formats, letter tokens, Japanese eras.
#include "datetime/DateTimeFormat.h"

#include "datetime/JapaneseEra.h"
#include "framework/ShiftJis.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kOutputSize = 128;
constexpr size_t kTokenSize = 32;

bool Is(const char* token, const char* name) { return std::strcmp(token, name) == 0; }

bool StartsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

int DatePicture(const SYSTEMTIME& date, const char* picture, char* destination, int size, LCID locale)
{
    return GetDateFormatA(locale, 0, &date, picture, destination, size);
}

int TimePicture(const SYSTEMTIME& time, const char* picture, char* destination, int size, LCID locale)
{
    return GetTimeFormatA(locale, 0, &time, picture, destination, size);
}

// Writes text with its terminating zero when it fits; returns the bytes
// written including the zero, or 0.
int WriteText(const char* text, char* destination, int size)
{
    const int length = static_cast<int>(std::strlen(text));
    if (length + 1 > size)
        return 0;
    std::memcpy(destination, text, static_cast<size_t>(length) + 1);
    return length + 1;
}

int WriteNumber(const char* format, int number, char* destination, int size)
{
    char text[16];
    std::snprintf(text, sizeof text, format, number);
    return WriteText(text, destination, size);
}

// The era for "ggg" and "e": the boundary between 明治 and 大正 is decided on
// the unshifted day, the other boundaries on the shifted one.
int EraForUnshiftedMeiji(const SYSTEMTIME& unshifted, const SYSTEMTIME& shifted)
{
    const int shiftedEra = EraIndexOn(shifted);
    if (shiftedEra == kNoEra)
        return kNoEra;
    const bool unshiftedBeforeTaisho = EraIndexOn(unshifted) <= 0;
    if (unshiftedBeforeTaisho)
        return 0;
    return shiftedEra > 1 ? shiftedEra : 1;
}

int FormatEraName(int era, char* destination, int size)
{
    return era == kNoEra ? 0 : WriteText(EraAt(era).name, destination, size);
}

int FormatEraYear(int era, const SYSTEMTIME& unshifted, const char* format, char* destination, int size)
{
    const int year = era == kNoEra ? 0 : unshifted.wYear - EraAt(era).firstYear + 1;
    return WriteNumber(format, year, destination, size);
}

// Length of the character at pattern[index]: a double-byte character is
// copied whole or not at all.
size_t CharLength(const char* pattern, size_t index)
{
    const size_t available = pattern[index + 1] == '\0' ? 1 : 2;
    return ShiftJis::NextCharIndex(std::string_view(pattern + index, available), 0);
}

// Length of the token that starts at pattern[index], or 0 when the byte there
// is a literal.
size_t TokenLength(const char* pattern, size_t index)
{
    const char* here = pattern + index;
    const char first = *here;
    auto runLength = [here, first] {
        size_t length = 1;
        while (here[length] == first)
            ++length;
        return length;
    };
    switch (first) {
    case 'y': case 'm': case 'd': case 'g': case 'e': case 'M':
    case 'h': case 'n': case 's': case 't': case 'p': case 'P':
        return runLength();
    case 'H':
        if (StartsWith(here, "HX"))
            return 2;
        if (StartsWith(here, "HHX"))
            return 3;
        return runLength();
    case 'a':
        for (const char* name : {"aaaa", "aaa", "am/pm", "a/p"}) {
            if (StartsWith(here, name))
                return std::strlen(name);
        }
        return 0;
    case 'A':
        for (const char* name : {"AM/PM", "A/P", "AMPM"}) {
            if (StartsWith(here, name))
                return std::strlen(name);
        }
        return 0;
    default:
        return 0;
    }
}

int FormatFreePattern(char* output, const COleDateTime& value, const char* pattern, LCID locale,
                      WORD dayStartHour)
{
    int length = 0;
    size_t index = 0;
    bool inQuotes = false;
    while (pattern[index] != '\0' && length < kOutputSize) {
        const char here = pattern[index];
        if (here == '\'' || here == '"') {
            // Either quote character opens a section and either one closes it.
            inQuotes = !inQuotes;
            ++index;
            continue;
        }
        const size_t tokenLength = inQuotes ? 0 : TokenLength(pattern, index);
        if (tokenLength == 0) {
            const size_t charLength = CharLength(pattern, index);
            if (length + static_cast<int>(charLength) > kOutputSize)
                break;
            std::memcpy(output + length, pattern + index, charLength);
            length += static_cast<int>(charLength);
            index += charLength;
            continue;
        }
        // A run longer than the token buffer matches no token: it writes nothing.
        if (tokenLength < kTokenSize) {
            char token[kTokenSize];
            std::memcpy(token, pattern + index, tokenLength);
            token[tokenLength] = '\0';
            const int written = FormatDateTimeToken(value, token, output + length, kOutputSize - length,
                                                    locale, dayStartHour);
            if (written > 1)
                length += written - 1;
        }
        index += tokenLength;
    }
    return length;
}

bool IsNamedFormat(const char* pattern)
{
    for (const char* name : {"General Date", "Long Date", "Medium Date", "Short Date", "Long Time", "Medium Time",
                             "Short Time"}) {
        if (Is(pattern, name))
            return true;
    }
    return false;
}

int FormatNamed(char* output, const SYSTEMTIME& time, const char* pattern, LCID locale)
{
    auto count = [](int written) { return written > 0 ? written - 1 : 0; };
    if (Is(pattern, "General Date")) {
        int length = count(GetDateFormatA(locale, LOCALE_NOUSEROVERRIDE, &time, nullptr, output, kOutputSize));
        output[length++] = ' ';
        if (length >= kOutputSize)
            return length;
        return length + count(GetTimeFormatA(locale, 0, &time, nullptr, output + length, kOutputSize - length));
    }
    if (Is(pattern, "Long Date"))
        return count(GetDateFormatA(locale, DATE_LONGDATE, &time, nullptr, output, kOutputSize));
    if (Is(pattern, "Medium Date"))
        return count(GetDateFormatA(locale, 0, &time, "yy-MM-dd", output, kOutputSize));
    if (Is(pattern, "Short Date"))
        return count(GetDateFormatA(locale, DATE_SHORTDATE, &time, nullptr, output, kOutputSize));
    if (Is(pattern, "Long Time"))
        return count(GetTimeFormatA(locale, 0, &time, nullptr, output, kOutputSize));
    if (Is(pattern, "Medium Time"))
        return count(GetTimeFormatA(locale, TIME_NOSECONDS, &time, nullptr, output, kOutputSize));
    if (Is(pattern, "Short Time")) {
        const DWORD flags = TIME_NOSECONDS | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT;
        return count(GetTimeFormatA(locale, flags, &time, nullptr, output, kOutputSize));
    }
    return 0;
}

}  // namespace

std::string& FormatDateTime(std::string& result, const COleDateTime& value, const char* pattern,
                            LCID locale, WORD dayStartHour)
{
    // One buffer, the result's own: every part is written straight into it.
    result.assign(kOutputSize, '\0');
    int length = 0;
    if (pattern != nullptr) {
        SYSTEMTIME time = {};
        if (!IsNamedFormat(pattern))
            length = FormatFreePattern(result.data(), value, pattern, locale, dayStartHour);
        else if (value.GetAsSystemTime(time))
            length = FormatNamed(result.data(), time, pattern, locale);
    }
    result.resize(static_cast<size_t>(length));
    return result;
}

int FormatDateTimeToken(const COleDateTime& value, const char* token, char* destination,
                        int destinationSize, LCID locale, WORD dayStartHour)
{
    SYSTEMTIME time;
    if (token == nullptr || destination == nullptr || destinationSize <= 0 || !value.GetAsSystemTime(time))
        return 0;

    const int hour12 = time.wHour % 12 == 0 ? 12 : time.wHour % 12;
    const bool afternoon = time.wHour >= 12;
    int extendedHour = time.wHour;
    SYSTEMTIME date = time;
    if (dayStartHour != 0 && time.wHour < dayStartHour % 24) {
        extendedHour = time.wHour + 24;
        date = PreviousDay(time);
    }
    char* const out = destination;
    const int size = destinationSize;

    if (Is(token, "yy") || Is(token, "yyyy") || Is(token, "M") || Is(token, "MM") || Is(token, "MMM")
        || Is(token, "MMMM") || Is(token, "d") || Is(token, "dd"))
        return DatePicture(date, token, out, size, locale);
    if (Is(token, "ddd") || Is(token, "aaa"))
        return DatePicture(date, "ddd", out, size, locale);
    if (Is(token, "dddd") || Is(token, "aaaa"))
        return DatePicture(date, "dddd", out, size, locale);
    if (Is(token, "g") || Is(token, "gg"))
        return FormatEraName(EraIndexOn(date), out, size);
    if (Is(token, "ggg"))
        return FormatEraName(EraForUnshiftedMeiji(time, date), out, size);
    if (Is(token, "e"))
        return FormatEraYear(EraForUnshiftedMeiji(time, date), time, "%d", out, size);
    if (Is(token, "ee"))
        return FormatEraYear(EraIndexOn(date), time, "%02d", out, size);
    if (Is(token, "h"))
        return WriteNumber("%d", hour12, out, size);
    if (Is(token, "hh"))
        return WriteNumber("%02d", hour12, out, size);
    if (Is(token, "H") || Is(token, "HH") || Is(token, "s") || Is(token, "ss") || Is(token, "t"))
        return TimePicture(time, token, out, size, locale);
    if (Is(token, "HX"))
        return WriteNumber("%d", extendedHour, out, size);
    if (Is(token, "HHX"))
        return WriteNumber("%02d", extendedHour, out, size);
    if (Is(token, "n"))
        return TimePicture(time, "m", out, size, locale);
    if (Is(token, "nn"))
        return TimePicture(time, "mm", out, size, locale);
    if (Is(token, "AM/PM"))
        return WriteText(afternoon ? "PM" : "AM", out, size);
    if (Is(token, "am/pm"))
        return WriteText(afternoon ? "pm" : "am", out, size);
    if (Is(token, "A/P"))
        return WriteText(afternoon ? "P" : "A", out, size);
    if (Is(token, "a/p"))
        return WriteText(afternoon ? "p" : "a", out, size);
    if (Is(token, "AMPM") || Is(token, "tt"))
        return TimePicture(time, "tt", out, size, locale);
    return 0;
}
