// FormatDateTime and FormatDateTimeToken under the Japanese locale.
#include "datetime/DateTimeFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr LCID kJapanese = 0x0411;

std::string Format(const COleDateTime& value, const char* pattern, WORD dayStart = 0)
{
    std::string result = "stale text that must be replaced";
    return FormatDateTime(result, value, pattern, kJapanese, dayStart);
}

const COleDateTime kSaturday(2000, 3, 4, 15, 7, 9);

TEST(FormatDateTime, FreePatternWithDateTokensAndLiterals)
{
    EXPECT_EQ("2000/03/04", Format(kSaturday, "yyyy/MM/dd"));
    EXPECT_EQ("00-3-4", Format(kSaturday, "yy-M-d"));
    EXPECT_EQ("15:07:09", Format(kSaturday, "HH:nn:ss"));
    EXPECT_EQ("3:07 PM", Format(kSaturday, "h:nn AM/PM"));
    EXPECT_EQ("03 pm p P", Format(kSaturday, "hh am/pm a/p A/P"));
    EXPECT_EQ("土曜日 土 土曜日 土", Format(kSaturday, "dddd ddd aaaa aaa"));
}

TEST(FormatDateTime, NamedFormatsUseTheLocale)
{
    // The locale's short date is yyyy/MM/dd on Windows, yyyy/M/d in Wine.
    const std::string shortDate = Format(kSaturday, "Short Date");
    EXPECT_TRUE(shortDate == "2000/03/04" || shortDate == "2000/3/4") << shortDate;
    // Windows' Japanese long date is yyyy年M月d日; Wine's adds the day name.
    const std::string longDate = Format(kSaturday, "Long Date");
    EXPECT_TRUE(longDate == "2000年3月4日" || longDate == "2000年3月4日土曜日") << longDate;
    EXPECT_EQ("15:07", Format(kSaturday, "Short Time"));
    EXPECT_EQ("15:07:09", Format(kSaturday, "Long Time"));
    EXPECT_EQ(shortDate + " 15:07:09", Format(kSaturday, "General Date"));
    // The locale's own date picture is ignored for this one.
    EXPECT_EQ("00-03-04", Format(kSaturday, "Medium Date"));
    // Named formats are matched exactly, case included.
    EXPECT_NE(Format(kSaturday, "Long Date"), Format(kSaturday, "long date"));
    EXPECT_NE(Format(kSaturday, "Short Date"), Format(kSaturday, "short Date"));
}

TEST(FormatDateTime, EraNamesAndYearsAtTheBoundaries)
{
    EXPECT_EQ("昭和64年", Format(COleDateTime(1989, 1, 7, 12, 0, 0), "ggge年"));
    EXPECT_EQ("平成1年", Format(COleDateTime(1989, 1, 8, 0, 0, 0), "ggge年"));
    EXPECT_EQ("45", Format(COleDateTime(1912, 7, 29, 0, 0, 0), "ee"));
    EXPECT_EQ("大正01", Format(COleDateTime(1912, 7, 30, 0, 0, 0), "gee"));
    EXPECT_EQ("昭和1", Format(COleDateTime(1926, 12, 25, 0, 0, 0), "ge"));
    EXPECT_EQ("明治1", Format(COleDateTime(1868, 1, 1, 0, 0, 0), "gge"));
    // Before 1868 there is no era: no name, year 0.
    EXPECT_EQ("[]0 00", Format(COleDateTime(1867, 12, 31, 23, 59, 59), "[g]e ee"));
}

TEST(FormatDateTime, DayStartShiftsDateTokensButNotTimeTokens)
{
    const COleDateTime halfPastTwo(2000, 3, 4, 2, 30, 0);
    EXPECT_EQ("26:30", Format(halfPastTwo, "HX:nn", 5));
    EXPECT_EQ("03 02", Format(halfPastTwo, "dd HH", 5));
    EXPECT_EQ("2:30", Format(halfPastTwo, "HX:nn", 0));
    EXPECT_EQ("06 04", Format(COleDateTime(2000, 3, 4, 6, 0, 0), "HHX dd", 5));
    // The day start counts modulo 24: 24 shifts nothing.
    EXPECT_EQ("02 04", Format(halfPastTwo, "HHX dd", 24));
    // Across a month and a year boundary.
    EXPECT_EQ("1999/12/31 24", Format(COleDateTime(2000, 1, 1, 0, 10, 0), "yyyy/MM/dd HX", 1));
    EXPECT_EQ("02/29", Format(COleDateTime(2000, 3, 1, 3, 0, 0), "MM/dd", 4));
    // 大正 starts on 1912-07-30, but 02:00 that night still belongs to the
    // 29th: "g" and "ee" go by the shifted day; "ggg" and "e" decide between
    // 明治 and the later eras on the unshifted day.
    EXPECT_EQ("明治 大正 1 45", Format(COleDateTime(1912, 7, 30, 2, 0, 0), "g ggg e ee", 5));
}

