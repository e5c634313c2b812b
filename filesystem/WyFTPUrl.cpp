// The ftp URL form "ftp://host/path?uid=user&pw=password" that names a file on another server.
#include "filesystem/WyFTPUrl.h"

#include "filesystem/WyFTPException.h"
#include "framework/ShiftJis.h"

namespace {
constexpr std::string_view kUserKey = "?uid=";
constexpr std::string_view kPasswordKey = "&pw=";

unsigned short ParsePort(std::string_view digits)
{
    unsigned long port = 0;
    for (char digit : digits) {
        if (digit < '0' || digit > '9' || port > 65535)
            throw CWyFTPException(WyFTPErrorCreateObject);
        port = port * 10 + static_cast<unsigned long>(digit - '0');
    }
    if (port < 1 || port > 65535)
        throw CWyFTPException(WyFTPErrorCreateObject);
    return static_cast<unsigned short>(port);
}

}  // namespace

size_t FtpSchemeLength(std::string_view name)
{
    for (const std::string_view scheme : {kFtpScheme, kExplicitTlsScheme, kImplicitTlsScheme, kSftpScheme}) {
        if (name.substr(0, scheme.size()) == scheme)
            return scheme.size();
    }
    return 0;
}

bool IsFtpUrl(std::string_view name)
{
    return FtpSchemeLength(name) != 0;
}

std::string_view SchemeOf(const CFtpOptions& options)
{
    if (options.protocol == CFtpOptions::sftp)
        return kSftpScheme;
    if (options.security == CFtpOptions::explicitTls)
        return kExplicitTlsScheme;
    if (options.security == CFtpOptions::implicitTls)
        return kImplicitTlsScheme;
    return kFtpScheme;
}

CWyFTPUrl ParseFtpUrl(std::string_view url)
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

    CWyFTPUrl parsed;
    const size_t userKey = query.find(kUserKey);
    if (userKey != std::string_view::npos && userKey + kUserKey.size() <= passwordKey) {
        const size_t userStart = userKey + kUserKey.size();
        parsed.userName = query.substr(userStart, passwordKey - userStart);
    }
    parsed.password = query.substr(passwordKey + kPasswordKey.size());

    std::string_view address = url.substr(0, queryStart);
    const size_t scheme = FtpSchemeLength(address);
    if (address.substr(0, scheme) == kExplicitTlsScheme)
        parsed.security = CFtpOptions::explicitTls;
    else if (address.substr(0, scheme) == kImplicitTlsScheme)
        parsed.security = CFtpOptions::implicitTls;
    else if (address.substr(0, scheme) == kSftpScheme)
        parsed.protocol = CFtpOptions::sftp;
    address.remove_prefix(scheme);
    const size_t slash = ShiftJis::FindFirst(address, '/');
    std::string_view host = address.substr(0, slash);
    parsed.path = slash == std::string_view::npos ? "/" : std::string(address.substr(slash));
    // "user@host:2121" names host on port 2121: credentials come from the
    // query part only.
    const size_t at = host.rfind('@');
    if (at != std::string_view::npos)
        host.remove_prefix(at + 1);
    const size_t colon = host.find(':');
    parsed.host = host.substr(0, colon);
    if (colon != std::string_view::npos)
        parsed.port = ParsePort(host.substr(colon + 1));
    return parsed;
}
