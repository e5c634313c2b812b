// A plain top-level window to parent controls and pages in window tests, a message pump, and the platform's ATL host.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "framework/ComPtr.h"

#include <vector>

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

// What the screen shows of a window's rectangle, frame included: read from
// the screen's DC, so it is what the X server shows, not what a repaint
// would draw (PrintWindow paints first and hides stale pixels).
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;  // rows top first, 0x00RRGGBB
};
ScreenPixels CaptureScreen(HWND window);
// The pixels at which two captures differ; every pixel when their sizes differ.
size_t CountDifferences(const ScreenPixels& a, const ScreenPixels& b);
// Handles messages until nothing below top (top included) waits to be
// painted and the queue is empty; false when that has not happened after
// about ten seconds.
bool SettlePainting(HWND top);
// The pixels of window that a forced full repaint changes: what the screen
// shows now against what it shows after everything was invalidated, erased
// and painted again.
size_t StalePixels(HWND window);

// Real input, as a user gives it (SendInput): the mouse to a point of the
// screen, a button (MOUSEEVENTF_RIGHTDOWN and the like), a click at a point,
// and text typed into the window that has the keyboard focus.
void SendMouseMove(POINT screen);
void SendMouseButton(DWORD flags);
void ClickAt(POINT screen);
void TypeText(const wchar_t* text);
