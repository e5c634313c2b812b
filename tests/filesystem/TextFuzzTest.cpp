// Deterministic fuzzing of the parsers that read outside text: ftp URLs, paths, Shift-JIS text, date patterns, listings.
#include "datetime/DateTimeFormat.h"
#include "filesystem/WyFTPUrl.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "ftp/ListingParser.h"
#include "framework/ShiftJis.h"
#include "ftp/WireText.h"
#include "tests/fixture/SeededRandom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The same cases on every run: a fixed seed per round.
class TextGenerator : public SeededRandom {
public:
    explicit TextGenerator(unsigned seed) : SeededRandom(seed) {}

    // Text made of pieces that mean something to the parser, and raw
    // bytes: Shift-JIS lead bytes (also at the very end), trail byte 0x5C,
    // NULs, huge numbers.
    std::string Text(const std::vector<std::string>& pieces, size_t most)
    {
        std::string text;
        for (size_t count = Below(most) + 1; count > 0; --count) {
            switch (Below(4)) {
            case 0: text += static_cast<char>(Next()); break;
            case 1: text += "\x81"; break;  // a lead byte, maybe without its trail
            default: text += pieces[Below(pieces.size())];
            }
        }
        return text;
    }
};

constexpr int kRounds = 200000;

TEST(TextFuzz, FtpUrlsParseOrRaiseTheirOwnError)
{
    const std::vector<std::string> pieces = {"ftp://", "FTP://", "?", "uid=", "&pw=", "&", "=", ":", ":21",
                                             ":65536", ":99999999999999999999", "/", "\\", "..", "host", "表",
                                             "\x95\x5C", "%2F", " ", std::string(1, '\0'), std::string(300, 'h')};
    int parsed = 0;
    for (int round = 0; round < kRounds; ++round) {
        TextGenerator generator(static_cast<unsigned>(round));
        const std::string text = generator.Text(pieces, 12);
        try {
            const CWyFTPUrl url = ParseFtpUrl(text);
            ++parsed;
            EXPECT_FALSE(url.path.empty()) << "round " << round;
            EXPECT_EQ(std::string::npos, url.host.find('/')) << "round " << round;
        } catch (const CWyFTPException& error) {
            EXPECT_TRUE(error.m_nErrorCode == WyFTPErrorLoginFailed || error.m_nErrorCode == WyFTPErrorCreateObject)
                << "round " << round << ": " << error.m_nErrorCode;
        }
    }
    EXPECT_GT(parsed, 0);
}

TEST(TextFuzz, PathAndShiftJisOperationsStayInsideTheirText)
{
    const std::vector<std::string> pieces = {"/", "\\", "//", "..", ".", "C:", "ftp://", "host", "表", "ソ",
                                             "\x95\x5C", "\x83\x5C", "a", "Z", "\xFC\xFC", "\xA0", "\xDE"};
    for (int round = 0; round < kRounds; ++round) {
        TextGenerator generator(static_cast<unsigned>(round) + 1000003);
        const std::string text = generator.Text(pieces, 16);
        for (size_t at = 0; at < text.size();) {
            const size_t next = ShiftJis::NextCharIndex(text, at);
            ASSERT_GT(next, at) << "round " << round;
            ASSERT_LE(next, text.size()) << "round " << round;
            at = next;
        }
        const size_t slash = ShiftJis::FindLast(text, '/');
        if (slash != std::string::npos) {
            EXPECT_EQ('/', text[slash]) << "round " << round;
        }
        EXPECT_EQ(text.size(), ShiftJis::ToUpper(text).size()) << "round " << round;
        const std::string other = generator.Text(pieces, 4);
        const int forward = ShiftJis::CompareNoCase(text, other);
        const int backward = ShiftJis::CompareNoCase(other, text);
        EXPECT_TRUE((forward < 0 && backward > 0) || (forward > 0 && backward < 0) || (forward == 0 && backward == 0))
            << "round " << round;

        CWyPath path(text);
        path.ToForwardSlashes();
        EXPECT_EQ(std::string::npos, ShiftJis::FindFirst(path.Str(), '\\')) << "round " << round;
        EXPECT_EQ(std::string::npos, ShiftJis::FindFirst(path.GetLastComponent().Str(), '/')) << "round " << round;
        CWyPath normalized(text);
        normalized.ToForwardSlashes().Normalize();
        EXPECT_LE(normalized.Length(), text.size()) << "round " << round;
        normalized.IsWithin(CWyPath(other));
        normalized.RemoveTrailingSlash().AppendSlash();
        EXPECT_TRUE(normalized.EndsWithSlash()) << "round " << round;
        if (HasFailure())
            return;
    }
}

