// The host's event sink: counts TransferProgress events and silences the Error event's message box.
#include "bench/ProgressSink.h"

#include "control/typelib/WyFTP_h.h"
#include "framework/Bstr.h"

#include <olectl.h>

namespace {

constexpr DISPID kTransferProgress = 1;
constexpr DISPID kTransferEnd = 8;
constexpr DISPID kReconnecting = 10;

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM found)
{
    if (!IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

}  // namespace

STDMETHODIMP ProgressSink::QueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__DWyFTPEvents) {
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ProgressSink::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

STDMETHODIMP ProgressSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    if (id == kTransferProgress && params->cArgs == 1 && params->rgvarg[0].vt == VT_I4) {
        // The progress dialog, when the control shows one, is up by now.
        if (++progressEvents == 1)
            EnumThreadWindows(GetCurrentThreadId(), FindVisibleWindow, reinterpret_cast<LPARAM>(&windowShown));
        lastProgress = params->rgvarg[0].lVal;
        if (onProgress)
            onProgress(lastProgress);
    } else if (id == kTransferEnd && onTransferEnd) {
        onTransferEnd();
    } else if (id == kReconnecting && onReconnecting) {
        onReconnecting();
    } else if (id == DISPID_ERROREVENT && params->cArgs == 7) {
        // Arguments arrive last to first: Description is rgvarg[5],
        // CancelDisplay (by reference) rgvarg[0].
        const VARIANT& description = params->rgvarg[5];
        if (description.vt == (VT_BSTR | VT_BYREF) && description.pbstrVal)
            lastError = ShiftJisFromBstr(*description.pbstrVal);
        VARIANT& cancel = params->rgvarg[0];
        if (cancel.vt == (VT_BOOL | VT_BYREF))
            *cancel.pboolVal = VARIANT_TRUE;
    }
    return S_OK;
}
