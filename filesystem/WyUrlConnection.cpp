// A connection to the other server that an ftp URL names, for one transfer.
#include "filesystem/WyUrlConnection.h"

#include "framework/ShiftJis.h"

CWyUrlConnection::CWyUrlConnection(const CWyFtpUrl& url, const CWyConnectionSettings& settings)
    : m_pConnection(OpenFtpConnection(url.host, url.userName.empty() ? kAnonymousUser : url.userName,
                                      url.password.empty() ? kDefaultPassword : url.password, settings))
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
