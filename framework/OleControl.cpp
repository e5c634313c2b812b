// Base of an ActiveX control: object identity, IOleObject, events and stock properties.
#include "framework/OleControl.h"

#include "framework/CodePage932.h"
#include "framework/ComGuard.h"
#include "framework/OleDispatchException.h"
#include "framework/OleEnumerators.h"

#include <olectl.h>

#include <algorithm>

namespace {

// 8 x 5 cm: the size a container gives a new control until it sets one.
constexpr SIZEL kDefaultExtent = {8000, 5000};

}  // namespace

COleControl::COleControl(const IID& eventIid)
    : m_eventPoint(*this, eventIid),
      m_propertyNotifyPoint(*this, IID_IPropertyNotifySink),
      m_extent(kDefaultExtent),
      m_fontWatcher([this] { OnFontChanged(); })
{
}

COleControl::~COleControl() = default;

void COleControl::OnFinalRelease()
{
    m_fontWatcher.Stop();
    DestroyControlWindow();
    m_eventPoint.Clear();
    m_propertyNotifyPoint.Clear();
    m_inPlaceSite.Reset();
    m_clientSite.Reset();
    m_adviseHolder.Reset();
    m_viewAdviseSink.Reset();
    CCmdTarget::OnFinalRelease();
}

HRESULT COleControl::QueryOtherInterface(REFIID iid, void** object)
{
    void* found = nullptr;
    if (iid == IID_IOleObject)
        found = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        found = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        found = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IOleControl)
        found = static_cast<IOleControl*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
        found = static_cast<IViewObject2*>(this);
    // IPersistStreamInit begins with the methods of IPersistStream, in order.
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit || iid == IID_IPersistStream)
        found = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IPersistPropertyBag)
        found = static_cast<IPersistPropertyBag*>(this);
    else if (iid == IID_IPersistStorage)
        found = static_cast<IPersistStorage*>(this);
    else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        found = static_cast<IProvideClassInfo2*>(this);
    else if (iid == IID_ISpecifyPropertyPages)
        found = static_cast<ISpecifyPropertyPages*>(this);
    else if (iid == IID_IPerPropertyBrowsing)
        found = static_cast<IPerPropertyBrowsing*>(this);
    else if (iid == IID_IConnectionPointContainer)
        found = static_cast<IConnectionPointContainer*>(this);
    if (!found)
        return E_NOINTERFACE;
    *object = found;
    AddRef();
    return S_OK;
}

// IOleObject

STDMETHODIMP COleControl::SetClientSite(IOleClientSite* site)
{
    if (!site && m_inPlaceActive)
        InPlaceDeactivate();
    m_clientSite = ComPtr<IOleClientSite>(site);
    return S_OK;
}

STDMETHODIMP COleControl::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = m_clientSite.Get();
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP COleControl::Close(DWORD saveOption)
{
    // A container that asks for it gets the chance to save a changed control.
    if (m_bModified && m_clientSite
        && (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE)) {
        const HRESULT saved = m_clientSite->SaveObject();
        if (saveOption == OLECLOSE_PROMPTSAVE && FAILED(saved))
            return OLE_E_PROMPTSAVECANCELLED;
    }
    InPlaceDeactivate();
    if (m_adviseHolder)
        m_adviseHolder->SendOnClose();
    return S_OK;
}

