// Base of an ActiveX control: its window, in-place activation, keyboard and drawing.
#include "framework/OleControl.h"

#include "framework/CodePage932.h"
#include "framework/Gdi.h"

#include <windowsx.h>

namespace {

constexpr wchar_t kWindowClass[] = L"WyFTPControlWindow";

bool IsWithin(HWND window, HWND ancestor)
{
    return window == ancestor || (ancestor && IsChild(ancestor, window));
}

// Keys the explorer views handle themselves; a container would otherwise use
// them for its own navigation.
bool IsViewKey(WPARAM key)
{
    switch (key) {
    case VK_DELETE: case VK_F2: case VK_RETURN:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        return true;
    default:
        return false;
    }
}

// The frame, document window and rectangles a site gives its in-place object.
struct SiteContext {
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position = {};
    RECT clip = {};
};

SiteContext GetSiteContext(IOleInPlaceSite& site)
{
    SiteContext context;
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof(frameInfo);
    site.GetWindowContext(context.frame.Put(), context.document.Put(), &context.position, &context.clip, &frameInfo);
    return context;
}

}  // namespace

LRESULT COleControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_SIZE:
        OnSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers everything
    case WM_PAINT: {
        CPaintDC dc(GetHwnd());
        RECT client;
        GetClientRect(GetHwnd(), &client);
        OnDraw(dc.Get(), client);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        if (m_inPlaceActive && !m_uiActive)
            UIActivate();
        break;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    }
    return CWindow::WindowProc(message, wParam, lParam);
}

void COleControl::OnDraw(HDC dc, const RECT& bounds)
{
    HBRUSH brush = CreateSolidBrush(TranslateColor(GetBackColor()));
    FillRect(dc, &bounds, brush);
    DeleteObject(brush);
}

HWND COleControl::CreateControlWindow(HWND parent, const RECT& position, bool child)
{
    const DWORD style = (child ? WS_CHILD : WS_POPUP) | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    return CreateOwnWindow(kWindowClass, CS_DBLCLKS, 0, L"", style, position, parent, 0);
}

HWND COleControl::EnsureWindow()
{
    if (!GetHwnd()) {
        // Never shown: the host uses the control from a script without a site.
        const RECT position = {0, 0, 400, 300};
        CreateControlWindow(nullptr, position, false);
    }
    return GetHwnd();
}

void COleControl::DestroyControlWindow()
{
    DestroyWindow();
}

