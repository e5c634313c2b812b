// The ftp URL form "ftp://host/path?uid=user&pw=password" that names a file on another server.
#pragma once
#include <string>
#include <string_view>

inline constexpr std::string_view kFtpScheme = "ftp://";

struct CWyFtpUrl {
    std::string host;      // without the port
    unsigned short port = 0;  // the URL's ":port"; 0 when it gives none
    std::string path;      // from the first "/" after the host on; "/" when there is none
    std::string userName;  // empty when the URL gives none
    std::string password;  // runs to the end of the text, so it may hold "&", "?" or "="
};

bool IsFtpUrl(std::string_view name);

// Splits an ftp URL. Raises WyFTPErrorLoginFailed when the text has no "?"
// or its query part has no "&pw=", WyFTPErrorCreateObject when its port is
// not a number from 1 to 65535.
CWyFtpUrl ParseFtpUrl(std::string_view url);
