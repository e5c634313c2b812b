// Watches a font object for changes made through it (Font.Bold = True), which its holder must hear about.
#include "framework/FontWatcher.h"

#include "framework/ComGuard.h"
#include "framework/ComModule.h"

#include <new>

class CFontWatcher::CSink final : public IPropertyNotifySink {
public:
    explicit CSink(std::function<void()> onChanged) : m_onChanged(std::move(onChanged)) { ComModule::AddObject(); }
    CSink(const CSink&) = delete;
    CSink& operator=(const CSink&) = delete;

    // From now on changes go nowhere.
    void Forget() { m_onChanged = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IPropertyNotifySink)
            return E_NOINTERFACE;
        *object = static_cast<IPropertyNotifySink*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }
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
    ~CSink() { ComModule::RemoveObject(); }

    volatile LONG m_refs = 1;
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
