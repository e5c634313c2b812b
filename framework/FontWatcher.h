// Watches a font object for changes made through it (Font.Bold = True), which its holder must hear about.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include "framework/ComPtr.h"

#include <functional>

// Lives inside its holder and keeps no reference to it; the holder calls
// Stop before it goes away, so the font never calls a dead watcher.
class CFontWatcher : public IPropertyNotifySink {
public:
    explicit CFontWatcher(std::function<void()> onChanged) : m_onChanged(std::move(onChanged)) {}
    CFontWatcher(const CFontWatcher&) = delete;
    CFontWatcher& operator=(const CFontWatcher&) = delete;
    ~CFontWatcher() { Stop(); }

    // Watches font instead of the one watched so far (null: none).
    void Watch(IUnknown* font);
    void Stop();

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnChanged(DISPID) override;
    STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

private:
    std::function<void()> m_onChanged;
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};
