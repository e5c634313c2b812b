// What a file store needs from the control that owns it: properties, current directory, events.
#pragma once
#include <windows.h>

#include <string>

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

    virtual std::string GetCurrentDirectoryString() const = 0;
    virtual void SetCurrentDirectoryString(const std::string& directory) = 0;

    virtual void FireTransferProgress(LONG bytes) = 0;
    virtual void FireChangeCurrentDirectory(const char* directory) = 0;

    // The control's window, where the progress dialog is placed; may be null.
    virtual HWND GetControlWindow() const = 0;

protected:
    ~CWyFileSystemOwner() = default;
};
