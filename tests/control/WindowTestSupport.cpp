// A plain top-level window to parent controls and pages in window tests, a message pump, and the platform's ATL host.
#include "tests/control/WindowTestSupport.h"

TestWindow::TestWindow(int width, int height)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"WyFTPTestWindow";
    RegisterClassW(&windowClass);
    m_window = CreateWindowExW(0, L"WyFTPTestWindow", L"test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                               10, 10, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TestWindow::~TestWindow()
{
    DestroyWindow(m_window);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

SIZE ClientSize(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

namespace {
struct Search {
    const wchar_t* className;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    wchar_t className[64] = L"";
    wchar_t caption[256] = L"";
    GetClassNameW(window, className, 64);
    GetWindowTextW(window, caption, 256);
    if (lstrcmpW(className, search->className) == 0 && (!search->caption || lstrcmpW(caption, search->caption) == 0)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindThreadWindow(const wchar_t* className, const wchar_t* caption)
{
    Search search = {className, caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

ComPtr<IDispatch> ControlInAtlHost(HWND parent, const RECT& rect, HWND* host)
{
    using AtlAxWinInitFunction = BOOL(WINAPI*)();
    using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
    *host = nullptr;
    const HMODULE atl = LoadLibraryW(L"atl.dll");
    if (!atl)
        return {};
    auto init = reinterpret_cast<AtlAxWinInitFunction>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    auto getControl = reinterpret_cast<AtlAxGetControlFunction>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    if (!init || !getControl)
        return {};
    // Wine's AtlAxWinInit fails once its window class is registered.
    WNDCLASSEXW registered = {};
    registered.cbSize = sizeof registered;
    if (!init() && !GetClassInfoExW(atl, L"AtlAxWin", &registered))
        return {};
    *host = CreateWindowExW(0, L"AtlAxWin", L"WyFTP.WyFTPCtrl.1", WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    ComPtr<IUnknown> control;
    if (!*host || getControl(*host, control.Put()) != S_OK)
        return {};
    return control.As<IDispatch>(IID_IDispatch);
}

namespace {

struct DescendantSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<DescendantSearch*>(parameter);
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (lstrcmpW(className, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindDescendant(HWND parent, const wchar_t* className)
{
    DescendantSearch search = {className, nullptr};
    EnumChildWindows(parent, &MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
