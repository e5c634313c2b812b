// CWyPath: every operation, with Shift-JIS names and degenerate input.
#include "filesystem/WyPath.h"

#include <gtest/gtest.h>

namespace {

std::string Str(const CWyPath& path) { return path.Str(); }

TEST(WyPath, ToForwardSlashesKeepsDoubleByteNames)
{
    EXPECT_EQ("C:/data/表.txt", Str(CWyPath("C:\\data\\表.txt").ToForwardSlashes()));
    EXPECT_EQ("/ソ/能/表", Str(CWyPath("\\ソ\\能\\表").ToForwardSlashes()));
    EXPECT_EQ("a/b/", Str(CWyPath("a\\b/").ToForwardSlashes()));
}

TEST(WyPath, TrailingSlash)
{
    EXPECT_EQ("/pub", Str(CWyPath("/pub/").RemoveTrailingSlash()));
    EXPECT_EQ("/pub", Str(CWyPath("/pub").RemoveTrailingSlash()));
    EXPECT_EQ("", Str(CWyPath("/").RemoveTrailingSlash()));
    EXPECT_EQ("/pub/", Str(CWyPath("/pub//").RemoveTrailingSlash()));  // one only
    EXPECT_EQ("/pub/", Str(CWyPath("/pub").AppendSlash()));
    EXPECT_EQ("/pub/", Str(CWyPath("/pub/").AppendSlash()));
    EXPECT_EQ("/", Str(CWyPath("").AppendSlash()));
    EXPECT_TRUE(CWyPath("/").EndsWithSlash());
    EXPECT_FALSE(CWyPath("").EndsWithSlash());
    EXPECT_FALSE(CWyPath("/表").EndsWithSlash());
}

TEST(WyPath, GetLastComponent)
{
    EXPECT_EQ("a.txt", Str(CWyPath("/pub/a.txt").GetLastComponent()));
    EXPECT_EQ("ソフト.txt", Str(CWyPath("/pub/ソフト.txt").GetLastComponent()));
    EXPECT_EQ("表.txt", Str(CWyPath("表.txt").GetLastComponent()));
    EXPECT_EQ("", Str(CWyPath("/pub/").GetLastComponent()));
    EXPECT_EQ("", Str(CWyPath("").GetLastComponent()));
}

TEST(WyPath, PrependRootOnlyToAbsolutePaths)
{
    EXPECT_EQ("C:/data", Str(CWyPath("/data").PrependRoot("C:")));
    EXPECT_EQ("D:/", Str(CWyPath("/").PrependRoot("D:")));
    EXPECT_EQ("data", Str(CWyPath("data").PrependRoot("C:")));
    EXPECT_EQ("", Str(CWyPath("").PrependRoot("C:")));
}

TEST(WyPath, StripURLPrefixAndNormalize)
{
    EXPECT_EQ("/pub/a", Str(CWyPath("ftp://host/pub/a").StripURLPrefix()));
    EXPECT_EQ("host", Str(CWyPath("ftp://host").StripURLPrefix()));
    EXPECT_EQ("", Str(CWyPath("ftp://").StripURLPrefix()));
    EXPECT_EQ("C:/x", Str(CWyPath("C:/x").StripURLPrefix()));
    EXPECT_EQ("/pub/a", Str(CWyPath("ftp://host/pub/a").Normalize()));
    EXPECT_EQ("/dir/x", Str(CWyPath("C:/dir/x").Normalize()));
    EXPECT_EQ("/表/ソ", Str(CWyPath("D:/表/ソ").Normalize()));
    EXPECT_EQ("host", Str(CWyPath("ftp://host").Normalize()));
    EXPECT_EQ("dir", Str(CWyPath("dir").Normalize()));
    EXPECT_EQ("/", Str(CWyPath("/").Normalize()));
    EXPECT_EQ("", Str(CWyPath("").Normalize()));
}

TEST(WyPath, IsWithin)
{
    EXPECT_TRUE(CWyPath("/pub").IsWithin(CWyPath("/pub")));
    EXPECT_TRUE(CWyPath("/pub/a").IsWithin(CWyPath("/pub")));
    EXPECT_FALSE(CWyPath("/public").IsWithin(CWyPath("/pub")));
    EXPECT_FALSE(CWyPath("/pu").IsWithin(CWyPath("/pub")));
    EXPECT_TRUE(CWyPath("/表/x").IsWithin(CWyPath("/表")));
}

TEST(WyPath, HugeAndBrokenPathsStayWhole)
{
    const std::string huge = "/" + std::string(10000, 'a') + "\\表";
    CWyPath path(huge);
    path.ToForwardSlashes();
    EXPECT_EQ(10004u, path.Length());
    EXPECT_EQ("表", Str(path.GetLastComponent()));
    // A lone lead byte at the end neither hides nor swallows a separator.
    EXPECT_EQ("a/\x95", Str(CWyPath("a\\\x95").ToForwardSlashes()));
    EXPECT_EQ("\x95", Str(CWyPath("/x/\x95").GetLastComponent()));
    EXPECT_EQ("", Str(CWyPath(static_cast<const char*>(nullptr))));
}

}  // namespace
