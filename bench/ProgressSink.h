// The host's event sink: counts TransferProgress events and silences the Error event's message box.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>

// Lives on the stack of its user; the reference count is not used.
class ProgressSink : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

    unsigned long long progressEvents = 0;
    long lastProgress = 0;
    bool windowShown = false;  // a visible window of this thread at the first TransferProgress
    std::string lastError;  // Shift-JIS description of the last Error event
    std::function<void()> onTransferEnd;  // called at the TransferEnd event, when set
    std::function<void(long)> onProgress;  // called at every TransferProgress, when set
    std::function<void()> onReconnecting;  // called at every Reconnecting, when set
};
