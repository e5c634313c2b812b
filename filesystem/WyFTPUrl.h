// The ftp URL form "ftp://host/path?uid=user&pw=password" that names a file on another server.
#pragma once
#include "ftp/FtpOptions.h"

#include <string>
#include <string_view>

// "ftp://" in clear, "ftpes://" over explicit TLS (AUTH TLS), "ftps://"
// over implicit TLS: a URL the control makes for a secure connection says
// so, and a control that receives it never falls back to clear.
inline constexpr std::string_view kFtpScheme = "ftp://";
inline constexpr std::string_view kExplicitTlsScheme = "ftpes://";
inline constexpr std::string_view kImplicitTlsScheme = "ftps://";
// A file on an SSH server, over SFTP.
inline constexpr std::string_view kSftpScheme = "sftp://";

struct CWyFTPUrl {
    CFtpOptions::Protocol protocol = CFtpOptions::ftp;   // from the scheme
    CFtpOptions::Security security = CFtpOptions::none;  // from the scheme
    std::string host;      // without the port
    unsigned short port = 0;  // the URL's ":port"; 0 when it gives none
    std::string path;      // from the first "/" after the host on; "/" when there is none
    std::string userName;  // empty when the URL gives none
    std::string password;  // runs to the end of the text, so it may hold "&", "?" or "="
};

bool IsFtpUrl(std::string_view name);
// The length of name's scheme ("ftp://", the secure ones and "sftp://"), 0
// for none.
size_t FtpSchemeLength(std::string_view name);
// The scheme of a URL for a connection made with options.
std::string_view SchemeOf(const CFtpOptions& options);

// Splits an ftp URL. Raises WyFTPErrorLoginFailed when the text has no "?"
// or its query part has no "&pw=", WyFTPErrorCreateObject when its port is
// not a number from 1 to 65535.
CWyFTPUrl ParseFtpUrl(std::string_view url);
