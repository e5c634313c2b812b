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
    // Calls call(sink) for each sink, as the connection's interface. The
    // sinks are those connected when the call starts, less any that a
    // handler disconnects meanwhile: a disconnected sink hears no more.
    template <typename Call>
    void ForEachSink(Call call) const
    {
        const std::vector<std::pair<DWORD, ComPtr<IUnknown>>> snapshot = m_sinks;
        for (const auto& [cookie, sink] : snapshot) {
            if (IsConnected(cookie))
                call(sink.Get());
        }
    }
    // Drops every connection (when the control goes away). A sink released
    // here may call Unadvise: the list is emptied before any is released.
    void Clear()
    {
        std::vector<std::pair<DWORD, ComPtr<IUnknown>>> released;
        released.swap(m_sinks);
    }

private:
    bool IsConnected(DWORD cookie) const;

    IConnectionPointContainer& m_container;
    IID m_iid;
    DWORD m_nextCookie = 1;
    std::vector<std::pair<DWORD, ComPtr<IUnknown>>> m_sinks;
};
