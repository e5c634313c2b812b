// An Internet session: how the FTP connections made on it talk to their servers.
#pragma once
#include "framework/FtpControlChannel.h"
#include "framework/InternetHandle.h"

#include <memory>
#include <string>

class CFtpConnection;

// Holds the options of the connections made on it (timeouts, encoding).
// Every failure throws CInternetException by value with an Internet
// library error number.
class CInternetSession {
public:
    // The arguments of the platform library's session are taken for
    // compatibility; connections here are made directly.
    explicit CInternetSession(const char* agent = nullptr, DWORD_PTR context = 1, DWORD accessType = 0,
                              const char* proxyName = nullptr, const char* proxyBypass = nullptr, DWORD flags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;
    virtual ~CInternetSession();

    void SetFtpOptions(const CFtpOptions& options) { m_options = options; }

    // Connects to the server and logs in. Port 0 is the protocol's default
    // port; passive off means active mode (PORT). Throws CInternetException.
    std::unique_ptr<CFtpConnection> GetFtpConnection(const char* server, const char* userName = nullptr,
                                                     const char* password = nullptr, INTERNET_PORT port = 0,
                                                     BOOL passive = FALSE);

private:
    DWORD_PTR m_dwContext = 0;
    CFtpOptions m_options;
};
