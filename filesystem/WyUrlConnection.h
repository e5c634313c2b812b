// A connection to the other server that an ftp URL names, for one transfer.
#pragma once
#include "filesystem/ConnectionSettings.h"
#include "filesystem/FtpUrl.h"
#include "framework/FtpConnection.h"
#include "framework/InternetSession.h"

#include <memory>
#include <string>

// Its own session and connection, closed in that order when it goes (also
// when the transfer raises). An empty user name logs in as "anonymous" and
// an empty password is the default one, as Connect does.
class CWyUrlConnection {
public:
    // Raises WyFTPErrorSessionFailed when no session can be opened; a
    // refused login or an unreachable server goes on as CInternetException.
    // Made as settings say (mode, port, time limits).
    CWyUrlConnection(const CWyFtpUrl& url, DWORD_PTR sessionContext, const CWyConnectionSettings& settings);
    CWyUrlConnection(const CWyUrlConnection&) = delete;
    CWyUrlConnection& operator=(const CWyUrlConnection&) = delete;

    CFtpConnection* Connection() const { return m_pConnection.get(); }

private:
    std::unique_ptr<CInternetSession> m_pSession;  // declared first, so closed last
    std::unique_ptr<CFtpConnection> m_pConnection;
};

// name with "\" turned to "/" in its address only, before the first "?":
// the user name and password after it keep every character.
std::string AddressWithForwardSlashes(const char* name);

// The password an empty one becomes: an e-mail-address-shaped string, as
// anonymous FTP expects.
inline constexpr const char* kDefaultPassword = "wyftp@wyftp.invalid";
inline constexpr const char* kAnonymousUser = "anonymous";
