// UTF-16 to Shift-JIS conversion and Shift-JIS string resources.
#include "framework/CodePage932.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage932, RoundTripsJapaneseText)
{
    EXPECT_EQ("ソフト表.txt", ToShiftJis(L"\u30BD\u30D5\u30C8\u8868.txt"));
    EXPECT_EQ(L"\u30BD\u30D5\u30C8\u8868.txt", ToWide("ソフト表.txt"));
    EXPECT_EQ("", ToShiftJis(L""));
    EXPECT_EQ(L"", ToWide(""));
    // A lone lead byte converts to something, never past the input.
    EXPECT_FALSE(ToWide("a\x95").empty());
}

TEST(CodePage932, LoadsStringResourcesAsShiftJis)
{
    EXPECT_EQ("WyFTPエラー：", LoadResourceString(IDS_ERROR_PREFIX));
    EXPECT_EQ("を転送しています", LoadResourceString(IDS_TRANSFERRING));
    EXPECT_EQ("WYFTPエラー", LoadResourceString(IDS_CATEGORY_WYFTP));
    EXPECT_EQ("WIN32エラー", LoadResourceString(IDS_CATEGORY_WIN32));
    EXPECT_EQ("WININETエラー", LoadResourceString(IDS_CATEGORY_WININET));
    EXPECT_EQ("その他のエラー", LoadResourceString(IDS_CATEGORY_OTHER));
    EXPECT_EQ("WyFTP Control", LoadResourceString(IDS_WYFTP));
    EXPECT_EQ("WyFTP Property Page", LoadResourceString(IDS_WYFTP_PPG));
    EXPECT_EQ("", LoadResourceString(9999));
}

}  // namespace
