// One window-procedure thunk for every window of ours: binds an HWND to its object, reflects notifications.
#pragma once
#include <windows.h>

// A window object and its HWND. The object lives at least as long as its
// window: the owner destroys the window before the object (the destructor
// does it if the owner did not). Three ways to get a window:
//   CreateOwnWindow   a window of a class of ours, registered on first use;
//   CreateSubclassed  a system control (tree view, list view) whose messages
//                     come here first and then to the control's own procedure;
//   CreateDialogWindow / RunModalDialog  a dialog from a template.
// A derived class handles messages in WindowProc with a flat switch and
// passes everything else to CWindow::WindowProc.
class CWindow {
public:
    CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    virtual ~CWindow();

    HWND GetHwnd() const { return m_hWnd; }
    // The object bound to a window of ours, or null.
    static CWindow* FromHandle(HWND window);
    BOOL DestroyWindow();

    // Notifications a child sends its parent come back to the child that
    // sent them as this message (same wParam and lParam), when that child is
    // a window of ours: each view handles its own notifications.
    static constexpr UINT kReflectedNotify = WM_USER + 0x1C00 + WM_NOTIFY;

    // Marks the window and everything in it, frame and children included,
    // to be erased and painted whole. Moving or restyling a child window
    // may leave its old pixels on screen (the platform copies what it
    // thinks is still valid); this is how the window layer makes sure
    // nothing stale stays after a layout or a change of look.
    static void RepaintWhole(HWND window);

protected:
    HWND CreateOwnWindow(const wchar_t* className, UINT classStyle, DWORD exStyle, const wchar_t* name, DWORD style,
                         const RECT& rect, HWND parent, UINT_PTR id);
    HWND CreateSubclassed(const wchar_t* systemClass, DWORD exStyle, DWORD style, const RECT& rect, HWND parent,
                          UINT_PTR id);
    // Modeless; the dialog procedure is WindowProc with dialog semantics:
    // return TRUE for a handled message (a result goes to DWLP_MSGRESULT),
    // FALSE to let the dialog manager handle it. WM_INITDIALOG is the first
    // message WindowProc sees; its lParam is this object.
    HWND CreateDialogWindow(UINT templateId, HWND parent);
    // Returns the result given to EndDialog, or -1 when the dialog could
    // not be made.
    INT_PTR RunModalDialog(UINT templateId, HWND parent);
    // Ends a modal dialog; RunModalDialog returns result.
    BOOL EndDialog(INT_PTR result);

    // The switch over the messages a class handles; the base reflects
    // notifications and passes the rest to DefaultProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The platform's handling: the system control's own procedure for a
    // subclassed control, DefWindowProc for our own windows, FALSE for dialogs.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the last message (WM_NCDESTROY), with the window gone.
    virtual void OnFinalMessage() {}
    bool IsDialog() const { return m_bDialog; }

private:
    static LRESULT CALLBACK WindowThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Whether a message changes how a whole system control looks (its
    // style, font, colours or image lists) without its invalidating itself.
    static bool ChangesWholeLook(UINT message);
    static LRESULT Dispatch(CWindow* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);
    void Detach();

    HWND m_hWnd = nullptr;
    WNDPROC m_superProc = nullptr;
    bool m_bDialog = false;
};