STDMETHODIMP COleControl::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControl::GetClipboardData(DWORD, IDataObject** data)
{
    if (data)
        *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT)
{
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        if (site && !m_clientSite)
            m_clientSite = ComPtr<IOleClientSite>(site);
        return InPlaceActivate(verb);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (GetHwnd())
            ShowWindow(GetHwnd(), SW_HIDE);
        return S_OK;
    case OLEIVERB_PROPERTIES:
        return GuardComCall([&] {
            ShowPropertyFrame(parent);
            return S_OK;
        });
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

STDMETHODIMP COleControl::EnumVerbs(IEnumOLEVERB** verbs)
{
    if (!verbs)
        return E_POINTER;
    // The standard verbs need no listing; the Properties verb shows the
    // control's property pages.
    *verbs = nullptr;
    return GuardComCall([&] {
        COleVerbEntry properties = {{OLEIVERB_PROPERTIES, nullptr, MF_ENABLED, OLEVERBATTRIB_ONCONTAINERMENU},
                                    ToWide(LoadResourceString(GetPropertiesVerbNameId()))};
        *verbs = CreateVerbEnumerator({std::move(properties)});
        return *verbs ? S_OK : E_OUTOFMEMORY;
    });
}

STDMETHODIMP COleControl::GetUserClassID(CLSID* clsid)
{
    return GetClassID(clsid);
}

STDMETHODIMP COleControl::GetUserType(DWORD form, LPOLESTR* userType)
{
    if (!userType)
        return E_POINTER;
    if (SUCCEEDED(OleRegGetUserType(GetClassId(), form, userType)))
        return S_OK;
    *userType = nullptr;
    return GuardComCall([&] {
        const std::wstring name = ToWide(LoadResourceString(GetUserTypeNameId()));
        *userType = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(wchar_t)));
        if (!*userType)
            return E_OUTOFMEMORY;
        std::copy(name.c_str(), name.c_str() + name.size() + 1, *userType);
        return S_OK;
    });
}

STDMETHODIMP COleControl::SetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    m_extent = *size;
    return S_OK;
}

STDMETHODIMP COleControl::GetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    *size = m_extent;
    return S_OK;
}

STDMETHODIMP COleControl::Advise(IAdviseSink* sink, DWORD* connection)
{
    if (!connection)
        return E_POINTER;
    *connection = 0;
    if (!m_adviseHolder && FAILED(CreateOleAdviseHolder(m_adviseHolder.Put())))
        return E_OUTOFMEMORY;
    return m_adviseHolder->Advise(sink, connection);
}

STDMETHODIMP COleControl::Unadvise(DWORD connection)
{
    return m_adviseHolder ? m_adviseHolder->Unadvise(connection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP COleControl::EnumAdvise(IEnumSTATDATA** advise)
{
    if (!advise)
        return E_POINTER;
    *advise = nullptr;
    // Without an advise yet, the holder made now answers with an empty list.
    if (!m_adviseHolder && FAILED(CreateOleAdviseHolder(m_adviseHolder.Put())))
        return E_OUTOFMEMORY;
    return m_adviseHolder->EnumAdvise(advise);
}

STDMETHODIMP COleControl::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = GetMiscStatusBits();
    return S_OK;
}

// IOleControl

STDMETHODIMP COleControl::GetControlInfo(CONTROLINFO* info)
{
    if (!info)
        return E_POINTER;
    info->cb = sizeof(CONTROLINFO);
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP COleControl::FreezeEvents(BOOL freeze)
{
    if (freeze)
        ++m_freezeEvents;
    else if (m_freezeEvents > 0)
        --m_freezeEvents;
    return S_OK;
}

// IProvideClassInfo2

STDMETHODIMP COleControl::GetClassInfo(ITypeInfo** info)
{
    return GetTypeInfoOf(GetTypeLibraryId(), GetClassId(), info);
}

STDMETHODIMP COleControl::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid)
        return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = m_eventPoint.Iid();
    return S_OK;
}

// ISpecifyPropertyPages

STDMETHODIMP COleControl::GetPages(CAUUID* pages)
{
    if (!pages)
        return E_POINTER;
    *pages = CAUUID{};
    return GuardComCall([&] {
        const std::vector<CLSID> ids = GetPropertyPageIds();
        pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(std::max<size_t>(ids.size(), 1) * sizeof(GUID)));
        if (!pages->pElems)
            return E_OUTOFMEMORY;
        std::copy(ids.begin(), ids.end(), pages->pElems);
        pages->cElems = static_cast<ULONG>(ids.size());
        return S_OK;
    });
}

// IPerPropertyBrowsing

STDMETHODIMP COleControl::GetDisplayString(DISPID id, BSTR* text)
{
    if (!text)
        return E_POINTER;
    *text = nullptr;
    return GuardComCall([&] {
        std::string display;
        if (!OnGetDisplayString(id, display))
            return S_FALSE;
        // A value without a display string is reported as handled, with no text.
        if (!display.empty())
            *text = BstrFromShiftJis(display);
        return S_OK;
    });
}

