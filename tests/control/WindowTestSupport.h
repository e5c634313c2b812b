// A plain top-level window to parent controls and pages in window tests, a message pump, and the platform's ATL host.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "framework/ComPtr.h"

class TestWindow {
public:
    TestWindow(int width, int height);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

// Handles whatever messages are waiting.
void PumpMessages();
SIZE ClientSize(HWND window);
// The first descendant of parent with that window class, or null.
HWND FindDescendant(HWND parent, const wchar_t* className);
// The first window of this thread with that class and caption, or null.
HWND FindThreadWindow(const wchar_t* className, const wchar_t* caption);

// Creates the platform's ATL host window (atl.dll's "AtlAxWin") at rect in
// parent with the registered control in it, in-place active; the control,
// or null when the host could not be made. *host receives the host window.
ComPtr<IDispatch> ControlInAtlHost(HWND parent, const RECT& rect, HWND* host);
