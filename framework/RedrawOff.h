// Turns a window's redrawing off while it is refilled, and back on.
#pragma once
#include <windows.h>

// A tree or list that repaints after every inserted item takes time that
// grows with the square of the items; refilled without redrawing, it
// repaints once at the end.
class RedrawOff {
public:
    explicit RedrawOff(HWND window) : m_hWnd(window) { SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0); }
    ~RedrawOff()
    {
        SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    HWND m_hWnd;
};