STDMETHODIMP COleControl::MapPropertyToPage(DISPID, CLSID* page)
{
    if (!page)
        return E_POINTER;
    *page = CLSID_NULL;
    return PERPROP_E_NOPAGEAVAILABLE;
}

STDMETHODIMP COleControl::GetPredefinedStrings(DISPID id, CALPOLESTR* strings, CADWORD* cookies)
{
    if (!strings || !cookies)
        return E_POINTER;
    *strings = CALPOLESTR{};
    *cookies = CADWORD{};
    return GuardComCall([&] {
        std::vector<std::pair<std::string, DWORD>> predefined;
        if (!OnGetPredefinedStrings(id, predefined))
            return E_NOTIMPL;
        // Everything that may throw comes before the caller's memory is taken.
        std::vector<std::wstring> wide;
        for (const auto& entry : predefined)
            wide.push_back(ToWide(entry.first));
        const size_t count = predefined.size();
        auto* texts = static_cast<LPOLESTR*>(CoTaskMemAlloc(std::max<size_t>(count, 1) * sizeof(LPOLESTR)));
        auto* values = static_cast<DWORD*>(CoTaskMemAlloc(std::max<size_t>(count, 1) * sizeof(DWORD)));
        if (!texts || !values) {
            CoTaskMemFree(texts);
            CoTaskMemFree(values);
            return E_OUTOFMEMORY;
        }
        for (size_t i = 0; i < count; ++i) {
            texts[i] = static_cast<LPOLESTR>(CoTaskMemAlloc((wide[i].size() + 1) * sizeof(wchar_t)));
            if (texts[i])
                std::copy(wide[i].c_str(), wide[i].c_str() + wide[i].size() + 1, texts[i]);
            values[i] = predefined[i].second;
        }
        *strings = CALPOLESTR{static_cast<ULONG>(count), texts};
        *cookies = CADWORD{static_cast<ULONG>(count), values};
        return S_OK;
    });
}

STDMETHODIMP COleControl::GetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value)
{
    if (!value)
        return E_POINTER;
    VariantInit(value);
    return OnGetPredefinedValue(id, cookie, value) ? S_OK : E_NOTIMPL;
}

// IConnectionPointContainer

STDMETHODIMP COleControl::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (!points)
        return E_POINTER;
    *points = nullptr;
    return GuardComCall([&] {
        *points = CreateConnectionPointEnumerator({ComPtr<IConnectionPoint>(&m_eventPoint),
                                                   ComPtr<IConnectionPoint>(&m_propertyNotifyPoint)});
        return *points ? S_OK : E_OUTOFMEMORY;
    });
}

STDMETHODIMP COleControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (iid == m_eventPoint.Iid())
        *point = &m_eventPoint;
    else if (iid == IID_IPropertyNotifySink)
        *point = &m_propertyNotifyPoint;
    else
        return CONNECT_E_NOCONNECTION;
    (*point)->AddRef();
    return S_OK;
}

// Events and notifications

void COleControl::FireEvent(DISPID id, VARIANT* args, UINT count)
{
    if (m_freezeEvents > 0)
        return;
    // DISPPARAMS carries the arguments last to first.
    std::vector<VARIANT> reversed(args, args + count);
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params = {reversed.data(), nullptr, count, 0};
    // The sinks and the control stay alive while they are called, whatever
    // the handlers do.
    ComPtr<IDispatch> self(static_cast<IDispatch*>(this));
    m_eventPoint.ForEachSink([&](IUnknown* sink) {
        static_cast<IDispatch*>(sink)->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                              nullptr, nullptr);
    });
}

void COleControl::FireError(SCODE scode, const std::string& description, UINT helpContext)
{
    CBstr text = CBstr::Attach(BstrFromShiftJis(description));
    CBstr source(GetErrorSource());
    CBstr helpFile(helpContext != 0 ? GetHelpFile() : L"");
    BSTR textValue = text.Detach();
    VARIANT_BOOL cancelDisplay = VARIANT_FALSE;
    VARIANT args[7];
    args[0].vt = VT_I2;
    args[0].iVal = static_cast<SHORT>(scode & 0xFFFF);
    args[1].vt = VT_BSTR | VT_BYREF;
    args[1].pbstrVal = &textValue;
    args[2].vt = VT_I4;
    args[2].lVal = scode;
    args[3].vt = VT_BSTR;
    args[3].bstrVal = source.Get();
    args[4].vt = VT_BSTR;
    args[4].bstrVal = helpFile.Get();
    args[5].vt = VT_I4;
    args[5].lVal = static_cast<LONG>(helpContext);
    args[6].vt = VT_BOOL | VT_BYREF;
    args[6].pboolVal = &cancelDisplay;
    FireEvent(DISPID_ERROREVENT, args, 7);
    // A sink may have replaced the description.
    text = CBstr::Attach(textValue);
    if (cancelDisplay == VARIANT_FALSE)
        MessageBoxW(GetHwnd(), text.Get() ? text.Get() : L"", GetErrorSource(), MB_OK | MB_ICONEXCLAMATION);
}

