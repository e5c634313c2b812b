// Replies from the bytes of the control connection however they are split, and what the reply parsers read from them.
#include "ftp/ReplyAssembler.h"
#include "ftp/ReplyParsers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Assembly {
    const char* what;
    std::string bytes;
    std::vector<FtpReply> replies;  // in order
    CReplyAssembler::Result last;   // what Take says after them
};

std::vector<FtpReply> Expected(std::initializer_list<std::pair<int, std::string>> replies)
{
    std::vector<FtpReply> out;
    for (const auto& [code, text] : replies)
        out.push_back({code, text});
    return out;
}

// Feeds bytes in pieces of piece bytes, taking replies as they complete.
std::vector<FtpReply> Assemble(const std::string& bytes, size_t piece, CReplyAssembler::Result& last)
{
    CReplyAssembler assembler;
    std::vector<FtpReply> replies;
    last = CReplyAssembler::Result::needMore;
    for (size_t at = 0; at < bytes.size() && last != CReplyAssembler::Result::malformed; at += piece) {
        assembler.Feed(std::string_view(bytes).substr(at, piece));
        FtpReply reply;
        while ((last = assembler.Take(reply)) == CReplyAssembler::Result::complete)
            replies.push_back(reply);
    }
    return replies;
}

TEST(ReplyAssembler, RepliesComeWholeWhateverTheReadsAndCapsHoldTheirLength)
{
    const std::string longLine(9000, 'x');
    std::string manyLines = "211-start\r\n";
    for (int line = 0; line < 20; ++line)
        manyLines += " " + std::string(4000, 'y') + "\r\n";
    manyLines += "211 end\r\n";

    const Assembly cases[] = {
        {"one line", "220 ready\r\n", Expected({{220, "220 ready"}}), CReplyAssembler::Result::needMore},
        {"two replies in one read", "150 here\r\n226 done\r\n", Expected({{150, "150 here"}, {226, "226 done"}}),
         CReplyAssembler::Result::needMore},
        {"LF alone ends a line", "200 ok\n", Expected({{200, "200 ok"}}), CReplyAssembler::Result::needMore},
        {"inner lines that look like replies",
         "211-Features:\r\n MDTM\r\n226 not the end\r\n211-still not\r\n2110 nor this\r\n211 End\r\n",
         Expected({{211, "211-Features:\r\n MDTM\r\n226 not the end\r\n211-still not\r\n2110 nor this\r\n211 End"}}),
         CReplyAssembler::Result::needMore},
        {"a closing number alone", "230-Welcome\r\n230\r\n", Expected({{230, "230-Welcome\r\n230"}}),
         CReplyAssembler::Result::needMore},
        {"an unclosed reply waits", "230-Welcome\r\nmore\r\n", {}, CReplyAssembler::Result::needMore},
        {"a line cut at 8 KiB", "500 " + longLine + "\r\n",
         Expected({{500, ("500 " + longLine).substr(0, 8192)}}),
         CReplyAssembler::Result::needMore},
        {"no FTP at all", "HTTP/1.1 400 Bad Request\r\n", {}, CReplyAssembler::Result::malformed},
        {"a number that is no reply", "600 what\r\n", {}, CReplyAssembler::Result::malformed},
        {"a letter inside the number", "2x0 what\r\n", {}, CReplyAssembler::Result::malformed},
    };
    for (const Assembly& test : cases) {
        for (const size_t piece : {test.bytes.size(), size_t{1}, size_t{7}}) {
            CReplyAssembler::Result last;
            const std::vector<FtpReply> replies = Assemble(test.bytes, piece, last);
            ASSERT_EQ(test.replies.size(), replies.size()) << test.what << ", pieces of " << piece;
            for (size_t index = 0; index < replies.size(); ++index) {
                EXPECT_EQ(test.replies[index].code, replies[index].code) << test.what;
                EXPECT_EQ(test.replies[index].text, replies[index].text) << test.what << ", pieces of " << piece;
            }
            EXPECT_EQ(test.last, last) << test.what << ", pieces of " << piece;
        }
    }

    // A reply of many long lines stops growing past 64 KiB, and still ends where the server ends it.
    CReplyAssembler::Result last;
    const std::vector<FtpReply> replies = Assemble(manyLines, 1000, last);
    ASSERT_EQ(1u, replies.size());
    EXPECT_GE(CReplyAssembler::kMaxReply + CReplyAssembler::kMaxLine, replies[0].text.size());
    EXPECT_LT(CReplyAssembler::kMaxReply, replies[0].text.size());
    EXPECT_EQ(211, replies[0].code);
}

