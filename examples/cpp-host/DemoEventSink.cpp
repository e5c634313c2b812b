// The demo's receiver of the control's events, which prints each one as it arrives, and its connection to the control.
#include "DemoEventSink.h"

#include "Automation.h"

#include <olectl.h>

#include <cstdio>

const IID DIID_DWyFTPEvents = {0x4B19A2E5, 0x7C05, 0x4D6A, {0x8E, 0x31, 0x52, 0xF0, 0xC9, 0xD7, 0xA6, 0x11}};

namespace {

// Argument index of an event, first to last (DISPPARAMS holds them last to first);
// null when the control sent fewer.
const VARIANT* Argument(const DISPPARAMS* params, UINT index)
{
    return params && index < params->cArgs ? &params->rgvarg[params->cArgs - 1 - index] : nullptr;
}

std::string TextOf(const VARIANT* argument)
{
    if (!argument)
        return {};
    if (argument->vt == (VT_BSTR | VT_BYREF))
        return argument->pbstrVal ? Narrow(*argument->pbstrVal) : std::string();
    return Variant::CopyOf(*argument).AsText();
}

long NumberOf(const VARIANT* argument)
{
    if (!argument)
        return 0;
    return Variant::CopyOf(*argument).AsLong();
}

}  // namespace

STDMETHODIMP DemoEventSink::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWyFTPEvents) {
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP DemoEventSink::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP DemoEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    switch (id) {
    case 1:  // TransferProgress: one per chunk; show every 16th
        if (++m_chunks % 16 == 1)
            std::printf("    event TransferProgress %ld bytes\n", NumberOf(Argument(params, 0)));
        break;
    case 2: std::printf("    event Connected\n"); break;
    case 3: std::printf("    event DisConnected\n"); break;
    case 4: std::printf("    event TreePopUp %s\n", TextOf(Argument(params, 0)).c_str()); break;
    case 5: std::printf("    event ListPopUp %s\n", TextOf(Argument(params, 0)).c_str()); break;
    case 6: std::printf("    event ChangeCurrentDirectory %s\n", TextOf(Argument(params, 0)).c_str()); break;
    case 7:
        m_chunks = 0;
        std::printf("    event TransferStart %s\n", TextOf(Argument(params, 0)).c_str());
        break;
    case 8: std::printf("    event TransferEnd after %d chunks\n", m_chunks); break;
    case DISPID_ERROREVENT: {
        // A failure of something the user did in the control's window: this
        // host prints it, so the control's message box is not needed.
        std::printf("    event Error %s\n", TextOf(Argument(params, 1)).c_str());
        const VARIANT* cancelDisplay = Argument(params, 6);
        if (cancelDisplay && cancelDisplay->vt == (VT_BOOL | VT_BYREF) && cancelDisplay->pboolVal)
            *cancelDisplay->pboolVal = VARIANT_TRUE;
        break;
    }
    }
    return S_OK;
}

EventConnection::EventConnection(IUnknown* control, IDispatch* sink, const IID& events)
{
    Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
    Microsoft::WRL::ComPtr<IConnectionPoint> point;
    if (control && SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(container.GetAddressOf())))
        && SUCCEEDED(container->FindConnectionPoint(events, point.GetAddressOf()))
        && SUCCEEDED(point->Advise(sink, &m_cookie)))
        m_point = point;
}

EventConnection::~EventConnection()
{
    if (m_point)
        m_point->Unadvise(m_cookie);
}