HRESULT COleControl::InPlaceActivate(LONG verb)
{
    if (!m_clientSite)
        return E_UNEXPECTED;
    if (!m_inPlaceActive) {
        ComPtr<IOleInPlaceSite> site = m_clientSite.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
        if (!site)
            return E_NOINTERFACE;
        if (site->CanInPlaceActivate() != S_OK)
            return E_FAIL;
        m_inPlaceSite = site;
        m_inPlaceSite->OnInPlaceActivate();
        m_inPlaceActive = true;

        HWND parent = nullptr;
        m_inPlaceSite->GetWindow(&parent);
        const SiteContext context = GetSiteContext(*m_inPlaceSite.Get());
        if (GetHwnd()) {
            // The hidden window of a site-less start moves into the container.
            SetWindowLongPtrW(GetHwnd(), GWL_STYLE, (GetWindowLongPtrW(GetHwnd(), GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
            SetParent(GetHwnd(), parent);
            SetObjectRects(&context.position, &context.clip);
        } else if (!CreateControlWindow(parent, context.position, true)) {
            m_inPlaceActive = false;
            m_inPlaceSite->OnInPlaceDeactivate();
            m_inPlaceSite.Reset();
            return E_FAIL;
        }
    }
    // Also after a HIDE verb, which leaves the control in-place active.
    if (!IsWindowVisible(GetHwnd()))
        ShowWindow(GetHwnd(), SW_SHOW);
    if (verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY)
        UIActivate();
    return S_OK;
}

void COleControl::UIActivate()
{
    if (m_uiActive || !m_inPlaceSite)
        return;
    m_uiActive = true;
    m_inPlaceSite->OnUIActivate();
    const SiteContext context = GetSiteContext(*m_inPlaceSite.Get());
    auto* active = static_cast<IOleInPlaceActiveObject*>(this);
    if (context.frame)
        context.frame->SetActiveObject(active, nullptr);
    if (context.document)
        context.document->SetActiveObject(active, nullptr);
    if (GetHwnd() && !IsWithin(GetFocus(), GetHwnd()))
        SetFocus(GetHwnd());
}

STDMETHODIMP COleControl::UIDeactivate()
{
    if (!m_uiActive)
        return S_OK;
    m_uiActive = false;
    if (m_inPlaceSite) {
        const SiteContext context = GetSiteContext(*m_inPlaceSite.Get());
        if (context.frame)
            context.frame->SetActiveObject(nullptr, nullptr);
        if (context.document)
            context.document->SetActiveObject(nullptr, nullptr);
        m_inPlaceSite->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

STDMETHODIMP COleControl::InPlaceDeactivate()
{
    if (!m_inPlaceActive)
        return S_OK;
    UIDeactivate();
    m_inPlaceActive = false;
    DestroyControlWindow();
    if (m_inPlaceSite) {
        ComPtr<IOleInPlaceSite> site = std::move(m_inPlaceSite);
        site->OnInPlaceDeactivate();
    }
    return S_OK;
}

STDMETHODIMP COleControl::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = GetHwnd();
    return GetHwnd() ? S_OK : E_FAIL;
}

STDMETHODIMP COleControl::SetObjectRects(LPCRECT position, LPCRECT)
{
    if (!position)
        return E_POINTER;
    if (GetHwnd()) {
        MoveWindow(GetHwnd(), position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    }
    return S_OK;
}

STDMETHODIMP COleControl::TranslateAccelerator(LPMSG message)
{
    if (!message || !GetHwnd())
        return S_FALSE;
    if ((message->message == WM_KEYDOWN || message->message == WM_KEYUP) && IsViewKey(message->wParam)
        && IsWithin(message->hwnd, GetHwnd())) {
        TranslateMessage(message);
        DispatchMessageW(message);
        return S_OK;
    }
    return S_FALSE;
}

// IViewObject2

STDMETHODIMP COleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                               BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!dc || !bounds)
        return E_INVALIDARG;
    const RECT rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    OnDraw(dc, rect);
    return S_OK;
}

STDMETHODIMP COleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    m_viewAdviseAspects = aspects;
    m_viewAdviseFlags = flags;
    m_viewAdviseSink = ComPtr<IAdviseSink>(sink);
    return S_OK;
}

STDMETHODIMP COleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    if (aspects)
        *aspects = m_viewAdviseAspects;
    if (flags)
        *flags = m_viewAdviseFlags;
    if (sink) {
        *sink = m_viewAdviseSink.Get();
        if (*sink)
            (*sink)->AddRef();
    }
    return S_OK;
}

STDMETHODIMP COleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    return GetExtent(aspect, size);
}

void COleControl::ShowPropertyFrame(HWND parent)
{
    const std::vector<CLSID> pages = GetPropertyPageIds();
    if (pages.empty())
        return;
    IUnknown* self = static_cast<IDispatch*>(this);
    // The frame's title names the object ("WyFTP Control のプロパティ"); without
    // a name Wine shows its format string as it is.
    const std::wstring name = ToWide(LoadResourceString(GetUserTypeNameId()));
    OleCreatePropertyFrame(parent ? parent : GetHwnd(), 0, 0, name.c_str(), 1, &self,
                           static_cast<ULONG>(pages.size()), const_cast<CLSID*>(pages.data()), LOCALE_USER_DEFAULT, 0,
                           nullptr);
}
