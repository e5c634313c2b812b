// Lead-byte aware byte operations on Shift-JIS text.
#include "framework/ShiftJis.h"

#include <gtest/gtest.h>

namespace {

// 表 is 0x95 0x5C and ソ is 0x83 0x5C: their trail byte is a backslash.
const std::string kTable = "表";
const std::string kSo = "ソ";

TEST(ShiftJis, TrailBackslashIsNotASeparator)
{
    ASSERT_EQ("\x95\x5C", kTable);
    ASSERT_EQ("\x83\x5C", kSo);
    std::string path = "C:\\data\\表.txt";
    ShiftJis::ReplaceAll(path, '\\', '/');
    EXPECT_EQ("C:/data/表.txt", path);
    EXPECT_EQ(std::string::npos, ShiftJis::FindFirst("ソフト表", '\\'));
    EXPECT_EQ(1u, ShiftJis::FindLast("a\\表", '\\'));
    EXPECT_FALSE(ShiftJis::EndsWithChar("dir\\表", '\\'));
    EXPECT_TRUE(ShiftJis::EndsWithChar("表\\", '\\'));
}

TEST(ShiftJis, FindFirstStartsAtACharacterBoundary)
{
    // Starting the search on the trail byte of 表 must not report it.
    EXPECT_EQ(2u, ShiftJis::FindFirst("表\\x", '\\', 1));
    EXPECT_EQ(std::string::npos, ShiftJis::FindFirst("ab", 'a', 5));
}

TEST(ShiftJis, ToUpperLeavesTrailBytesAlone)
{
    // 知 is 0x92 0x6D: its trail byte is a lower-case "m".
    EXPECT_EQ("ABC知/Z", ShiftJis::ToUpper("abc知/z"));
}

TEST(ShiftJis, BrokenTextNeverReadsPastItsEnd)
{
    // A lone lead byte at the end, and a lead byte before a byte that is no
    // trail byte, each count as one character.
    EXPECT_EQ(1u, ShiftJis::NextCharIndex("\x95", 0));
    EXPECT_EQ(1u, ShiftJis::NextCharIndex(std::string_view("\x95/", 2), 0));
    EXPECT_EQ(1u, ShiftJis::FindLast("\x95/", '/'));
    EXPECT_TRUE(ShiftJis::EndsWithChar("\x95/", '/'));
    std::string lone = "a\\\x95";
    ShiftJis::ReplaceAll(lone, '\\', '/');
    EXPECT_EQ("a/\x95", lone);
    EXPECT_EQ(std::string::npos, ShiftJis::FindLast("", '/'));
    EXPECT_FALSE(ShiftJis::EndsWithChar("", '/'));
}

}  // namespace
