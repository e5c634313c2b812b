// What the file-store tests share: a stand-in for the control and test helpers for the stores.
#pragma once
#include "explorer/WyTransferProgressDlg.h"
#include "filesystem/WyDirectoryEntry.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyFileSystemOwner.h"
#include "tests/fixture/ScratchDrive.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// The control as the stores see it: properties to set, events recorded, a
// real top-level window standing for the control's window, and (when
// provideDialog is set) the real progress dialog.
class CTestOwner : public CWyFileSystemOwner {
public:
    CTestOwner();
    ~CTestOwner();

    std::string serverName, userName = "anonymous", password, connectDirectory = "/";
    BOOL enableProgressDialog = TRUE;
    LONG showProgressDialog = 100;
    bool passiveMode = false;
    long port = kDefaultFtpPort;
    long timeout = kDefaultTimeoutSeconds;
    long serverEncoding = kServerEncodingShiftJis;
    std::string currentDirectory;
    unsigned callGeneration = 0;  // 0: every listing goes to the server
    std::vector<LONG> progress;
    std::vector<std::string> directoryChanges;
    // Called after each TransferProgress has been recorded.
    std::function<void(LONG)> onProgress;
    bool provideDialog = false;
    CWyTransferProgressDlg* dialog = nullptr;  // the last one made; valid during its transfer only
    HWND controlWindow = nullptr;

    std::string GetServerNameProperty() const override { return serverName; }
    void SetServerNameProperty(const std::string& value) override { serverName = value; }
    std::string GetUserNameProperty() const override { return userName; }
    void SetUserNameProperty(const std::string& value) override { userName = value; }
    std::string GetPasswordProperty() const override { return password; }
    void SetPasswordProperty(const std::string& value) override { password = value; }
    std::string GetConnectDirectoryProperty() const override { return connectDirectory; }
    BOOL IsProgressDialogEnabled() const override { return enableProgressDialog < 0 ? -enableProgressDialog : enableProgressDialog; }
    LONG GetShowProgressDialogProperty() const override { return showProgressDialog; }
    bool GetPassiveModeProperty() const override { return passiveMode; }
    long GetPortProperty() const override { return port; }
    long GetTimeoutProperty() const override { return timeout; }
    long GetServerEncodingProperty() const override { return serverEncoding; }
    unsigned GetCallGeneration() const override { return callGeneration; }
    std::string GetCurrentDirectoryString() const override { return currentDirectory; }
    void SetCurrentDirectoryString(const std::string& directory) override { currentDirectory = directory; }
    void FireTransferProgress(LONG bytes) override;
    void FireChangeCurrentDirectory(const char* directory) override { directoryChanges.emplace_back(directory); }
    HWND GetControlWindow() const override { return controlWindow; }
    std::unique_ptr<CWyProgressDisplay> CreateProgressDisplay(CWyFileSystem& fileSystem) override;
};

// Runs call and returns the code of the CWyFTPException it raises, or -1.
int WyErrorOf(const std::function<void()>& call);

// Collects listing entries.
struct CListing : CWyFileList {
    std::vector<CWyDirectoryEntry> entries;
    void AddEntry(const CWyDirectoryEntry& entry) override { entries.push_back(entry); }
    const CWyDirectoryEntry* Find(const std::string& name) const;
};
