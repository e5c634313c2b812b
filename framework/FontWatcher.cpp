// Watches a font object for changes made through it (Font.Bold = True), which its holder must hear about.
#include "framework/FontWatcher.h"

void CFontWatcher::Watch(IUnknown* font)
{
    Stop();
    if (!font)
        return;
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(font->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Put())))
        || !container)
        return;
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.Put())) || !point)
        return;
    if (SUCCEEDED(point->Advise(this, &m_cookie)))
        m_point = std::move(point);
}

void CFontWatcher::Stop()
{
    if (!m_point)
        return;
    // Cleared first: the font may call back while it lets go of us.
    ComPtr<IConnectionPoint> point = std::move(m_point);
    point->Unadvise(m_cookie);
    m_cookie = 0;
}

STDMETHODIMP CFontWatcher::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IPropertyNotifySink) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IPropertyNotifySink*>(this);
    return S_OK;
}

STDMETHODIMP CFontWatcher::OnChanged(DISPID)
{
    if (m_onChanged)
        m_onChanged();
    return S_OK;
}