TEST(TextFuzz, DatePatternsOfAnyTextFormatWithinTheirBound)
{
    const std::vector<std::string> pieces = {"y", "yy", "yyyy", "M", "MM", "MMM", "MMMM", "d", "dd", "ddd", "dddd",
                                             "h", "hh", "H", "HH", "HX", "n", "nn", "s", "ss", "AM/PM", "am/pm",
                                             "a/p", "aaa", "aaaa", "g", "gg", "ggg", "e", "ee", "'", "\"", "\\",
                                             "c", "ddddd", "dddddd", "ttttt", "/", ":", "年", "\x81"};
    const DATE dates[] = {0.0, 36590.63, -657434.0, 2958465.99999, 1e300, -1e300, 45000.5};
    int formatted = 0;
    for (int round = 0; round < kRounds / 4; ++round) {
        TextGenerator generator(static_cast<unsigned>(round) + 2000003);
        const std::string pattern = generator.Text(pieces, 24);
        const COleDateTime value(dates[generator.Below(std::size(dates))]);
        std::string result;
        FormatDateTime(result, value, pattern.c_str(), 0x0411, static_cast<WORD>(generator.Below(30)));
        EXPECT_LE(result.size(), 128u) << "round " << round << ": " << pattern;
        formatted += result.empty() ? 0 : 1;
        char token[16] = {};
        FormatDateTimeToken(value, pattern.substr(0, 6).c_str(), token, static_cast<int>(generator.Below(17)),
                            0x0411, 0);
        if (HasFailure())
            return;
    }
    EXPECT_GT(formatted, kRounds / 8);
}

TEST(TextFuzz, HostileListingLinesGiveEntriesThatFitOrNone)
{
    // Real lines of both styles, mutated: pieces put in, bytes changed,
    // parts cut out, the end cut off.
    const std::vector<std::string> lines = {
        "-rw-r--r--   1 owner    group        1234 Dec 07 09:05 new.txt",
        "drwxr-xr-x   2 0        0            4096 Feb 20  2023 docs",
        "lrwxrwxrwx   1 a b 11 Mar 04 2020 latest -> docs/v2",
        "02-20-24  09:00PM       <DIR>          Program Files",
        "12-31-1999  12:15AM             2048 old.dat"};
    const std::vector<std::string> pieces = {" ", "   ", "Dec", "31", "32", "99:99", "1600", "<DIR>", " -> ",
                                             "99999999999999999999", "13-45-99", "名前", "\xE8\xB3",
                                             "\xF0\x9F\x98\x80", std::string(300, 'n'), std::string(1, '\0')};
    const SYSTEMTIME now = {2026, 12, 1, 7, 12, 0, 0, 0};
    int parsed = 0;
    for (int round = 0; round < kRounds; ++round) {
        TextGenerator generator(static_cast<unsigned>(round) + 7000003);
        std::string line = lines[generator.Below(lines.size())];
        for (size_t mutations = generator.Below(3) + 1; mutations > 0; --mutations) {
            const size_t at = generator.Below(line.size() + 1);
            switch (generator.Below(4)) {
            case 0: line.insert(at, pieces[generator.Below(pieces.size())]); break;
            case 1: if (at < line.size()) line[at] = static_cast<char>(generator.Next()); break;
            case 2: line.erase(at, generator.Below(8)); break;
            default: line.resize(at);
            }
        }
        FtpEntry entry;
        if (ParseListingLine(line, now, entry)) {
            ++parsed;
            ASSERT_LT(entry.name.size(), static_cast<size_t>(MAX_PATH)) << "round " << round;
            EXPECT_GT(entry.name.size(), 0u) << "round " << round;
            EXPECT_EQ(std::string::npos, entry.name.find('\0')) << "round " << round;
        }
        // Whatever a UTF-8 server sends becomes Shift-JIS text of whole
        // characters.
        bool lossy = false;
        const std::string name = Utf8ToShiftJis(line, lossy);
        for (size_t at = 0; at < name.size(); at = ShiftJis::NextCharIndex(name, at))
            ASSERT_LE(ShiftJis::NextCharIndex(name, at), name.size()) << "round " << round;
    }
    EXPECT_GT(parsed, kRounds / 10);
}

}  // namespace
