// The progress window a long transfer shows, as the copy loop sees it.
#pragma once
#include <windows.h>

#include <string>

// The explorer's progress dialog implements it; the control's
// CWyFileSystemOwner::CreateProgressDisplay makes one per transfer. The
// window's Cancel button aborts the transfer (AbortTransfer of the store
// that runs it) and destroys the window; the object stays until the
// transfer ends and then removes any window that is left.
class CWyProgressDisplay {
public:
    virtual ~CWyProgressDisplay() = default;

    // Creates the modeless window, puts its top-left corner on topLeft
    // (screen coordinates) at the top of the z-order, keeping its size, and
    // shows it. FALSE when the window cannot be created.
    virtual BOOL Show(POINT topLeft) = 0;
    // The line above the bar.
    virtual void SetMessageText(const std::string& text) = 0;
    // Percent done; 100 or more leaves the bar where it is, so a finished
    // transfer never shows a full bar before the window goes.
    virtual void SetPercent(int percent) = 0;
    // TRUE while the window exists (Cancel destroys it).
    virtual BOOL HasWindow() const = 0;
    // Gives the window a message taken from the thread's queue first, for
    // its keyboard interface (Escape cancels); TRUE when it used it.
    virtual BOOL PreTranslateMessage(MSG* message) = 0;
};
