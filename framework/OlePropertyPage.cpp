// Base of a property page: a child dialog whose controls are bound to properties of the objects it edits.
#include "framework/OlePropertyPage.h"

#include "framework/Bstr.h"
#include "framework/CodePage932.h"
#include "framework/ComGuard.h"
#include "framework/Module.h"

#include <olectl.h>

#include <cstdlib>

namespace {

LPOLESTR CoTaskString(const std::wstring& text)
{
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (copy)
        std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);
    return copy;
}

std::string ControlText(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return ToShiftJis(text);
}

// Marks the page as filling its own controls for as long as it lives,
// however that ends: their change notifications are not the user's edits.
class LoadingScope {
public:
    explicit LoadingScope(bool& loading) : m_loading(loading) { m_loading = true; }
    ~LoadingScope() { m_loading = false; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    bool& m_loading;
};

// A hidden instance of a page's template, made to read the size the
// template asks for. A page is a child dialog: it sits in a hidden window.
class CPageMeasure : public CWindow {
public:
    SIZE Measure(UINT templateId)
    {
        SIZE size = {0, 0};
        HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, ThisModule(), nullptr);
        if (!parent)
            return size;
        if (HWND page = CreateDialogWindow(templateId, parent)) {
            RECT rect;
            GetWindowRect(page, &rect);
            size = {rect.right - rect.left, rect.bottom - rect.top};
        }
        ::DestroyWindow(parent);  // and the page with it
        return size;
    }
};

}  // namespace

COlePropertyPage::COlePropertyPage(UINT templateId, UINT captionId) : m_templateId(templateId), m_captionId(captionId)
{
}

COlePropertyPage::~COlePropertyPage() = default;

void COlePropertyPage::OnFinalRelease()
{
    Deactivate();
    m_objects.clear();
    m_site.Reset();
    CCmdTarget::OnFinalRelease();
}

HRESULT COlePropertyPage::QueryOtherInterface(REFIID iid, void** object)
{
    if (iid != IID_IPropertyPage)
        return E_NOINTERFACE;
    *object = static_cast<IPropertyPage*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP COlePropertyPage::SetPageSite(IPropertyPageSite* site)
{
    m_site = ComPtr<IPropertyPageSite>(site);
    return S_OK;
}

LRESULT COlePropertyPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(HIWORD(wParam), LOWORD(wParam)))
            return TRUE;
        break;
    case WM_DESTROY:
        m_fill.Stop();
        break;
    }
    return CWindow::WindowProc(message, wParam, lParam);
}

bool COlePropertyPage::OnCommand(WORD notification, int controlId)
{
    switch (notification) {
    case EN_CHANGE:
    case BN_CLICKED:
    case CBN_SELCHANGE:
        OnControlChanged(controlId);
        return true;
    default:
        return false;
    }
}

STDMETHODIMP COlePropertyPage::Activate(HWND parent, LPCRECT position, BOOL)
{
    if (!position)
        return E_POINTER;
    if (GetHwnd())
        return E_UNEXPECTED;
    if (!CreateDialogWindow(m_templateId, parent))
        return E_OUTOFMEMORY;
    Move(position);
    return GuardComCall([&] {
        {
            LoadingScope loading(m_loading);
            OnInitDialog();
            CDataExchange exchange(*this, false);
            DoDataExchange(exchange);
        }
        m_changedControls.clear();
        return S_OK;
    });
}

STDMETHODIMP COlePropertyPage::Deactivate()
{
    DestroyWindow();
    return S_OK;
}

STDMETHODIMP COlePropertyPage::GetPageInfo(PROPPAGEINFO* info)
{
    if (!info)
        return E_POINTER;
    CPageMeasure measure;
    const SIZE size = measure.Measure(m_templateId);
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = CoTaskString(ToWide(LoadResourceString(m_captionId)));
    info->size = size;
    info->pszDocString = CoTaskString(GetDocString());
    info->pszHelpFile = CoTaskString(GetHelpFile());
    info->dwHelpContext = GetHelpContext();
    return S_OK;
}

STDMETHODIMP COlePropertyPage::SetObjects(ULONG count, IUnknown** objects)
{
    if (count > 0 && !objects)
        return E_POINTER;
    return GuardComCall([&] {
        std::vector<ComPtr<IDispatch>> dispatches;
        for (ULONG i = 0; i < count; ++i) {
            ComPtr<IDispatch> dispatch;
            if (!objects[i]
                || FAILED(objects[i]->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Put()))))
                return E_NOINTERFACE;
            dispatches.push_back(std::move(dispatch));
        }
        m_objects = std::move(dispatches);
        return S_OK;
    });
}

STDMETHODIMP COlePropertyPage::Show(UINT command)
{
    if (!GetHwnd())
        return E_UNEXPECTED;
    ShowWindow(GetHwnd(), static_cast<int>(command));
    return S_OK;
}

