// Base of an ActiveX control: the OLE interfaces every control needs, its window, persistence and events.
#pragma once
#include <windows.h>
#include "framework/CmdTarget.h"
#include "framework/ConnectionPoint.h"
#include "framework/FontWatcher.h"
#include "framework/PropExchange.h"
#include "framework/Window.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <utility>
#include <vector>

// A derived control supplies its class ID, event interface, property list
// (DoPropExchange), property pages and window behaviour. Everything runs on
// the host's user-interface thread.
class COleControl : public CCmdTarget,
                    public CWindow,
                    public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObject2,
                    public IPersistStreamInit,
                    public IPersistPropertyBag,
                    public IPersistStorage,
                    public IProvideClassInfo2,
                    public ISpecifyPropertyPages,
                    public IPerPropertyBrowsing,
                    public IConnectionPointContainer {
public:
    // IUnknown, shared by every interface of the object
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return CCmdTarget::QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return CCmdTarget::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CCmdTarget::Release(); }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* userType) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD connection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG message) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG*) override { return S_OK; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IViewObject, IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                      BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return E_NOTIMPL; }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag, IPersistStorage
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override { return m_bModified ? S_OK : S_FALSE; }
    STDMETHODIMP Load(IStream* stream) override;
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* errorLog) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    STDMETHODIMP InitNew(IStorage* storage) override;
    STDMETHODIMP Load(IStorage* storage) override;
    STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
    STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
    STDMETHODIMP HandsOffStorage() override { return S_OK; }

    // IProvideClassInfo, IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // IPerPropertyBrowsing
    STDMETHODIMP GetDisplayString(DISPID id, BSTR* text) override;
    STDMETHODIMP MapPropertyToPage(DISPID id, CLSID* page) override;
    STDMETHODIMP GetPredefinedStrings(DISPID id, CALPOLESTR* strings, CADWORD* cookies) override;
    STDMETHODIMP GetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // Stock properties, bound in the derived control's dispatch table.
    unsigned long GetBackColor() const { return m_clrStockBack; }
    void SetBackColor(unsigned long color);
    unsigned long GetForeColor() const { return m_clrStockFore; }
    void SetForeColor(unsigned long color);
    IDispatch* GetFont();
    void SetFont(const VARIANT& font);

    // The control's window: the in-place window, or a hidden one created on
    // first need when the host never activates the control.
    HWND EnsureWindow();
    // A system colour value (0x800000nn) becomes the real colour.
    static COLORREF TranslateColor(OLE_COLOR color);

protected:
    explicit COleControl(const IID& eventIid);
    ~COleControl() override;

    virtual const CLSID& GetClassId() const = 0;
    virtual const IID& GetEventIid() const = 0;
    // The control's own persisted properties, after the stock ones.
    virtual void DoPropExchange(CPropExchange& exchange) = 0;
    // After properties were loaded or reset: bring the window up to date.
    virtual void OnPropertiesLoaded() {}
    virtual std::vector<CLSID> GetPropertyPageIds() const { return {}; }
    virtual UINT GetUserTypeNameId() const = 0;
    // The menu text of the Properties verb, a string resource.
    virtual UINT GetPropertiesVerbNameId() const = 0;
    virtual DWORD GetMiscStatusBits() const = 0;

    // Property browsers: display strings and predefined values of enumerated properties.
    virtual bool OnGetDisplayString(DISPID, std::string&) { return false; }
    virtual bool OnGetPredefinedStrings(DISPID, std::vector<std::pair<std::string, DWORD>>&) { return false; }
    virtual bool OnGetPredefinedValue(DISPID, DWORD, VARIANT*) { return false; }

    virtual void OnBackColorChanged() {}
    virtual void OnForeColorChanged() {}

    // Window behaviour.
    virtual bool OnCreate() { return true; }
    virtual void OnSize(int, int) {}
    virtual void OnDestroy() {}
    // The control's window got the focus (the container activated it): a
    // control made of child windows passes it on to one of them.
    virtual void OnSetFocus() {}
    // A timer of the control's window (SetTimer with its id) went off.
    virtual void OnTimer(UINT_PTR) {}
    virtual void OnDraw(HDC dc, const RECT& bounds);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Fires an event to every connected sink; args in declaration order.
    // Nothing is fired while the container has frozen events.
    void FireEvent(DISPID id, VARIANT* args = nullptr, UINT count = 0);
    // The stock Error event; shows a message box unless a sink cancels it.
    void FireError(SCODE scode, const std::string& description, UINT helpContext);
    // Raises an automation error from the method being invoked.
    [[noreturn]] void ThrowError(SCODE scode, const std::string& description, UINT helpContext = 0);

    // Announces a stored property change to IPropertyNotifySink sinks.
    void BoundPropertyChanged(DISPID id);
    void SetModifiedFlag(bool modified = true);

    // The window and the connections go before the object.
    void OnFinalRelease() override;
    HRESULT QueryOtherInterface(REFIID iid, void** object) override;

private:
    HWND CreateControlWindow(HWND parent, const RECT& position, bool child);
    void DestroyControlWindow();
    HRESULT InPlaceActivate(LONG verb);
    void UIActivate();
    void ShowPropertyFrame(HWND parent);
    void ExchangeAll(CPropExchange& exchange);
    HRESULT LoadWith(CPropExchange& exchange, bool streamed);
    HRESULT Persist(CPropExchange& exchange);
    void ExchangeFont(CPropExchange& exchange);
    // Makes font the stock font and watches it for changes made through it.
    void AttachFont(ComPtr<IFontDisp> font);
    // A change made through the font object: announced and saved like a new font.
    void OnFontChanged();
    void ViewChanged();

    ComPtr<IOleClientSite> m_clientSite;
    ComPtr<IOleInPlaceSite> m_inPlaceSite;
    ComPtr<IOleAdviseHolder> m_adviseHolder;
    ComPtr<IAdviseSink> m_viewAdviseSink;
    DWORD m_viewAdviseAspects = 0;
    DWORD m_viewAdviseFlags = 0;
    CConnectionPoint m_eventPoint;
    CConnectionPoint m_propertyNotifyPoint;
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
    bool m_bModified = false;
    int m_freezeEvents = 0;
    SIZEL m_extent;  // HIMETRIC
    OLE_COLOR m_clrStockBack = 0x80000005;  // COLOR_WINDOW
    OLE_COLOR m_clrStockFore = 0x80000008;  // COLOR_WINDOWTEXT
    ComPtr<IFontDisp> m_font;
    CFontWatcher m_fontWatcher;
};
