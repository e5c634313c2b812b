// How the control's FTP connections are made: mode, port and time limits, read from the control's properties.
#include "filesystem/ConnectionSettings.h"

#include "filesystem/FtpUrl.h"
#include "filesystem/WyFTPException.h"
#include "framework/InternetSession.h"

#include <wininet.h>

namespace {

WORD CheckedPort(long port)
{
    if (port < 1 || port > 65535)
        throw CWyFTPException(WyFTPErrorCreateObject);
    return static_cast<WORD>(port);
}

}  // namespace

CWyConnectionSettings ConnectionSettingsOf(const CWyFileSystemOwner& owner)
{
    CWyConnectionSettings settings;
    settings.passive = owner.GetPassiveModeProperty();
    settings.port = CheckedPort(owner.GetPortProperty());
    settings.timeoutSeconds = owner.GetTimeoutProperty();
    return settings;
}

CWyConnectionSettings ConnectionSettingsFor(const CWyFtpUrl& url, const CWyFileSystemOwner& owner)
{
    CWyConnectionSettings settings = ConnectionSettingsOf(owner);
    if (url.port != 0)
        settings.port = url.port;
    return settings;
}

void ApplyTimeouts(CInternetSession& session, const CWyConnectionSettings& settings)
{
    if (settings.timeoutSeconds <= 0)
        return;
    const DWORD milliseconds = static_cast<DWORD>(settings.timeoutSeconds) * 1000;
    for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                               INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        session.SetOption(option, milliseconds);
}