STDMETHODIMP COlePropertyPage::Move(LPCRECT position)
{
    if (!position)
        return E_POINTER;
    if (!GetHwnd())
        return E_UNEXPECTED;
    MoveWindow(GetHwnd(), position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
    // A page given the whole of its container keeps filling it: Wine's
    // frame activates a page at the size its container has before the frame
    // fits the container to the tab, and calls no Move after.
    RECT container = {};
    GetClientRect(GetParent(GetHwnd()), &container);
    if (EqualRect(position, &container))
        m_fill.Start(GetHwnd());
    else
        m_fill.Stop();
    return S_OK;
}

STDMETHODIMP COlePropertyPage::IsPageDirty()
{
    return m_changedControls.empty() ? S_FALSE : S_OK;
}

STDMETHODIMP COlePropertyPage::Apply()
{
    if (!GetHwnd() || m_changedControls.empty())
        return S_OK;
    return GuardComCall([&] {
        CDataExchange exchange(*this, true);
        DoDataExchange(exchange);
        // Reload, so the page shows what the objects really stored (their
        // setters may have refused or normalised a value).
        {
            LoadingScope loading(m_loading);
            CDataExchange reload(*this, false);
            DoDataExchange(reload);
        }
        m_changedControls.clear();
        if (m_site)
            m_site->OnStatusChange(PROPPAGESTATUS_CLEAN);
        return S_OK;
    });
}

STDMETHODIMP COlePropertyPage::Help(LPCOLESTR helpDirectory)
{
    return OnHelp(helpDirectory) ? S_OK : E_NOTIMPL;
}

STDMETHODIMP COlePropertyPage::TranslateAccelerator(MSG* message)
{
    if (!message)
        return E_POINTER;
    return GetHwnd() && IsDialogMessageW(GetHwnd(), message) ? S_OK : S_FALSE;
}

void COlePropertyPage::OnControlChanged(int controlId)
{
    if (m_loading)
        return;
    m_changedControls.insert(controlId);
    if (m_site)
        m_site->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

bool COlePropertyPage::GetProperty(const wchar_t* property, VARIANT& value, VARTYPE type)
{
    VariantInit(&value);
    if (m_objects.empty())
        return false;
    LPOLESTR name = const_cast<LPOLESTR>(property);
    DISPID id = DISPID_UNKNOWN;
    IDispatch* object = m_objects.front().Get();
    if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
        return false;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                              nullptr)))
        return false;
    if (FAILED(VariantChangeType(&value, &value, 0, type))) {
        VariantClear(&value);
        return false;
    }
    return true;
}

void COlePropertyPage::PutProperty(const wchar_t* property, VARIANT& value)
{
    LPOLESTR name = const_cast<LPOLESTR>(property);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    for (const ComPtr<IDispatch>& object : m_objects) {
        DISPID id = DISPID_UNKNOWN;
        if (SUCCEEDED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
            object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    }
    VariantClear(&value);
}

void COlePropertyPage::ExchangeCheck(CDataExchange& exchange, int controlId, BOOL& field, const wchar_t* property)
{
    if (!exchange.Saving()) {
        VARIANT value;
        if (GetProperty(property, value, VT_BOOL))
            field = value.boolVal != VARIANT_FALSE;
        CheckDlgButton(GetHwnd(), controlId, field ? BST_CHECKED : BST_UNCHECKED);
        return;
    }
    field = IsDlgButtonChecked(GetHwnd(), controlId) == BST_CHECKED;
    if (!IsControlChanged(controlId))
        return;
    VARIANT value;
    value.vt = VT_BOOL;
    value.boolVal = field ? VARIANT_TRUE : VARIANT_FALSE;
    PutProperty(property, value);
}

void COlePropertyPage::ExchangeText(CDataExchange& exchange, int controlId, std::string& field,
                                    const wchar_t* property)
{
    if (!exchange.Saving()) {
        VARIANT value;
        if (GetProperty(property, value, VT_BSTR)) {
            field = ShiftJisFromBstr(value.bstrVal);
            VariantClear(&value);
        }
        SetDlgItemTextW(GetHwnd(), controlId, ToWide(field).c_str());
        return;
    }
    field = ControlText(GetHwnd(), controlId);
    if (!IsControlChanged(controlId))
        return;
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = BstrFromShiftJis(field);
    PutProperty(property, value);
}

void COlePropertyPage::ExchangeNumber(CDataExchange& exchange, int controlId, long& field, const wchar_t* property)
{
    if (!exchange.Saving()) {
        VARIANT value;
        if (GetProperty(property, value, VT_I4))
            field = value.lVal;
        SetDlgItemTextW(GetHwnd(), controlId, std::to_wstring(field).c_str());
        return;
    }
    // Text that is no number counts as 0, which the control's setters refuse
    // where 0 is out of range.
    field = std::strtol(ControlText(GetHwnd(), controlId).c_str(), nullptr, 10);
    if (!IsControlChanged(controlId))
        return;
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = field;
    PutProperty(property, value);
}

void COlePropertyPage::ExchangeListIndex(CDataExchange& exchange, int controlId, int& field,
                                         const wchar_t* property)
{
    if (!exchange.Saving()) {
        VARIANT value;
        if (GetProperty(property, value, VT_I4))
            field = static_cast<int>(value.lVal);
        SendDlgItemMessageW(GetHwnd(), controlId, CB_SETCURSEL, static_cast<WPARAM>(field), 0);
        return;
    }
    field = static_cast<int>(SendDlgItemMessageW(GetHwnd(), controlId, CB_GETCURSEL, 0, 0));
    if (!IsControlChanged(controlId) || field < 0)
        return;
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = field;
    PutProperty(property, value);
}
