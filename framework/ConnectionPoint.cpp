// One connection point of a control: the sinks connected to one outgoing interface.
#include "framework/ConnectionPoint.h"

#include "framework/ComGuard.h"
#include "framework/OleEnumerators.h"

#include <olectl.h>

CConnectionPoint::CConnectionPoint(IConnectionPointContainer& container, const IID& iid)
    : m_container(container), m_iid(iid)
{
}

STDMETHODIMP CConnectionPoint::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint)
        return E_NOINTERFACE;
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CConnectionPoint::AddRef()
{
    return m_container.AddRef();
}

STDMETHODIMP_(ULONG) CConnectionPoint::Release()
{
    return m_container.Release();
}

STDMETHODIMP CConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

STDMETHODIMP CConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = &m_container;
    m_container.AddRef();
    return S_OK;
}

STDMETHODIMP CConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    ComPtr<IUnknown> connection;
    if (FAILED(sink->QueryInterface(m_iid, reinterpret_cast<void**>(connection.Put()))) || !connection)
        return CONNECT_E_CANNOTCONNECT;
    return GuardComCall([&] {
        m_sinks.emplace_back(m_nextCookie, std::move(connection));
        *cookie = m_nextCookie++;
        return S_OK;
    });
}

STDMETHODIMP CConnectionPoint::Unadvise(DWORD cookie)
{
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->first == cookie) {
            // Erase first: releasing the sink may call back into us.
            ComPtr<IUnknown> sink = std::move(it->second);
            m_sinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP CConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    if (!connections)
        return E_POINTER;
    *connections = CreateConnectionEnumerator(m_sinks);
    return *connections ? S_OK : E_OUTOFMEMORY;
}

bool CConnectionPoint::IsConnected(DWORD cookie) const
{
    for (const auto& entry : m_sinks) {
        if (entry.first == cookie)
            return true;
    }
    return false;
}
