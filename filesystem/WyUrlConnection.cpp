// A connection to the other server that an ftp URL names, for one transfer.
#include "filesystem/WyUrlConnection.h"

#include "filesystem/FtpConnection.h"
#include "filesystem/SftpConnection.h"
#include "framework/ShiftJis.h"

namespace {

CFtpOptions OptionsFor(const CWyFTPUrl& url, CWyFileSystemOwner& owner)
{
    CFtpOptions options = owner.GetConnectionOptions();
    // A URL without a port means the owner's when it names the owner's
    // protocol, else its protocol's own.
    if (url.port != 0)
        options.port = url.port;
    else if (url.protocol != options.protocol)
        options.port = url.protocol == CFtpOptions::sftp ? kSshPort : kFtpPort;
    options.protocol = url.protocol;
    options.security = url.security;
    // The host's key file is for its own server.
    options.privateKeyFile.clear();
    return options;
}

bool IsAnonymousFtp(const CWyFTPUrl& url)
{
    return url.protocol == CFtpOptions::ftp;
}

}  // namespace

CWyUrlConnection::CWyUrlConnection(const CWyFTPUrl& url, CWyFileSystemOwner& owner)
    : m_connection(OpenRemoteConnection(url.host,
                                        url.userName.empty() && IsAnonymousFtp(url) ? kAnonymousUser : url.userName,
                                        url.password.empty() && IsAnonymousFtp(url) ? kDefaultPassword : url.password,
                                        OptionsFor(url, owner)))
{
}

std::unique_ptr<CRemoteConnection> OpenRemoteConnection(const std::string& server, const std::string& user,
                                                        const std::string& password, const CFtpOptions& options,
                                                        CNetworkWaitHook* standingHook)
{
    if (options.protocol == CFtpOptions::sftp)
        return CSftpConnection::Open(server, user, password, options, standingHook);
    return CFtpConnection::Open(server, user, password, options, standingHook);
}

std::string AddressWithForwardSlashes(const char* name)
{
    std::string text = name ? name : "";
    const size_t query = ShiftJis::FindFirst(text, '?');
    std::string address = text.substr(0, query);
    ShiftJis::ReplaceAll(address, '\\', '/');
    return query == std::string::npos ? address : address + text.substr(query);
}
