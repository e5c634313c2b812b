// Deterministic fuzzing of the parsers that read outside text: ftp URLs, paths, Shift-JIS text, date patterns.
#include "datetime/DateTimeFormat.h"
#include "filesystem/FtpUrl.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "framework/ShiftJis.h"
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
            const CWyFtpUrl url = ParseFtpUrl(text);
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

}  // namespace
