// The demo's receiver of the control's events, which prints each one as it arrives, and its connection to the control.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

// The control's event interface (_DWyFTPEvents in its type library).
extern const IID DIID_DWyFTPEvents;

// Lives on the host's stack for as long as it is advised, so it counts no references.
class DemoEventSink : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

private:
    int m_chunks = 0;
};

// Connects a sink to a control's events for as long as it lives.
class EventConnection {
public:
    EventConnection(IUnknown* control, IDispatch* sink, const IID& events = DIID_DWyFTPEvents);
    ~EventConnection();
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;

    bool IsConnected() const { return m_point != nullptr; }

private:
    Microsoft::WRL::ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};
