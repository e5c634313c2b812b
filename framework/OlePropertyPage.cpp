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

INT_PTR CALLBACK COlePropertyPage::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return FALSE;
    }
    auto* page = reinterpret_cast<COlePropertyPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!page || message != WM_COMMAND)
        return FALSE;
    switch (HIWORD(wParam)) {
    case EN_CHANGE:
    case BN_CLICKED:
    case CBN_SELCHANGE:
        page->OnControlChanged(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

HWND COlePropertyPage::CreatePageDialog(HWND parent)
{
    return CreateDialogParamW(ThisModule(), MAKEINTRESOURCEW(m_templateId), parent, &COlePropertyPage::DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

STDMETHODIMP COlePropertyPage::Activate(HWND parent, LPCRECT position, BOOL)
{
    if (!position)
        return E_POINTER;
    if (m_dialog)
        return E_UNEXPECTED;
    m_dialog = CreatePageDialog(parent);
    if (!m_dialog)
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
    if (m_dialog) {
        DestroyWindow(m_dialog);
        m_dialog = nullptr;
    }
    return S_OK;
}

STDMETHODIMP COlePropertyPage::GetPageInfo(PROPPAGEINFO* info)
{
    if (!info)
        return E_POINTER;
    // The size the template asks for, measured on a hidden instance inside
    // a hidden window (a page is a child dialog).
    SIZE size = {0, 0};
    if (HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, ThisModule(),
                                      nullptr)) {
        if (HWND measure = CreatePageDialog(parent)) {
            RECT rect;
            GetWindowRect(measure, &rect);
            size = {rect.right - rect.left, rect.bottom - rect.top};
        }
        DestroyWindow(parent);
    }
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
    if (!m_dialog)
        return E_UNEXPECTED;
    ShowWindow(m_dialog, static_cast<int>(command));
    return S_OK;
}

STDMETHODIMP COlePropertyPage::Move(LPCRECT position)
{
    if (!position)
        return E_POINTER;
    if (!m_dialog)
        return E_UNEXPECTED;
    MoveWindow(m_dialog, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
    return S_OK;
}

STDMETHODIMP COlePropertyPage::IsPageDirty()
{
    return m_changedControls.empty() ? S_FALSE : S_OK;
}

STDMETHODIMP COlePropertyPage::Apply()
{
    if (!m_dialog || m_changedControls.empty())
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
    return m_dialog && IsDialogMessageW(m_dialog, message) ? S_OK : S_FALSE;
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
        CheckDlgButton(m_dialog, controlId, field ? BST_CHECKED : BST_UNCHECKED);
        return;
    }
    field = IsDlgButtonChecked(m_dialog, controlId) == BST_CHECKED;
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
        SetDlgItemTextW(m_dialog, controlId, ToWide(field).c_str());
        return;
    }
    field = ControlText(m_dialog, controlId);
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
        SetDlgItemTextW(m_dialog, controlId, std::to_wstring(field).c_str());
        return;
    }
    // Text that is no number counts as 0, which the control's setters refuse
    // where 0 is out of range.
    field = std::strtol(ControlText(m_dialog, controlId).c_str(), nullptr, 10);
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
        SendDlgItemMessageW(m_dialog, controlId, CB_SETCURSEL, static_cast<WPARAM>(field), 0);
        return;
    }
    field = static_cast<int>(SendDlgItemMessageW(m_dialog, controlId, CB_GETCURSEL, 0, 0));
    if (!IsControlChanged(controlId) || field < 0)
        return;
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = field;
    PutProperty(property, value);
}
