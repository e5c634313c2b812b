// Listing lines of the styles servers send, name patterns, and names between UTF-8 and Shift-JIS.
#include "ftp/ListingParser.h"
#include "ftp/WireText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ListedLine {
    const char* line;
    const char* name;  // nullptr: not an entry
    char kind = 'f';   // 'f' file, 'd' directory, 'l' link of unknown kind
    unsigned long long size = 0;
    WORD year = 0, month = 0, day = 0, hour = 0, minute = 0;
    bool timeOfDay = true;
    unsigned links = 0;
};

// "Now" for the lines without a year: 7 December 2026.
const SYSTEMTIME kNow = {2026, 12, 1, 7, 12, 0, 0, 0};

const ListedLine kLines[] = {
    // Unix style, as pyftpdlib and vsftpd send it; the year missing for recent entries.
    {"-rw-r--r--   1 owner    group        1234 Dec 07 09:05 new.txt", "new.txt", 'f', 1234, 2026, 12, 7, 9, 5, true, 1},
    {"drwxr-xr-x   5 0        0            4096 Feb 20  2023 docs", "docs", 'd', 0, 2023, 2, 20, 0, 0, false, 5},
    {"-rw-r--r-- 1 ftp ftp 6442450944 Jan 02 2024 big.iso", "big.iso", 'f', 6442450944ull, 2024, 1, 2, 0, 0, false, 1},
    // A date later in the year than today is last year's.
    {"-rw-r--r--   1 a b 5 Dec 09 10:00 last-year.txt", "last-year.txt", 'f', 5, 2025, 12, 9, 10, 0, true, 1},
    {"-rw-r--r--   1 a b 5 Dec 08 10:00 tomorrow.txt", "tomorrow.txt", 'f', 5, 2026, 12, 8, 10, 0, true, 1},
    // Without a group column; names with spaces of their own, leading and trailing too.
    {"-rw-r--r--   1 owner  77 Mar  4 2020 two  spaces.txt", "two  spaces.txt", 'f', 77, 2020, 3, 4, 0, 0, false, 1},
    {"drwxr-xr-x   2 root root 4096 Jan  2  2020  lead", " lead", 'd', 0, 2020, 1, 2, 0, 0, false, 2},
    {"drwxr-xr-x   2 root root 4096 Jan  2  2020 trail ", "trail ", 'd', 0, 2020, 1, 2, 0, 0, false, 2},
    // Links by their own name; what they lead to is asked separately.
    {"lrwxrwxrwx   1 a b 11 Mar 04 2020 latest -> docs/v2", "latest", 'l', 11, 2020, 3, 4, 0, 0, false, 1},
    {"lrwxrwxrwx   1 a b 12 Jan  2  2020 a link -> a target.txt", "a link", 'l', 12, 2020, 1, 2, 0, 0, false, 1},
    // Marks after the permissions, devices, and no link count at all.
    {"-rw-r--r--+  1 a b 9 Mar 04 2020 acl.txt", "acl.txt", 'f', 9, 2020, 3, 4, 0, 0, false, 1},
    {"drwxr-xr-x@ 12 a b 384 Mar 04 2020 mac", "mac", 'd', 0, 2020, 3, 4, 0, 0, false, 12},
    {"-rw-r--r--.  1 a b 12 Feb 29  2000 leap-day.txt", "leap-day.txt", 'f', 12, 2000, 2, 29, 0, 0, false, 1},
    {"crw-rw-rw-   1 root root 1, 3 Jan  1  2020 null", "null", 'f', 3, 2020, 1, 1, 0, 0, false, 1},
    {"brw-rw----   1 root disk 8,   0 Jan  1  2020 sda", "sda", 'f', 0, 2020, 1, 1, 0, 0, false, 1},
    {"prw-r--r--   1 root root 0 Jan  1  2020 fifo", "fifo", 'f', 0, 2020, 1, 1, 0, 0, false, 1},
    {"srwxrwxrwx   1 root root 0 Jan  1  2020 socket", "socket", 'f', 0, 2020, 1, 1, 0, 0, false, 1},
    {"-rw-r--r-- owner group 5 Mar 04 2020 nolinks.txt", "nolinks.txt", 'f', 5, 2020, 3, 4, 0, 0, false, 0},
    // Shift-JIS names pass as they are.
    {"drwxr-xr-x 2 a b 0 Mar 04 2020 \x95\\", "\x95\\", 'd', 0, 2020, 3, 4, 0, 0, false, 2},
    // DOS style, as IIS sends it: the name at a fixed column, so it may
    // begin with a space; 2- and 4-digit years; sizes past 4 GiB.
    {"02-20-24  09:00PM       <DIR>          Program Files", "Program Files", 'd', 0, 2024, 2, 20, 21, 0},
    {"02-20-24  09:00PM       <DIR>           spaced", " spaced", 'd', 0, 2024, 2, 20, 21, 0},
    {"12-31-1999  12:15AM             2048 old.dat", "old.dat", 'f', 2048, 1999, 12, 31, 0, 15},
    {"12-31-99  11:59PM       <DIR>          y2k", "y2k", 'd', 0, 1999, 12, 31, 23, 59},
    {"01-02-20  03:04AM                   10  lead.txt", " lead.txt", 'f', 10, 2020, 1, 2, 3, 4},
    {"01-02-03  12:00PM           4294967301 big.bin", "big.bin", 'f', 4294967301ull, 2003, 1, 2, 12, 0},
    // Not entries.
    {"total 12", nullptr},
    {"", nullptr},
    {"garbage that is no listing", nullptr},
    {"-rw-r--r--   1 a b 5 Dec 07 10:00", nullptr},
    {"-rw-r--r--   1 a b 5 Xyz 07 10:00 bad-month", nullptr},
    {"-rw-r--r--   1 a b 5 Dec 07 25:00 bad-hour", nullptr},
    {"13-01-24  09:00PM  1 bad-month", nullptr},
};