TEST(FormatDateTime, QuotesAndLiterals)
{
    EXPECT_EQ("h3", Format(kSaturday, "'h'h"));
    EXPECT_EQ("yyyyMM", Format(kSaturday, "'yyyy\"\"'\"MM"));  // either quote closes
    EXPECT_EQ("at h:nn", Format(kSaturday, "\"at h:nn"));        // unterminated: copied to the end
    EXPECT_EQ("2000年", Format(kSaturday, "yyyy年"));
    // A trail byte that looks like a token letter stays part of its character:
    // 仕 is 0x8E 0x64 ("d"), 知 is 0x92 0x6D ("m").
    EXPECT_EQ("仕2000知", Format(kSaturday, "仕yyyy知"));
    EXPECT_EQ("x a A", Format(kSaturday, "x a A"));
}

TEST(FormatDateTime, RunsThatMatchNoTokenWriteNothing)
{
    EXPECT_EQ("", Format(kSaturday, "yyy"));
    EXPECT_EQ("", Format(kSaturday, "MMMMM"));
    EXPECT_EQ("--", Format(kSaturday, "-mm-"));  // minutes are "n", "m" is no token
    EXPECT_EQ("", Format(kSaturday, std::string(40, 'd').c_str()));  // longer than a token can be
    EXPECT_EQ("12 AM", Format(COleDateTime(2000, 3, 4, 0, 30, 0), "h AM/PM"));
    EXPECT_EQ("PM", Format(COleDateTime(2000, 3, 4, 12, 0, 0), "AM/PM"));
}

TEST(FormatDateTime, OutputStopsAt128Bytes)
{
    EXPECT_EQ(std::string(128, 'x'), Format(kSaturday, std::string(200, 'x').c_str()));

    std::string pattern;
    for (int i = 0; i < 2000; ++i)
        pattern += "yyyy/";
    const std::string result = Format(kSaturday, pattern.c_str());
    // 25 whole years fill 125 bytes; the tokens that no longer fit write
    // nothing and the slashes fill up to the limit.
    std::string expected;
    for (int i = 0; i < 25; ++i)
        expected += "2000/";
    EXPECT_EQ(expected + "///", result);

    // A double-byte literal is never split at the limit.
    const std::string kanji = std::string(127, 'x') + "年x";
    EXPECT_EQ(std::string(127, 'x'), Format(kSaturday, kanji.c_str()));
    EXPECT_EQ(std::string(126, 'x') + "年", Format(kSaturday, kanji.c_str() + 1));
}

TEST(FormatDateTime, BadInputNeitherCrashesNorOverruns)
{
    EXPECT_EQ("", Format(kSaturday, nullptr));
    EXPECT_EQ("", Format(kSaturday, ""));
    EXPECT_EQ("2000\x95", Format(kSaturday, "yyyy\x95"));  // lone lead byte at the end
    EXPECT_EQ("", Format(kSaturday, "\"'"));  // opened by one quote, closed by the other
    const std::string huge(10000, '\'');
    EXPECT_EQ("", Format(kSaturday, huge.c_str()));
    // An invalid value formats no tokens, only literals.
    COleDateTime invalid(2000, 13, 40, 0, 0, 0);
    EXPECT_EQ(COleDateTime::invalid, invalid.GetStatus());
    EXPECT_EQ("--", Format(invalid, "-yyyy-"));
    EXPECT_EQ("", Format(invalid, "Short Date"));
}

TEST(FormatDateTimeToken, ReturnsBytesWrittenIncludingTheZero)
{
    char buffer[32];
    EXPECT_EQ(5, FormatDateTimeToken(kSaturday, "yyyy", buffer, sizeof buffer, kJapanese, 0));
    EXPECT_STREQ("2000", buffer);
    EXPECT_EQ(5, FormatDateTimeToken(COleDateTime(1990, 1, 1, 0, 0, 0), "gg", buffer, sizeof buffer, kJapanese, 0));
    EXPECT_STREQ("平成", buffer);
    EXPECT_EQ(3, FormatDateTimeToken(kSaturday, "AM/PM", buffer, sizeof buffer, kJapanese, 0));
    EXPECT_EQ(2, FormatDateTimeToken(kSaturday, "a/p", buffer, sizeof buffer, kJapanese, 0));
    EXPECT_EQ(0, FormatDateTimeToken(kSaturday, "p", buffer, sizeof buffer, kJapanese, 0));
    EXPECT_EQ(0, FormatDateTimeToken(kSaturday, "mm", buffer, sizeof buffer, kJapanese, 0));
    EXPECT_EQ(0, FormatDateTimeToken(kSaturday, nullptr, buffer, sizeof buffer, kJapanese, 0));
    EXPECT_EQ(0, FormatDateTimeToken(kSaturday, "yyyy", nullptr, 32, kJapanese, 0));
    EXPECT_EQ(0, FormatDateTimeToken(kSaturday, "yyyy", buffer, 0, kJapanese, 0));
}

TEST(FormatDateTimeToken, WritesNothingPastATooSmallDestination)
{
    for (const char* token : {"yyyy", "gg", "e", "ee", "hh", "HX", "HHX", "AM/PM", "A/P", "dddd", "MMMM", "tt"}) {
        char buffer[8];
        std::memset(buffer, '#', sizeof buffer);
        const int written = FormatDateTimeToken(kSaturday, token, buffer, 2, kJapanese, 0);
        EXPECT_LE(written, 2) << token;
        for (size_t i = 2; i < sizeof buffer; ++i)
            EXPECT_EQ('#', buffer[i]) << token << " overwrote byte " << i;
    }
}

}  // namespace
