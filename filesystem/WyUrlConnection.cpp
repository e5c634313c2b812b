// A connection to the other server that an ftp URL names, for one transfer.
#include "filesystem/WyUrlConnection.h"

#include "framework/ShiftJis.h"

namespace {

CFtpOptions OptionsFor(const CWyFTPUrl& url, CWyFileSystemOwner& owner)
{
    CFtpOptions options = owner.GetConnectionOptions();
    if (url.port != 0)
        options.port = url.port;
    options.security = url.security;
    return options;
}

}  // namespace

CWyUrlConnection::CWyUrlConnection(const CWyFTPUrl& url, CWyFileSystemOwner& owner)
    : m_connection(CFtpConnection::Open(url.host, url.userName.empty() ? kAnonymousUser : url.userName,
                                         url.password.empty() ? kDefaultPassword : url.password,
                                         OptionsFor(url, owner)))
{
}

std::string AddressWithForwardSlashes(const char* name)
{
    std::string text = name ? name : "";
    const size_t query = ShiftJis::FindFirst(text, '?');
    std::string address = text.substr(0, query);
    ShiftJis::ReplaceAll(address, '\\', '/');
    return query == std::string::npos ? address : address + text.substr(query);
}
