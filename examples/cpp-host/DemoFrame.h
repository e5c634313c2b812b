// The demo's main window: a frame holding the control in ATL's host window, painting on demand, and its message loop.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

class DemoFrame {
public:
    DemoFrame() = default;
    ~DemoFrame();
    DemoFrame(const DemoFrame&) = delete;
    DemoFrame& operator=(const DemoFrame&) = delete;

    // Opens the frame, client area width × height, with the control of progId
    // filling it; false when ATL's host or the control cannot be had.
    bool Create(const wchar_t* title, const wchar_t* progId, int width, int height);
    HWND Hwnd() const { return m_hwnd; }
    Microsoft::WRL::ComPtr<IUnknown> Control() const;

    // Dispatches messages until every window in the frame has painted what
    // it was asked to paint, forcing nothing, so the screen shows what a
    // user would see.
    void LetPaintingFinish();
    // Dispatches messages until the user closes the frame.
    void RunUntilClosed();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void PumpFor(DWORD milliseconds);

    HMODULE m_atl = nullptr;
    HWND m_hwnd = nullptr;
    HWND m_host = nullptr;
};
