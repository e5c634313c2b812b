// How the control's FTP connections are made: mode, port and time limits, read from the control's properties.
#include "filesystem/ConnectionSettings.h"

#include "filesystem/FtpUrl.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/FtpConnection.h"

namespace {

WORD CheckedPort(long port)
{
    if (port < 1 || port > 65535)
        throw CWyFTPException(WyFTPErrorCreateObject);
    return static_cast<WORD>(port);
}

}  // namespace

CWyConnectionSettings ConnectionSettingsOf(CWyFileSystemOwner& owner)
{
    CWyConnectionSettings settings;
    settings.passive = owner.GetPassiveModeProperty();
    settings.port = CheckedPort(owner.GetPortProperty());
    settings.timeoutSeconds = owner.GetTimeoutProperty();
    settings.encoding = owner.GetServerEncodingProperty();
    if (settings.encoding < kServerEncodingShiftJis || settings.encoding > kServerEncodingAutomatic)
        throw CWyFTPException(WyFTPErrorCreateObject);
    settings.security = owner.GetSecurityModeProperty();
    if (settings.security < kSecurityNone || settings.security > kSecurityImplicitTls)
        throw CWyFTPException(WyFTPErrorCreateObject);
    settings.certificatePin = owner.GetCertificatePinProperty();
    settings.judge = owner.GetCertificateJudge();
    return settings;
}

CWyConnectionSettings ConnectionSettingsFor(const CWyFtpUrl& url, CWyFileSystemOwner& owner)
{
    CWyConnectionSettings settings = ConnectionSettingsOf(owner);
    if (url.port != 0)
        settings.port = url.port;
    settings.security = url.security;
    return settings;
}

std::unique_ptr<CFtpConnection> OpenFtpConnection(const std::string& server, const std::string& user,
                                                  const std::string& password,
                                                  const CWyConnectionSettings& settings)
{
    CFtpOptions options;
    options.timeoutMilliseconds = static_cast<DWORD>(settings.timeoutSeconds) * 1000;
    options.passive = settings.passive;
    options.encoding = static_cast<CFtpOptions::Encoding>(settings.encoding);
    options.security = static_cast<CFtpOptions::Security>(settings.security);
    options.certificatePin = settings.certificatePin;
    options.judge = settings.judge;
    return CFtpConnection::Open(server, settings.port, user, password, options);
}
