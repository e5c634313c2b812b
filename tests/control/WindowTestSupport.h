// A plain top-level window to parent controls and pages in window tests, and a message pump.
#pragma once
#include <windows.h>

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
// The first window of this thread with that class and caption, or null.
HWND FindThreadWindow(const wchar_t* className, const wchar_t* caption);
