// What a file store needs from the control that owns it: properties, current directory, events.
#pragma once
#include "filesystem/WyProgressDisplay.h"
#include "ftp/FtpOptions.h"

#include <windows.h>

#include <memory>
#include <string>

class CWyFileSystem;

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
    // ConnectDirectory, "/" when it is empty: where a connection starts.
    virtual std::string GetStartDirectory() const = 0;
    // EnableProgressDialog by its absolute value, so a stored -1 counts as on.
    virtual BOOL IsProgressDialogEnabled() const = 0;
    // ShowProgressDialog: the size threshold in kilobytes.
    virtual LONG GetShowProgressDialogProperty() const = 0;
    // How the store's FTP connections are made, and those its ftp URLs
    // open (which name their own port and security).
    virtual CFtpOptions GetConnectionOptions() = 0;

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

    // Called while the store waits on the network outside of a transfer:
    // the control answers what other threads send to the windows of its
    // thread, refusing its own methods meanwhile as during a transfer.
    virtual void AnswerSentMessages() {}

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
