// What a file store needs from the control that owns it: properties, current directory, events.
#pragma once
#include "filesystem/WyProgressDisplay.h"

#include <windows.h>

#include <memory>
#include <string>

class CCertificateJudge;
class CWyFileSystem;

// Defaults of the connection properties: the protocol's port, and the
// seconds after which a server that stops answering ends an operation.
inline constexpr long kDefaultFtpPort = 21;
inline constexpr long kDefaultTimeoutSeconds = 60;
inline constexpr long kMaxTimeoutSeconds = 24 * 60 * 60;
// ServerEncoding: how names travel on the wire.
inline constexpr long kServerEncodingShiftJis = 0;
inline constexpr long kServerEncodingUtf8 = 1;
inline constexpr long kServerEncodingAutomatic = 2;
// SecurityMode: none, explicit TLS (AUTH TLS), implicit TLS.
inline constexpr long kSecurityNone = 0;
inline constexpr long kSecurityExplicitTls = 1;
inline constexpr long kSecurityImplicitTls = 2;
// TransferByte, the chunk of a transfer in kilobytes: its default, and the
// largest chunk any source (a setter, a document, a caller) may ask for.
inline constexpr long kDefaultTransferKilobytes = 1024;
inline constexpr long kMaxTransferKilobytes = 64 * 1024;

// The control implements this; the file stores never see the control itself.
class CWyFileSystemOwner {
public:
    virtual std::string GetServerNameProperty() const = 0;
    virtual void SetServerNameProperty(const std::string& value) = 0;
    virtual std::string GetUserNameProperty() const = 0;
    virtual void SetUserNameProperty(const std::string& value) = 0;
    virtual std::string GetPasswordProperty() const = 0;
    virtual void SetPasswordProperty(const std::string& value) = 0;
    virtual std::string GetConnectDirectoryProperty() const = 0;
    // EnableProgressDialog by its absolute value, so a stored -1 counts as on.
    virtual BOOL IsProgressDialogEnabled() const = 0;
    // ShowProgressDialog: the size threshold in kilobytes.
    virtual LONG GetShowProgressDialogProperty() const = 0;
    // How connections are made: passive or active mode, the server's port
    // (outside 1 to 65535 refused at Connect), the seconds a connect or a
    // reply may take and the window of the slowest transfer (0: 60), and
    // how names travel (kServerEncoding*).
    virtual bool GetPassiveModeProperty() const = 0;
    virtual long GetPortProperty() const = 0;
    virtual long GetTimeoutProperty() const = 0;
    virtual long GetServerEncodingProperty() const = 0;
    // SecurityMode (kSecurity*), CertificatePin (64 hex digits or empty),
    // and who judges a secure server's certificate (the control: its
    // ServerCertificate event); null judges by the check alone.
    virtual long GetSecurityModeProperty() const { return kSecurityNone; }
    virtual std::string GetCertificatePinProperty() const { return {}; }
    virtual CCertificateJudge* GetCertificateJudge() { return nullptr; }

    // Changes whenever a call of the host or a gesture of the user ends;
    // 0 outside of one. Within one call a store may answer a listing it
    // has already read instead of asking again.
    virtual unsigned GetCallGeneration() const = 0;

    virtual std::string GetCurrentDirectoryString() const = 0;
    virtual void SetCurrentDirectoryString(const std::string& directory) = 0;

    virtual void FireTransferProgress(LONG bytes) = 0;
    virtual void FireChangeCurrentDirectory(const char* directory) = 0;

    // The control's window, where the progress dialog is placed; may be null.
    virtual HWND GetControlWindow() const = 0;

    // A progress dialog for one transfer run by fileSystem, whose
    // AbortTransfer its Cancel button calls. The control returns the
    // explorer's progress dialog; the default, for owners without a user
    // interface, returns null and transfers then show no dialog.
    virtual std::unique_ptr<CWyProgressDisplay> CreateProgressDisplay(CWyFileSystem& fileSystem)
    {
        static_cast<void>(fileSystem);
        return nullptr;
    }

protected:
    ~CWyFileSystemOwner() = default;
};
