// A connection to the other server that an ftp URL names, for one transfer.
#include "filesystem/WyUrlConnection.h"

#include "filesystem/WyFTPException.h"
#include "framework/InternetException.h"
#include "framework/ShiftJis.h"

CWyUrlConnection::CWyUrlConnection(const CWyFtpUrl& url, DWORD_PTR sessionContext,
                                   const CWyConnectionSettings& settings)
{
    try {
        m_pSession = std::make_unique<CInternetSession>(nullptr, sessionContext);
    } catch (const CInternetException&) {
        throw CWyFTPException(WyFTPErrorSessionFailed);
    }
    const char* user = url.userName.empty() ? kAnonymousUser : url.userName.c_str();
    const char* password = url.password.empty() ? kDefaultPassword : url.password.c_str();
    ApplyConnectionSettings(*m_pSession, settings);
    m_pConnection = m_pSession->GetFtpConnection(url.host.c_str(), user, password, settings.port, settings.passive);
}

std::string AddressWithForwardSlashes(const char* name)
{
    std::string text = name ? name : "";
    const size_t query = ShiftJis::FindFirst(text, '?');
    std::string address = text.substr(0, query);
    ShiftJis::ReplaceAll(address, '\\', '/');
    return query == std::string::npos ? address : address + text.substr(query);
}
