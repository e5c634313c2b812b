// An Internet library session (InternetOpenA): the root handle that FTP connections are made on.
#include "framework/InternetSession.h"

#include "framework/FtpConnection.h"
#include "framework/InternetException.h"

#include <wininet.h>

#include <utility>

namespace {

// The name of the running program, without directory and extension.
std::string ApplicationName()
{
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name(path, length < sizeof path ? length : 0);
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name.empty() ? "WyFTP" : name;
}

}  // namespace

CInternetSession::CInternetSession(const char* agent, DWORD_PTR context, DWORD accessType, const char* proxyName,
                                   const char* proxyBypass, DWORD flags)
    : m_dwContext(context)
{
    const std::string agentName = agent ? agent : ApplicationName();
    m_hSession = InternetOpenA(agentName.c_str(), accessType, proxyName, proxyBypass, flags);
    if (!m_hSession)
        CInternetException::Throw(GetLastError(), context);
}

CInternetSession::CInternetSession(CInternetSession&& other) noexcept
    : m_hSession(std::exchange(other.m_hSession, nullptr)), m_dwContext(other.m_dwContext)
{
}

CInternetSession& CInternetSession::operator=(CInternetSession&& other) noexcept
{
    if (this != &other) {
        Close();
        m_hSession = std::exchange(other.m_hSession, nullptr);
        m_dwContext = other.m_dwContext;
    }
    return *this;
}

CInternetSession::~CInternetSession()
{
    Close();
}

std::unique_ptr<CFtpConnection> CInternetSession::GetFtpConnection(const char* server, const char* userName,
                                                                   const char* password, INTERNET_PORT port,
                                                                   BOOL passive)
{
    const HINTERNET connection =
        InternetConnectA(m_hSession, server, port, userName, password, INTERNET_SERVICE_FTP,
                         passive ? INTERNET_FLAG_PASSIVE : 0, m_dwContext);
    if (!connection)
        CInternetException::Throw(GetLastError(), m_dwContext);
    return std::make_unique<CFtpConnection>(connection, server ? server : "");
}

BOOL CInternetSession::SetOption(DWORD option, DWORD value)
{
    return InternetSetOptionA(m_hSession, option, &value, sizeof value);
}

void CInternetSession::Close()
{
    if (m_hSession)
        InternetCloseHandle(std::exchange(m_hSession, nullptr));
}