struct FactsLine {
    const char* line;
    const char* name;  // nullptr: not an entry
    char kind = 'f';
    unsigned long long size = 0;
    WORD year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

const FactsLine kFacts[] = {
    {"type=file;size=4294967301;modify=20200102030405;perm=r; big file.bin", "big file.bin", 'f', 4294967301ull,
     2020, 1, 2, 3, 4, 5},
    {"modify=20241231235960.123;type=dir;sizd=4096;  lead", " lead", 'd', 0, 2024, 12, 31, 23, 59, 59},
    {"type=OS.unix=slink:small.txt;size=9;modify=20200102000000; link", "link", 'l', 9, 2020, 1, 2, 0, 0, 0},
    {"Type=OS.unix=symlink;Size=3;Modify=20200102000000; other", "other", 'l', 3, 2020, 1, 2, 0, 0, 0},
    {"type=cdir;modify=20200102000000; .", nullptr},
    {"type=pdir;modify=20200102000000; ..", nullptr},
    {"size=5;modify=20200102000000; untyped", nullptr},
    {"type=file;size=5;modify=20200102000000;", nullptr},
};

void ExpectTime(const FILETIME& written, WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                const char* line)
{
    SYSTEMTIME time;
    FileTimeToSystemTime(&written, &time);
    EXPECT_EQ(year, time.wYear) << line;
    EXPECT_EQ(month, time.wMonth) << line;
    EXPECT_EQ(day, time.wDay) << line;
    EXPECT_EQ(hour, time.wHour) << line;
    EXPECT_EQ(minute, time.wMinute) << line;
    EXPECT_EQ(second, time.wSecond) << line;
}

char KindLetter(FtpEntry::Kind kind)
{
    return kind == FtpEntry::Kind::directory ? 'd' : kind == FtpEntry::Kind::link ? 'l' : 'f';
}

// Parses line with parse; false when it is no entry, as expected or not.
template <typename Expected, typename Parse>
bool ParsedAsExpected(const Expected& expected, Parse parse, FtpEntry& entry)
{
    const bool parsed = parse(expected.line, entry);
    EXPECT_EQ(expected.name != nullptr, parsed) << expected.line;
    if (!parsed || !expected.name)
        return false;
    EXPECT_EQ(expected.name, entry.name) << expected.line;
    EXPECT_EQ(expected.kind, KindLetter(entry.kind)) << expected.line;
    EXPECT_EQ(expected.size, entry.size) << expected.line;
    return true;
}

}  // namespace

TEST(FtpListing, ReadsTheLinesServersSendAndSkipsTheRest)
{
    for (const ListedLine& expected : kLines) {
        FtpEntry entry;
        const auto parse = [](const char* line, FtpEntry& parsed) { return ParseListingLine(line, kNow, parsed); };
        if (!ParsedAsExpected(expected, parse, entry))
            continue;
        EXPECT_EQ(expected.links, entry.links) << expected.line;
        EXPECT_EQ(expected.timeOfDay, entry.hasTimeOfDay) << expected.line;
        EXPECT_FALSE(entry.utc) << expected.line;
        ExpectTime(entry.written, expected.year, expected.month, expected.day, expected.hour, expected.minute, 0,
                   expected.line);
    }
}

TEST(FtpListing, ReadsMachineListingsWithExactTimesAndSizes)
{
    for (const FactsLine& expected : kFacts) {
        FtpEntry entry;
        if (!ParsedAsExpected(expected, ParseFactsLine, entry))
            continue;
        EXPECT_TRUE(entry.utc) << expected.line;
        ExpectTime(entry.written, expected.year, expected.month, expected.day, expected.hour, expected.minute,
                   expected.second, expected.line);
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