TEST(ReplyParsers, PassiveAndExtendedPassivePorts)
{
    struct Case {
        const char* reply;
        bool extended;
        bool parsed;
        WORD port;
    };
    const Case cases[] = {
        {"227 Entering Passive Mode (192,0,2,10,4,1)", false, true, 1025},
        {"227 Entering Passive Mode (10,1,2,3,200,7).", false, true, 51207},  // only the port counts
        {"227 =192,0,2,10,0,21", false, true, 21},
        {"227 Entering Passive Mode (192,0,2,10,256,1)", false, false, 0},
        {"227 Entering Passive Mode (192,0,2,10,0,0)", false, false, 0},
        {"227 Entering Passive Mode (192,0,2)", false, false, 0},
        {"227 Entering Passive Mode", false, false, 0},
        {"229 Entering Extended Passive Mode (|||6446|)", true, true, 6446},
        {"229 Entering Extended Passive Mode (|||0|)", true, false, 0},
        {"229 Entering Extended Passive Mode (|||70000|)", true, false, 0},
        {"229 Entering Extended Passive Mode (|1|192.0.2.1|6446|)", true, false, 0},
    };
    for (const Case& test : cases) {
        WORD port = 0xBEEF;
        const bool parsed = test.extended ? ExtendedPassivePort(test.reply, port) : PassivePort(test.reply, port);
        EXPECT_EQ(test.parsed, parsed) << test.reply;
        if (test.parsed) {
            EXPECT_EQ(test.port, port) << test.reply;
        }
    }
}

TEST(ReplyParsers, QuotedPathsSizesTimesAndFeatures)
{
    struct PathCase {
        const char* reply;
        bool parsed;
        const char* path;
    };
    const PathCase paths[] = {
        {"257 \"/pub/資料\" is the current directory", true, "/pub/資料"},
        {"257 \"/say \"\"hi\"\"\" created", true, "/say \"hi\""},
        {"257 \"/unclosed", false, ""},
        {"257 no quotes", false, ""},
    };
    for (const PathCase& test : paths) {
        std::string path = "poison";
        EXPECT_EQ(test.parsed, QuotedPath(test.reply, path)) << test.reply;
        if (test.parsed) {
            EXPECT_EQ(test.path, path) << test.reply;
        }
    }

    ULONGLONG size = 7;
    EXPECT_TRUE(SizeValue("213 4294967301", size));
    EXPECT_EQ(4294967301ULL, size);
    EXPECT_FALSE(SizeValue("213 big", size));
    EXPECT_FALSE(SizeValue("550 no such file", size));
    EXPECT_TRUE(AnnouncedSize("150-Opening for big.bin (4294967301 bytes)\r\n150 go", size));
    EXPECT_EQ(4294967301ULL, size);
    EXPECT_FALSE(AnnouncedSize("150 3072.0 kbytes to download", size));

    struct TimeCase {
        const char* reply;
        bool parsed;
        SYSTEMTIME utc;
    };
    const TimeCase times[] = {
        {"213 20241231235958", true, {2024, 12, 0, 31, 23, 59, 58, 0}},
        {"213 19990228080000.25", true, {1999, 2, 0, 28, 8, 0, 0, 250}},
        {"213 20240230120000", false, {}},  // no 30th of February
        {"213 20241301120000", false, {}},
        {"213 2024", false, {}},
        {"550 no such file", false, {}},
    };
    for (const TimeCase& test : times) {
        SYSTEMTIME utc = {};
        const bool parsed = ModificationTime(test.reply, utc);
        EXPECT_EQ(test.parsed, parsed) << test.reply;
        if (!test.parsed || !parsed)
            continue;
        EXPECT_EQ(test.utc.wYear, utc.wYear) << test.reply;
        EXPECT_EQ(test.utc.wMonth, utc.wMonth) << test.reply;
        EXPECT_EQ(test.utc.wDay, utc.wDay) << test.reply;
        EXPECT_EQ(test.utc.wHour, utc.wHour) << test.reply;
        EXPECT_EQ(test.utc.wSecond, utc.wSecond) << test.reply;
        EXPECT_EQ(test.utc.wMilliseconds, utc.wMilliseconds) << test.reply;
    }

    EXPECT_EQ((std::set<std::string>{"MDTM", "MLST type*;size*;modify*;", "SIZE", "UTF8"}),
              FeatureList("211-Features:\r\n mdtm\r\n MLST type*;size*;modify*;\r\n SIZE\r\n utf8\r\n211 End"));
    EXPECT_TRUE(FeatureList("500 FEAT not understood").empty());
}

}  // namespace
