// Parsing the ftp URL form "ftp://host/path?uid=user&pw=password" and its secure schemes.
#include "filesystem/WyFTPUrl.h"
#include "filesystem/WyFTPException.h"

#include <gtest/gtest.h>

namespace {

TEST(FtpUrl, SplitsSchemeHostPortPathUserAndPasswordOrRefusesWithItsError)
{
    const struct {
        const char* url;
        CFtpOptions::Security security;
        const char* host;
        unsigned short port;
        const char* path;
        const char* user;
        const char* password;
    } parsed[] = {
        {"ftp://127.0.0.5/pub/表.txt?uid=wyuser&pw=wypass", CFtpOptions::none, "127.0.0.5", 0, "/pub/表.txt", "wyuser",
         "wypass"},
        {"ftpes://h/f?uid=u&pw=p", CFtpOptions::explicitTls, "h", 0, "/f", "u", "p"},
        {"ftps://h/f?uid=u&pw=p", CFtpOptions::implicitTls, "h", 0, "/f", "u", "p"},
        // The password runs to the end, whatever it holds; the user stops at "&pw=".
        {"ftp://h/f?uid=u&pw=a&b?c=d", CFtpOptions::none, "h", 0, "/f", "u", "a&b?c=d"},
        {"ftp://h/f?uid=u&pw=&pw=x", CFtpOptions::none, "h", 0, "/f", "u", "&pw=x"},
        {"ftp://h/f?uid=us?er&pw=", CFtpOptions::none, "h", 0, "/f", "us?er", ""},
        {"ftp://h/f?&pw=p", CFtpOptions::none, "h", 0, "/f", "", "p"},
        // No path is "/"; an account before the host is left out; a port is kept.
        {"ftp://host?uid=u&pw=p", CFtpOptions::none, "host", 0, "/", "u", "p"},
        {"ftp://me@host:2121/x?uid=u&pw=p", CFtpOptions::none, "host", 2121, "/x", "u", "p"},
        {"ftp://h:65535?&pw=", CFtpOptions::none, "h", 65535, "/", "", ""},
        {"ftp://?&pw=", CFtpOptions::none, "", 0, "/", "", ""},
    };
    for (const auto& test : parsed) {
        const CWyFTPUrl url = ParseFtpUrl(test.url);
        EXPECT_EQ(test.security, url.security) << test.url;
        EXPECT_EQ(test.host, url.host) << test.url;
        EXPECT_EQ(test.port, url.port) << test.url;
        EXPECT_EQ(test.path, url.path) << test.url;
        EXPECT_EQ(test.user, url.userName) << test.url;
        EXPECT_EQ(test.password, url.password) << test.url;
    }
    const std::pair<const char*, int> refused[] = {
        {"ftp://h:0/x?&pw=", WyFTPErrorCreateObject},     {"ftp://h:65536/x?&pw=", WyFTPErrorCreateObject},
        {"ftp://h:/x?&pw=", WyFTPErrorCreateObject},      {"ftp://h:21a/x?&pw=", WyFTPErrorCreateObject},
        {"ftp://h:99999999999999999999/x?&pw=", WyFTPErrorCreateObject},
        {"ftp://h/f", WyFTPErrorLoginFailed},             {"ftp://h/f?uid=u", WyFTPErrorLoginFailed},
        {"ftp://h/f?uid=u&password=p", WyFTPErrorLoginFailed},
        {"ftp://", WyFTPErrorLoginFailed},                {"", WyFTPErrorLoginFailed},
    };
    for (const auto& [url, error] : refused) {
        try {
            ParseFtpUrl(url);
            ADD_FAILURE() << url << " parsed";
        } catch (const CWyFTPException& raised) {
            EXPECT_EQ(error, raised.m_nErrorCode) << url;
        }
    }
    for (const auto& [name, url] : {std::pair{"ftp://h", true}, std::pair{"ftpes://h", true},
                                    std::pair{"ftps://h", true}, std::pair{"ftp:/h", false},
                                    std::pair{"C:/ftp://h", false}, std::pair{"", false}}) {
        EXPECT_EQ(url, IsFtpUrl(name)) << name;
    }
}

}  // namespace
