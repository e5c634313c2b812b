// The modeless progress dialog of a long transfer: file name, progress bar and Cancel.
#pragma once
#include "filesystem/WyProgressDisplay.h"
#include "framework/Window.h"

#include <windows.h>

#include <string>

class CWyFileSystem;

// Built on dialog template 233. Cancel (the button, Escape or the close box)
// asks the file store to abort its transfer and destroys the window; the
// object stays until the transfer ends and then removes any window left.
class CWyTransferProgressDlg : public CWyProgressDisplay, public CWindow {
public:
    // fileSystem: the store whose running transfer Cancel aborts (not owned).
    // parent: the owner window of the dialog, or null for none.
    explicit CWyTransferProgressDlg(CWyFileSystem* fileSystem, HWND parent = nullptr);
    ~CWyTransferProgressDlg() override;

    HWND GetSafeHwnd() const { return GetHwnd(); }

    // Creates the modeless window from the template, hidden; FALSE when it
    // cannot be created.
    BOOL Create();
    // Sets the bar's step to n and advances it by one step.
    void StepBy(int n);

    // CWyProgressDisplay
    BOOL Show(POINT topLeft) override;
    void SetMessageText(const std::string& text) override;
    void SetPercent(int percent) override;
    BOOL HasWindow() const override { return GetHwnd() != nullptr; }
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    // Binds the three controls; TRUE lets the dialog manager set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnCancel();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage() override;

private:
    HWND m_cancel = nullptr;
    HWND m_message = nullptr;
    HWND m_progress = nullptr;
    CWyFileSystem* m_fileSystem;
    HWND m_parent;
};
