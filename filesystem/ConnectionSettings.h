// How the control's FTP connections are made: mode, port and time limits, read from the control's properties.
#pragma once
#include "filesystem/WyFileSystemOwner.h"
#include "ftp/FtpOptions.h"

#include <windows.h>

#include <memory>
#include <string>

class CFtpConnection;
struct CWyFtpUrl;

struct CWyConnectionSettings {
    bool passive = false;
    WORD port = 21;
    long timeoutSeconds = kDefaultTimeoutSeconds;  // 0: the connection's default, 60 seconds
    long encoding = kServerEncodingShiftJis;
    long security = kSecurityNone;
    std::string certificatePin;
    CCertificateJudge* judge = nullptr;  // not owned
};

// The owner's PassiveMode, Port, Timeout, ServerEncoding, SecurityMode and
// CertificatePin; raises WyFTPErrorCreateObject for a port outside 1 to
// 65535 or an unknown encoding or security mode.
CWyConnectionSettings ConnectionSettingsOf(CWyFileSystemOwner& owner);
// The same for the server an ftp URL names: its own port when it gives one,
// and the security its scheme names (ftp, ftpes, ftps).
CWyConnectionSettings ConnectionSettingsFor(const CWyFtpUrl& url, CWyFileSystemOwner& owner);
// Connects to server and logs in as settings say (mode, port, time limits,
// encoding); raises CInternetException when it cannot.
std::unique_ptr<CFtpConnection> OpenFtpConnection(const std::string& server, const std::string& user,
                                                  const std::string& password,
                                                  const CWyConnectionSettings& settings);
