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

// Handles messages until nothing below top (top included) waits to be
// painted and the queue is empty; false when that has not happened after
// about ten seconds.
bool SettlePainting(HWND top);
// The pixels of window that a forced full repaint changes: what the screen
// shows now (read from the screen's DC, what the X server shows) against what
// it shows after everything was invalidated, erased and painted again.
size_t StalePixels(HWND window);

// Real input, as a user gives it (SendInput): the mouse to a point of the
// screen, a button (MOUSEEVENTF_RIGHTDOWN and the like), a click at a point,
// and text typed into the window that has the keyboard focus.
void SendMouseMove(POINT screen);
void SendMouseButton(DWORD flags);
void ClickAt(POINT screen);
void TypeText(const wchar_t* text);
