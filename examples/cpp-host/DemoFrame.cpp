// The demo's main window: a frame holding the control in ATL's host window, painting on demand, and its message loop.
#include "DemoFrame.h"

namespace {

const wchar_t kFrameClass[] = L"WyFTPDemoFrame";

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

template <typename Function>
Function AtlFunction(HMODULE atl, const char* name)
{
    return atl ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(atl, name))) : nullptr;
}

}  // namespace

DemoFrame::~DemoFrame()
{
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
}

bool DemoFrame::Create(const wchar_t* title, const wchar_t* progId, int width, int height)
{
    // atl.dll stays loaded for the life of the process: the control may hold
    // its site, which lives in atl.dll, until the control itself goes.
    m_atl = LoadLibraryW(L"atl.dll");
    const auto atlInit = AtlFunction<AtlAxWinInitFunction>(m_atl, "AtlAxWinInit");
    if (!atlInit || !atlInit())
        return false;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &DemoFrame::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFrameClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    m_hwnd = CreateWindowExW(0, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd)
        return false;
    // AtlAxWin creates the control named by its window text and activates it in place.
    m_host = CreateWindowExW(0, L"AtlAxWin", progId, WS_CHILD | WS_VISIBLE, 0, 0, width, height, m_hwnd, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (!m_host || !Control())
        return false;
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    UpdateWindow(m_hwnd);
    return true;
}

Microsoft::WRL::ComPtr<IUnknown> DemoFrame::Control() const
{
    Microsoft::WRL::ComPtr<IUnknown> control;
    const auto atlGetControl = AtlFunction<AtlAxGetControlFunction>(m_atl, "AtlAxGetControl");
    if (m_host && atlGetControl)
        atlGetControl(m_host, control.GetAddressOf());
    return control;
}

namespace {

BOOL CALLBACK NotePendingPaint(HWND window, LPARAM pending)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        *reinterpret_cast<bool*>(pending) = true;
    return TRUE;
}

}  // namespace

void DemoFrame::LetPaintingFinish()
{
    if (!m_hwnd)
        return;
    // The tree and list views finish some of their painting from posted
    // messages and timers; then nothing is forced: the picture shows what
    // the windows painted by themselves, as a user would see it.
    PumpFor(300);
    for (int round = 0; round < 100; ++round) {
        bool pending = GetUpdateRect(m_hwnd, nullptr, FALSE) != FALSE;
        EnumChildWindows(m_hwnd, &NotePendingPaint, reinterpret_cast<LPARAM>(&pending));
        if (!pending)
            break;
        PumpFor(20);
    }
    GdiFlush();
}

void DemoFrame::RunUntilClosed()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void DemoFrame::PumpFor(DWORD milliseconds)
{
    const ULONGLONG until = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Not ours to take: the message loop that follows must see it.
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

LRESULT CALLBACK DemoFrame::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        // The control's host fills the client area.
        if (HWND host = GetWindow(hwnd, GW_CHILD))
            MoveWindow(host, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
