// Listing lines of the styles servers send, name patterns, and names between UTF-8 and Shift-JIS.
#include "ftp/ListingParser.h"
#include "ftp/WireText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ListedLine {
    const char* line;
    const char* name;  // nullptr: not an entry
    bool directory = false;
    unsigned long long size = 0;
    WORD year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// "Now" for the lines without a year: 7 December 2026.
const SYSTEMTIME kNow = {2026, 12, 1, 7, 12, 0, 0, 0};

const ListedLine kLines[] = {
    // Unix style, as pyftpdlib and vsftpd send it; the year missing for recent entries.
    {"-rw-r--r--   1 owner    group        1234 Dec 07 09:05 new.txt", "new.txt", false, 1234, 2026, 12, 7, 9, 5},
    {"drwxr-xr-x   2 0        0            4096 Feb 20  2023 docs", "docs", true, 0, 2023, 2, 20, 0, 0},
    {"-rw-r--r-- 1 ftp ftp 6442450944 Jan 02 2024 big.iso", "big.iso", false, 6442450944ull, 2024, 1, 2, 0, 0},
    // A date later in the year than today is last year's.
    {"-rw-r--r--   1 a b 5 Dec 09 10:00 last-year.txt", "last-year.txt", false, 5, 2025, 12, 9, 10, 0},
    {"-rw-r--r--   1 a b 5 Dec 08 10:00 tomorrow.txt", "tomorrow.txt", false, 5, 2026, 12, 8, 10, 0},
    // Without a group column; names with spaces; links by their own name.
    {"-rw-r--r--   1 owner  77 Mar  4 2020 two  spaces.txt", "two  spaces.txt", false, 77, 2020, 3, 4, 0, 0},
    {"lrwxrwxrwx   1 a b 11 Mar 04 2020 latest -> docs/v2", "latest", false, 11, 2020, 3, 4, 0, 0},
    // Shift-JIS names pass as they are.
    {"drwxr-xr-x 2 a b 0 Mar 04 2020 \x95\\", "\x95\\", true, 0, 2020, 3, 4, 0, 0},
    // DOS style, as IIS sends it.
    {"02-20-24  09:00PM       <DIR>          Program Files", "Program Files", true, 0, 2024, 2, 20, 21, 0},
    {"12-31-1999  12:15AM             2048 old.dat", "old.dat", false, 2048, 1999, 12, 31, 0, 15},
    // Not entries.
    {"total 12", nullptr},
    {"", nullptr},
    {"garbage that is no listing", nullptr},
    {"-rw-r--r--   1 a b 5 Dec 07 10:00", nullptr},
    {"-rw-r--r--   1 a b 5 Xyz 07 10:00 bad-month", nullptr},
    {"-rw-r--r--   1 a b 5 Dec 07 25:00 bad-hour", nullptr},
    {"13-01-24  09:00PM  1 bad-month", nullptr},
};

}  // namespace

TEST(FtpListing, ReadsTheLinesServersSendAndSkipsTheRest)
{
    for (const ListedLine& expected : kLines) {
        WIN32_FIND_DATAA entry;
        const bool parsed = ParseListingLine(expected.line, kNow, entry);
        ASSERT_EQ(expected.name != nullptr, parsed) << expected.line;
        if (!parsed)
            continue;
        EXPECT_STREQ(expected.name, entry.cFileName) << expected.line;
        EXPECT_EQ(expected.directory, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) << expected.line;
        EXPECT_EQ(expected.size, (static_cast<unsigned long long>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow)
            << expected.line;
        SYSTEMTIME time;
        FileTimeToSystemTime(&entry.ftLastWriteTime, &time);
        EXPECT_EQ(expected.year, time.wYear) << expected.line;
        EXPECT_EQ(expected.month, time.wMonth) << expected.line;
        EXPECT_EQ(expected.day, time.wDay) << expected.line;
        EXPECT_EQ(expected.hour, time.wHour) << expected.line;
        EXPECT_EQ(expected.minute, time.wMinute) << expected.line;
    }
}

TEST(FtpListing, PatternsMatchWithStarsAndQuestionMarks)
{
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"*", "anything.txt", true}, {"*.txt", "a.txt", true}, {"*.txt", "a.txt.bak", false},
        {"a?c", "abc", true},        {"a?c", "ac", false},     {"*b*b*", "abcab", true},
        {"abc", "abd", false},       {"*", "", true},          {"\x95\\*", "\x95\\.txt", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.matches, MatchesPattern(c.pattern, c.name)) << c.pattern << " " << c.name;
}

TEST(WireText, UtfEightNamesBecomeShiftJisWithAMarkForWhatIsMissing)
{
    bool lossy = true;
    // 資料/報告.txt both ways.
    const std::string utf8 = "\xE8\xB3\x87\xE6\x96\x99/\xE5\xA0\xB1\xE5\x91\x8A.txt";
    const std::string shiftJis = "\x8E\x91\x97\xBF/\x95\xF1\x8D\x90.txt";
    EXPECT_EQ(shiftJis, Utf8ToShiftJis(utf8, lossy));
    EXPECT_FALSE(lossy);
    EXPECT_EQ(utf8, ShiftJisToUtf8(shiftJis));
    // An emoji (outside the code page), a lone invalid byte, and a Hangul syllable.
    EXPECT_EQ("a\x81\xAC" "b\x81\xAC" "c\x81\xAC", Utf8ToShiftJis("a\xF0\x9F\x98\x80" "b\xFF" "c\xEA\xB0\x80", lossy));
    EXPECT_TRUE(lossy);
}
