// A plain top-level window to parent controls and pages in window tests, a message pump, and the platform's ATL host.
#include "tests/control/WindowTestSupport.h"

#include <algorithm>
#include <vector>

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
// A window of that class (and caption, unless null); the first found is kept.
struct WindowSearch {
    const wchar_t* className;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    wchar_t text[256] = L"";
    GetClassNameW(window, text, 256);
    if (lstrcmpW(text, search->className) != 0)
        return TRUE;
    if (search->caption) {
        GetWindowTextW(window, text, 256);
        if (lstrcmpW(text, search->caption) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}
}  // namespace

HWND FindThreadWindow(const wchar_t* className, const wchar_t* caption)
{
    WindowSearch search = {className, caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendant(HWND parent, const wchar_t* className)
{
    WindowSearch search = {className, nullptr, nullptr};
    EnumChildWindows(parent, &MatchWindow, reinterpret_cast<LPARAM>(&search));
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

// What the screen shows of a window's rectangle, frame included: read from
// the screen's DC, so it is what the X server shows, not what a repaint
// would draw (PrintWindow paints first and hides stale pixels).
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;  // rows top first, 0x00RRGGBB
};

ScreenPixels CaptureScreen(HWND window)
{
    ScreenPixels capture;
    RECT rect = {};
    if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return capture;
    capture.width = rect.right - rect.left;
    capture.height = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, capture.width, capture.height, screen, rect.left, rect.top, SRCCOPY)) {
            GdiFlush();
            const DWORD* first = static_cast<const DWORD*>(bits);
            capture.pixels.assign(first, first + static_cast<size_t>(capture.width) * capture.height);
            for (DWORD& pixel : capture.pixels)
                pixel &= 0x00FFFFFF;
        }
        SelectObject(memory, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

// The pixels at which two captures differ; every pixel when their sizes differ.
size_t CountDifferences(const ScreenPixels& a, const ScreenPixels& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size())
        return std::max(a.pixels.size(), b.pixels.size());
    size_t count = 0;
    for (size_t at = 0; at < a.pixels.size(); ++at)
        count += a.pixels[at] != b.pixels[at];
    return count;
}

BOOL CALLBACK NoteUpdate(HWND window, LPARAM pending)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        *reinterpret_cast<bool*>(pending) = true;
    return TRUE;
}

bool PaintPending(HWND top)
{
    bool pending = GetUpdateRect(top, nullptr, FALSE) != FALSE;
    EnumChildWindows(top, &NoteUpdate, reinterpret_cast<LPARAM>(&pending));
    return pending;
}
}  // namespace

bool SettlePainting(HWND top)
{
    for (int round = 0; round < 1000; ++round) {
        // A pump that finds the queue empty also hands what was painted to
        // the display (Wine flushes its window surfaces when idle).
        PumpMessages();
        // Timers tick on regardless; they are no work left over.
        if (!PaintPending(top) && !HIWORD(GetQueueStatus(QS_ALLINPUT & ~QS_TIMER)))
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

size_t StalePixels(HWND window)
{
    SettlePainting(window);
    const ScreenPixels before = CaptureScreen(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SettlePainting(window);
    return CountDifferences(before, CaptureScreen(window));
}

void SendMouseMove(POINT screen)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void SendMouseButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

void ClickAt(POINT screen)
{
    SendMouseMove(screen);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
}

void TypeText(const wchar_t* text)
{
    for (; *text; ++text) {
        INPUT keys[2] = {};
        for (INPUT& key : keys) {
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = *text;
            key.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    }
}