void COleControl::ThrowError(SCODE scode, const std::string& description, UINT helpContext)
{
    throw COleDispatchException(scode, description, helpContext);
}

void COleControl::BoundPropertyChanged(DISPID id)
{
    ComPtr<IDispatch> self(static_cast<IDispatch*>(this));
    m_propertyNotifyPoint.ForEachSink(
        [id](IUnknown* sink) { static_cast<IPropertyNotifySink*>(sink)->OnChanged(id); });
}

void COleControl::SetModifiedFlag(bool modified)
{
    m_bModified = modified;
}

// Stock properties

void COleControl::SetBackColor(unsigned long color)
{
    if (color == m_clrStockBack)
        return;
    m_clrStockBack = color;
    OnBackColorChanged();
    BoundPropertyChanged(DISPID_BACKCOLOR);
    SetModifiedFlag();
    ViewChanged();
}

void COleControl::SetForeColor(unsigned long color)
{
    if (color == m_clrStockFore)
        return;
    m_clrStockFore = color;
    OnForeColorChanged();
    BoundPropertyChanged(DISPID_FORECOLOR);
    SetModifiedFlag();
    ViewChanged();
}

IDispatch* COleControl::GetFont()
{
    if (!m_font) {
        FONTDESC description = {sizeof(FONTDESC), const_cast<LPOLESTR>(L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"),
                                {{90000, 0}}, FW_NORMAL, SHIFTJIS_CHARSET, FALSE, FALSE, FALSE};
        ComPtr<IFontDisp> font;
        OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(font.Put()));
        AttachFont(std::move(font));
    }
    if (m_font)
        m_font->AddRef();
    return m_font.Get();
}

void COleControl::AttachFont(ComPtr<IFontDisp> font)
{
    m_font = std::move(font);
    m_fontWatcher.Watch(m_font.Get());
}

void COleControl::OnFontChanged()
{
    // A notified sink may release the control: it stays until we are done.
    ComPtr<IDispatch> self(static_cast<IDispatch*>(this));
    BoundPropertyChanged(DISPID_FONT);
    SetModifiedFlag();
    ViewChanged();
}

void COleControl::SetFont(const VARIANT& font)
{
    IUnknown* unknown = nullptr;
    if (font.vt == VT_DISPATCH)
        unknown = font.pdispVal;
    else if (font.vt == VT_UNKNOWN)
        unknown = font.punkVal;
    ComPtr<IFont> source;
    if (!unknown || FAILED(unknown->QueryInterface(IID_IFont, reinterpret_cast<void**>(source.Put()))))
        ThrowError(CTL_E_INVALIDPROPERTYVALUE, "Font");
    // Keep a copy: the caller may go on changing its own font object.
    ComPtr<IFont> copy;
    if (FAILED(source->Clone(copy.Put())))
        ThrowError(E_OUTOFMEMORY, "Font");
    AttachFont(copy.As<IFontDisp>(IID_IFontDisp));
    OnFontChanged();
}

COLORREF COleControl::TranslateColor(OLE_COLOR color)
{
    COLORREF translated = 0;
    if (FAILED(OleTranslateColor(color, nullptr, &translated)))
        return GetSysColor(COLOR_WINDOW);
    return translated;
}

void COleControl::ViewChanged()
{
    if (GetHwnd())
        InvalidateRect(GetHwnd(), nullptr, TRUE);
    if (m_viewAdviseSink)
        m_viewAdviseSink->OnViewChange(DVASPECT_CONTENT, -1);
}
