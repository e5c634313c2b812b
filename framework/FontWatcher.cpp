// Watches a font object for changes made through it (Font.Bold = True), which its holder must hear about.
#include "framework/FontWatcher.h"

#include "framework/ComGuard.h"
#include "framework/ComObject.h"

#include <new>

class CFontWatcher::CSink final : public CComObject<IPropertyNotifySink, IID_IPropertyNotifySink> {
public:
    explicit CSink(std::function<void()> onChanged) : m_onChanged(std::move(onChanged)) {}

    // From now on changes go nowhere.
    void Forget() { m_onChanged = nullptr; }

    STDMETHODIMP OnChanged(DISPID) override
    {
        return GuardComCall([this] {
            // The holder may stop watching (and go) while it is told.
            ComPtr<IPropertyNotifySink> self(this);
            const std::function<void()> onChanged = m_onChanged;
            if (onChanged)
                onChanged();
            return S_OK;
        });
    }
    STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

private:
    std::function<void()> m_onChanged;
};

CFontWatcher::CFontWatcher(std::function<void()> onChanged) : m_onChanged(std::move(onChanged)) {}

CFontWatcher::~CFontWatcher()
{
    Stop();
}

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
    ComPtr<CSink> sink = ComPtr<CSink>::Attach(new (std::nothrow) CSink(m_onChanged));
    if (!sink || FAILED(point->Advise(sink.Get(), &m_cookie)))
        return;
    m_sink = std::move(sink);
    m_point = std::move(point);
}

void CFontWatcher::Stop()
{
    if (!m_sink)
        return;
    m_sink->Forget();
    // Cleared first: the font may call back while it lets go of the sink.
    ComPtr<IConnectionPoint> point = std::move(m_point);
    ComPtr<CSink> sink = std::move(m_sink);
    point->Unadvise(m_cookie);
    m_cookie = 0;
}
