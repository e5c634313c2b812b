// Parsing the ftp URL form "ftp://host/path?uid=user&pw=password".
#include "filesystem/FtpUrl.h"
#include "filesystem/WyFTPException.h"

#include <gtest/gtest.h>

namespace {

int ErrorOf(const std::string& url)
{
    try {
        ParseFtpUrl(url);
    } catch (const CWyFTPException& error) {
        return error.m_nErrorCode;
    }
    return 0;
}

TEST(FtpUrl, SplitsHostPathUserAndPassword)
{
    const CWyFtpUrl url = ParseFtpUrl("ftp://127.0.0.5/pub/表.txt?uid=wyuser&pw=wypass");
    EXPECT_EQ("127.0.0.5", url.host);
    EXPECT_EQ("/pub/表.txt", url.path);
    EXPECT_EQ("wyuser", url.userName);
    EXPECT_EQ("wypass", url.password);
}

TEST(FtpUrl, PasswordRunsToTheEndWhateverItHolds)
{
    EXPECT_EQ("a&b?c=d", ParseFtpUrl("ftp://h/f?uid=u&pw=a&b?c=d").password);
    EXPECT_EQ("&pw=x", ParseFtpUrl("ftp://h/f?uid=u&pw=&pw=x").password);
    EXPECT_EQ("", ParseFtpUrl("ftp://h/f?uid=u&pw=").password);
}

TEST(FtpUrl, EmptyOrMissingUserNameIsEmpty)
{
    EXPECT_EQ("", ParseFtpUrl("ftp://h/f?uid=&pw=p").userName);
    EXPECT_EQ("", ParseFtpUrl("ftp://h/f?&pw=p").userName);
    EXPECT_EQ("p", ParseFtpUrl("ftp://h/f?&pw=p").password);
    EXPECT_EQ("us?er", ParseFtpUrl("ftp://h/f?uid=us?er&pw=p").userName);
}

TEST(FtpUrl, HostWithoutPathPortOrCredentials)
{
    EXPECT_EQ("/", ParseFtpUrl("ftp://host?uid=u&pw=p").path);
    EXPECT_EQ("host", ParseFtpUrl("ftp://me@host/x?uid=u&pw=p").host);
    EXPECT_EQ(0, ParseFtpUrl("ftp://host/x?uid=u&pw=p").port);
}

TEST(FtpUrl, APortIsTakenWhenItIsOneAndRefusedOtherwise)
{
    const CWyFtpUrl url = ParseFtpUrl("ftp://me@host:2121/x?uid=u&pw=p");
    EXPECT_EQ("host", url.host);
    EXPECT_EQ(2121, url.port);
    EXPECT_EQ("/x", url.path);
    EXPECT_EQ(65535, ParseFtpUrl("ftp://h:65535?&pw=").port);
    for (const char* bad : {"ftp://h:0/x?&pw=", "ftp://h:65536/x?&pw=", "ftp://h:/x?&pw=", "ftp://h:21a/x?&pw=",
                            "ftp://h:99999999999999999999/x?&pw="})
        EXPECT_EQ(WyFTPErrorCreateObject, ErrorOf(bad)) << bad;
}

TEST(FtpUrl, MissingQueryOrPasswordIsALoginError)
{
    EXPECT_EQ(WyFTPErrorLoginFailed, ErrorOf("ftp://h/f"));
    EXPECT_EQ(WyFTPErrorLoginFailed, ErrorOf("ftp://h/f?uid=u"));
    EXPECT_EQ(WyFTPErrorLoginFailed, ErrorOf("ftp://h/f?uid=u&password=p"));
    EXPECT_EQ(WyFTPErrorLoginFailed, ErrorOf("ftp://"));
    EXPECT_EQ(WyFTPErrorLoginFailed, ErrorOf(""));
    EXPECT_EQ(0, ErrorOf("ftp://?&pw="));
    EXPECT_EQ("", ParseFtpUrl("ftp://?&pw=").host);
}

TEST(FtpUrl, IsFtpUrl)
{
    EXPECT_TRUE(IsFtpUrl("ftp://h"));
    EXPECT_FALSE(IsFtpUrl("ftp:/h"));
    EXPECT_FALSE(IsFtpUrl("C:/ftp://h"));
    EXPECT_FALSE(IsFtpUrl(""));
}

}  // namespace
