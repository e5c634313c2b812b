// A connection to the other server that an ftp URL names, for one transfer.
#pragma once
#include "filesystem/FtpConnection.h"
#include "filesystem/WyFTPUrl.h"
#include "filesystem/WyFileSystemOwner.h"

#include <memory>
#include <string>

// Closed when it goes (also when the transfer raises). An empty user name
// logs in as "anonymous" and an empty password is the default one, as
// Connect does.
class CWyUrlConnection {
public:
    // Made as the owner's connections are, with the URL's own port (when
    // it names one) and the security its scheme names. A refused login or
    // an unreachable server raises CInternetException.
    CWyUrlConnection(const CWyFTPUrl& url, CWyFileSystemOwner& owner);
    CWyUrlConnection(const CWyUrlConnection&) = delete;
    CWyUrlConnection& operator=(const CWyUrlConnection&) = delete;

    CFtpConnection* Connection() const { return m_connection.get(); }

private:
    std::unique_ptr<CFtpConnection> m_connection;
};

// name with "\" turned to "/" in its address only, before the first "?":
// the user name and password after it keep every character.
std::string AddressWithForwardSlashes(const char* name);

// The password an empty one becomes: an e-mail-address-shaped string, as
// anonymous FTP expects.
inline constexpr const char* kDefaultPassword = "wyftp@wyftp.invalid";
