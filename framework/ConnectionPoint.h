// One connection point of a control: the sinks connected to one outgoing interface.
#pragma once
#include <windows.h>
#include "framework/ComPtr.h"

#include <ocidl.h>

#include <utility>
#include <vector>

// Lives inside its container object and shares its reference count.
class CConnectionPoint : public IConnectionPoint {
public:
    CConnectionPoint(IConnectionPointContainer& container, const IID& iid);
    CConnectionPoint(const CConnectionPoint&) = delete;
    CConnectionPoint& operator=(const CConnectionPoint&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

    const IID& Iid() const { return m_iid; }
    // A snapshot of the connected sinks, each as the connection's interface;
    // a sink may disconnect while it is being called.
    std::vector<ComPtr<IUnknown>> Sinks() const;
    // Drops every connection (when the control goes away).
    void Clear() { m_sinks.clear(); }

private:
    IConnectionPointContainer& m_container;
    IID m_iid;
    DWORD m_nextCookie = 1;
    std::vector<std::pair<DWORD, ComPtr<IUnknown>>> m_sinks;
};
