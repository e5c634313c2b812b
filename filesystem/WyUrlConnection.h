// A connection to the other server that a server URL names, for one transfer.
#pragma once
#include "filesystem/RemoteConnection.h"
#include "filesystem/WyFTPUrl.h"
#include "filesystem/WyFileSystemOwner.h"

#include <memory>
#include <string>

// Closed when it goes (also when the transfer raises). Over FTP an empty
// user name logs in as "anonymous" and an empty password is the default
// one, as Connect does.
class CWyUrlConnection {
public:
    // Made as the owner's connections are, with the protocol and security
    // the URL's scheme names and its own port (see OptionsFor). A refused login or an unreachable server raises
    // CInternetException.
    CWyUrlConnection(const CWyFTPUrl& url, CWyFileSystemOwner& owner);
    CWyUrlConnection(const CWyUrlConnection&) = delete;
    CWyUrlConnection& operator=(const CWyUrlConnection&) = delete;

    CRemoteConnection* Connection() const { return m_connection.get(); }

private:
    std::unique_ptr<CRemoteConnection> m_connection;
};

// Connects to server over the protocol options name and logs in; raises
// when it cannot, WyFTPErrorCreateObject for port 0. standingHook is asked
// during every wait of the connection.
std::unique_ptr<CRemoteConnection> OpenRemoteConnection(const std::string& server, const std::string& user,
                                                        const std::string& password, const CFtpOptions& options,
                                                        CNetworkWaitHook* standingHook = nullptr);

// name with "\" turned to "/" in its address only, before the first "?":
// the user name and password after it keep every character.
std::string AddressWithForwardSlashes(const char* name);

// The password an empty one becomes: an e-mail-address-shaped string, as
// anonymous FTP expects.
inline constexpr const char* kDefaultPassword = "wyftp@wyftp.invalid";
