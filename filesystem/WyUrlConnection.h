// A connection to the other server that an ftp URL names, for one transfer.
#pragma once
#include "filesystem/ConnectionSettings.h"
#include "filesystem/FtpConnection.h"
#include "filesystem/FtpUrl.h"

#include <memory>
#include <string>

// Closed when it goes (also when the transfer raises). An empty user name
// logs in as "anonymous" and an empty password is the default one, as
// Connect does.
class CWyUrlConnection {
public:
    // A refused login or an unreachable server raises CInternetException.
    // Made as settings say (mode, port, time limits).
    CWyUrlConnection(const CWyFtpUrl& url, const CWyConnectionSettings& settings);
    CWyUrlConnection(const CWyUrlConnection&) = delete;
    CWyUrlConnection& operator=(const CWyUrlConnection&) = delete;

    CFtpConnection* Connection() const { return m_pConnection.get(); }

private:
    std::unique_ptr<CFtpConnection> m_pConnection;
};

// name with "\" turned to "/" in its address only, before the first "?":
// the user name and password after it keep every character.
std::string AddressWithForwardSlashes(const char* name);

// The password an empty one becomes: an e-mail-address-shaped string, as
// anonymous FTP expects.
inline constexpr const char* kDefaultPassword = "wyftp@wyftp.invalid";
inline constexpr const char* kAnonymousUser = "anonymous";
