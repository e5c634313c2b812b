// Watches a font object for changes made through it (Font.Bold = True), which its holder must hear about.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include "framework/ComPtr.h"

#include <functional>

// The font holds a sink of its own (reference counted, on the heap) that
// forwards to onChanged until Stop; so the font may go on holding or calling
// it after the holder is gone. The holder keeps itself alive in onChanged.
class CFontWatcher {
public:
    explicit CFontWatcher(std::function<void()> onChanged);
    ~CFontWatcher();
    CFontWatcher(const CFontWatcher&) = delete;
    CFontWatcher& operator=(const CFontWatcher&) = delete;

    // Watches font instead of the one watched so far (null: none).
    void Watch(IUnknown* font);
    void Stop();

private:
    class CSink;

    std::function<void()> m_onChanged;
    ComPtr<CSink> m_sink;
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};
