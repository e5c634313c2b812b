// The ftp URL form "ftp://host/path?uid=user&pw=password" that names a file on another server.
#include "filesystem/FtpUrl.h"

#include "filesystem/WyFTPException.h"
#include "framework/ShiftJis.h"

namespace {
constexpr std::string_view kUserKey = "?uid=";
constexpr std::string_view kPasswordKey = "&pw=";
}

bool IsFtpUrl(std::string_view name)
{
    return name.substr(0, kFtpScheme.size()) == kFtpScheme;
}

CWyFtpUrl ParseFtpUrl(std::string_view url)
{
    // The query part starts at the first "?": a "?" in the password is
    // therefore part of the password, and so is everything after "&pw=".
    const size_t queryStart = ShiftJis::FindFirst(url, '?');
    if (queryStart == std::string_view::npos)
        throw CWyFTPException(WyFTPErrorLoginFailed);
    const std::string_view query = url.substr(queryStart);
    const size_t passwordKey = query.find(kPasswordKey);
    if (passwordKey == std::string_view::npos)
        throw CWyFTPException(WyFTPErrorLoginFailed);

    CWyFtpUrl parsed;
    const size_t userKey = query.find(kUserKey);
    if (userKey != std::string_view::npos && userKey + kUserKey.size() <= passwordKey) {
        const size_t userStart = userKey + kUserKey.size();
        parsed.userName = query.substr(userStart, passwordKey - userStart);
    }
    parsed.password = query.substr(passwordKey + kPasswordKey.size());

    std::string_view address = url.substr(0, queryStart);
    if (IsFtpUrl(address))
        address.remove_prefix(kFtpScheme.size());
    const size_t slash = ShiftJis::FindFirst(address, '/');
    std::string_view host = address.substr(0, slash);
    parsed.path = slash == std::string_view::npos ? "/" : std::string(address.substr(slash));
    // "user@host:21" still names host: credentials come from the query part
    // and the port is always the default one.
    const size_t at = host.rfind('@');
    if (at != std::string_view::npos)
        host.remove_prefix(at + 1);
    const size_t colon = host.find(':');
    parsed.host = host.substr(0, colon);
    return parsed;
}
