// An Internet library session (InternetOpenA): the root handle that FTP connections are made on.
#pragma once
#include "framework/InternetHandle.h"

#include <memory>
#include <string>

class CFtpConnection;

// Owns the session handle (move-only); destroy the connections made on it
// first. Every failure throws CInternetException by value with the
// platform's error number.
class CInternetSession {
public:
    // No agent name means the application's name. Access type 0 is the
    // platform's pre-configured access. Throws when the session cannot open.
    explicit CInternetSession(const char* agent = nullptr, DWORD_PTR context = 1, DWORD accessType = 0,
                              const char* proxyName = nullptr, const char* proxyBypass = nullptr, DWORD flags = 0);
    CInternetSession(CInternetSession&& other) noexcept;
    CInternetSession& operator=(CInternetSession&& other) noexcept;
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;
    virtual ~CInternetSession();

    HINTERNET GetHandle() const { return m_hSession; }
    DWORD_PTR GetContext() const { return m_dwContext; }

    // Connects to the server and logs in. Port 0 is the protocol's default
    // port; passive off means active mode (PORT). Throws CInternetException.
    std::unique_ptr<CFtpConnection> GetFtpConnection(const char* server, const char* userName = nullptr,
                                                     const char* password = nullptr, INTERNET_PORT port = 0,
                                                     BOOL passive = FALSE);
    // A numeric session option (InternetSetOptionA).
    BOOL SetOption(DWORD option, DWORD value);
    void Close();

private:
    HINTERNET m_hSession = nullptr;
    DWORD_PTR m_dwContext = 0;
};
