// Base of a property page: a child dialog whose controls are bound to properties of the objects it edits.
#pragma once
#include "framework/CmdTarget.h"
#include "framework/ParentFill.h"
#include "framework/Window.h"

#include <ocidl.h>

#include <set>
#include <string>
#include <vector>

class COlePropertyPage;

// One pass of data exchange: loading the controls from the objects' properties
// (Saving() false) or writing edited controls back to them (Saving() true).
class CDataExchange {
public:
    CDataExchange(COlePropertyPage& page, bool saving) : m_page(page), m_saving(saving) {}
    bool Saving() const { return m_saving; }
    COlePropertyPage& Page() const { return m_page; }

private:
    COlePropertyPage& m_page;
    bool m_saving;
};

// The page's window is a modeless child dialog made from the template on
// Activate and destroyed on Deactivate.
class COlePropertyPage : public CCmdTarget, public IPropertyPage, public CWindow {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return CCmdTarget::QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return CCmdTarget::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CCmdTarget::Release(); }

    // IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT position, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT position) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDirectory) override;
    STDMETHODIMP TranslateAccelerator(MSG* message) override;

    HWND GetDialog() const { return GetHwnd(); }

    // Exchange of one control with one field and one property. Loading reads
    // the property of the first object into the field and the field into the
    // control; saving reads the control into the field and, if the user
    // changed that control, writes the property of every object.
    void ExchangeCheck(CDataExchange& exchange, int controlId, BOOL& field, const wchar_t* property);
    void ExchangeText(CDataExchange& exchange, int controlId, std::string& field, const wchar_t* property);
    void ExchangeNumber(CDataExchange& exchange, int controlId, long& field, const wchar_t* property);
    void ExchangeListIndex(CDataExchange& exchange, int controlId, int& field, const wchar_t* property);

protected:
    COlePropertyPage(UINT templateId, UINT captionId);
    ~COlePropertyPage() override;

    HRESULT QueryOtherInterface(REFIID iid, void** object) override;
    void OnFinalRelease() override;

    virtual void DoDataExchange(CDataExchange& exchange) = 0;
    // After the dialog's controls exist and before the first exchange.
    virtual void OnInitDialog() {}
    // The Help button; true when the request was handled.
    virtual bool OnHelp(const wchar_t*) { return false; }
    virtual const wchar_t* GetDocString() const { return L""; }
    virtual const wchar_t* GetHelpFile() const override { return L""; }
    virtual DWORD GetHelpContext() const { return 0; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // An edit, click or selection in a control: true when it was one.
    bool OnCommand(WORD notification, int controlId);
    void OnControlChanged(int controlId);
    bool GetProperty(const wchar_t* property, VARIANT& value, VARTYPE type);
    void PutProperty(const wchar_t* property, VARIANT& value);
    bool IsControlChanged(int controlId) const { return m_changedControls.count(controlId) != 0; }

    UINT m_templateId;
    UINT m_captionId;
    ComPtr<IPropertyPageSite> m_site;
    std::vector<ComPtr<IDispatch>> m_objects;
    bool m_loading = false;
    std::set<int> m_changedControls;
    // Set while the page was given its container's whole client area.
    CParentFill m_fill;
};
