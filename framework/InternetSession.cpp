// An Internet session: how the FTP connections made on it talk to their servers.
#include "framework/InternetSession.h"

#include "framework/FtpConnection.h"
#include "framework/InternetException.h"

CInternetSession::CInternetSession(const char*, DWORD_PTR context, DWORD, const char*, const char*, DWORD)
    : m_dwContext(context)
{
}

CInternetSession::~CInternetSession() = default;

std::unique_ptr<CFtpConnection> CInternetSession::GetFtpConnection(const char* server, const char* userName,
                                                                   const char* password, INTERNET_PORT port,
                                                                   BOOL passive)
{
    if (port == 0)
        port = CFtpConnection::defaultPort;
    CFtpOptions options = m_options;
    options.passive = passive != FALSE;
    auto channel = std::make_unique<CFtpControlChannel>(options);
    if (const DWORD error =
            channel->Open(server, port, userName ? userName : "anonymous", password ? password : ""))
        CInternetException::Throw(error, m_dwContext);
    return std::make_unique<CFtpConnection>(std::move(channel), server ? server : "", port);
}
