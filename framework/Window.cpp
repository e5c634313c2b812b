// One window-procedure thunk for every window of ours: binds an HWND to its object, reflects notifications.
#include "framework/Window.h"

#include "framework/Module.h"

#include <commctrl.h>

#include <utility>

namespace {

// The dialog class's atom.
constexpr ULONG_PTR kDialogClassAtom = 32770;

// The object a window of ours holds in its user data. Only windows that run
// one of the thunks hold one; both reads are answered inside the process (a
// window property would cost a round trip to the window server on every
// message, which a list of thousands of rows sends by the ten thousand).
CWindow* ObjectOf(HWND window)
{
    return reinterpret_cast<CWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

CWindow::~CWindow()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

CWindow* CWindow::FromHandle(HWND window)
{
    if (!window)
        return nullptr;
    const bool runsThunk = GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WindowThunk);
    const bool runsDialogThunk = GetClassLongPtrW(window, GCW_ATOM) == kDialogClassAtom
        && GetWindowLongPtrW(window, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&DialogThunk);
    return runsThunk || runsDialogThunk ? ObjectOf(window) : nullptr;
}

BOOL CWindow::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWindow::Attach(HWND window)
{
    m_hWnd = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWindow::Detach()
{
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    if (m_superProc)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(std::exchange(m_superProc, nullptr)));
    m_hWnd = nullptr;
}

HWND CWindow::CreateOwnWindow(const wchar_t* className, UINT classStyle, DWORD exStyle, const wchar_t* name,
                              DWORD style, const RECT& rect, HWND parent, UINT_PTR id)
{
    if (m_hWnd)
        return nullptr;
    m_bDialog = false;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(ThisModule(), className, &windowClass)) {
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = &CWindow::WindowThunk;
        windowClass.hInstance = ThisModule();
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = className;
        if (!RegisterClassExW(&windowClass))
            return nullptr;
    }
    // A child's id travels in the menu argument.
    const HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(id) : nullptr;
    CreateWindowExW(exStyle, className, name, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, menu, ThisModule(), this);
    return m_hWnd;
}

HWND CWindow::CreateSubclassed(const wchar_t* systemClass, DWORD exStyle, DWORD style, const RECT& rect, HWND parent,
                               UINT_PTR id)
{
    if (m_hWnd)
        return nullptr;
    m_bDialog = false;
    HWND window = CreateWindowExW(exStyle, systemClass, L"", style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(id), ThisModule(), nullptr);
    if (!window)
        return nullptr;
    Attach(window);
    m_superProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindow::WindowThunk)));
    return window;
}

HWND CWindow::CreateDialogWindow(UINT templateId, HWND parent)
{
    if (m_hWnd)
        return nullptr;
    m_bDialog = true;
    CreateDialogParamW(ThisModule(), MAKEINTRESOURCEW(templateId), parent, &CWindow::DialogThunk,
                       reinterpret_cast<LPARAM>(this));
    return m_hWnd;
}

INT_PTR CWindow::RunModalDialog(UINT templateId, HWND parent)
{
    if (m_hWnd)
        return -1;
    m_bDialog = true;
    return DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(templateId), parent, &CWindow::DialogThunk,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CWindow::EndDialog(INT_PTR result)
{
    return m_hWnd && m_bDialog ? ::EndDialog(m_hWnd, result) : FALSE;
}

void CWindow::RepaintWhole(HWND window)
{
    if (window)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool CWindow::ChangesWholeLook(UINT message)
{
    switch (message) {
    case WM_STYLECHANGED:  // a list view's mode is its style
    case WM_SETFONT:
    case LVM_SETIMAGELIST:
    case LVM_SETBKCOLOR:
    case LVM_SETTEXTCOLOR:
    case LVM_SETTEXTBKCOLOR:
    case TVM_SETIMAGELIST:
    case TVM_SETBKCOLOR:
    case TVM_SETTEXTCOLOR:
        return true;
    }
    return false;
}

LRESULT CWindow::Dispatch(CWindow* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    // The system controls draw such a change only where something else
    // happens to invalidate: the rest keeps the old look on screen.
    if (self->m_superProc && self->m_hWnd == window && ChangesWholeLook(message))
        RepaintWhole(window);
    if (message == WM_NCDESTROY && self->m_hWnd == window) {
        // The last message: a subclassed control has had its own WM_NCDESTROY
        // through DefaultProc. The object may delete itself in OnFinalMessage.
        self->Detach();
        self->OnFinalMessage();
    }
    return result;
}

LRESULT CALLBACK CWindow::WindowThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (auto* self = static_cast<CWindow*>(create->lpCreateParams); self && !ObjectOf(window))
            self->Attach(window);
    }
    CWindow* self = ObjectOf(window);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return Dispatch(self, window, message, wParam, lParam);
}

INT_PTR CALLBACK CWindow::DialogThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG && lParam && !ObjectOf(window))
        reinterpret_cast<CWindow*>(lParam)->Attach(window);
    CWindow* self = ObjectOf(window);
    if (!self)
        return FALSE;
    return Dispatch(self, window, message, wParam, lParam);
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom != m_hWnd && FromHandle(header->hwndFrom)) {
            const LRESULT result = SendMessageW(header->hwndFrom, kReflectedNotify, wParam, lParam);
            if (m_bDialog)
                SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
            return m_bDialog ? TRUE : result;
        }
        break;
    }
    case kReflectedNotify:
        return 0;  // a view that does not handle its notification
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT CWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_superProc)
        return CallWindowProcW(m_superProc, m_hWnd, message, wParam, lParam);
    if (m_bDialog)
        return FALSE;
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}
