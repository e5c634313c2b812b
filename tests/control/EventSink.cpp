// A host's sink for the control's events: records every event, as tests need to see them.
#include "tests/control/EventSink.h"

#include "control/WyFTPIds.h"

#include <olectl.h>

STDMETHODIMP HostEventSink::QueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__DWyFTPEvents) {
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP HostEventSink::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

STDMETHODIMP HostEventSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*)
{
    EXPECT_EQ(DISPATCH_METHOD, flags);
    HostEvent event{id, {}, {}};
    for (UINT i = params->cArgs; i > 0; --i) {
        Variant copy;
        VariantCopyInd(copy.Get(), &params->rgvarg[i - 1]);
        event.args.push_back(copy);
        event.types.push_back(params->rgvarg[i - 1].vt);
    }
    if (id == DISPID_ERROREVENT && params->cArgs == 7 && params->rgvarg[0].vt == (VT_BOOL | VT_BYREF))
        *params->rgvarg[0].pboolVal = cancelDisplay ? VARIANT_TRUE : VARIANT_FALSE;
    if (id == kServerCertificateEvent && params->cArgs == 7 && params->rgvarg[0].vt == (VT_BOOL | VT_BYREF)
        && acceptCertificate >= 0)
        *params->rgvarg[0].pboolVal = acceptCertificate ? VARIANT_TRUE : VARIANT_FALSE;
    events.push_back(event);
    if (id == kTransferProgressEvent && onProgress)
        onProgress(event.args.empty() ? -1 : event.args[0].AsLong());
    if (onEvent)
        onEvent(id);
    return S_OK;
}

std::vector<DISPID> HostEventSink::Ids() const
{
    std::vector<DISPID> ids;
    for (const HostEvent& event : events)
        ids.push_back(event.id);
    return ids;
}

std::vector<long> HostEventSink::Progress() const
{
    std::vector<long> bytes;
    for (const HostEvent& event : events) {
        if (event.id == kTransferProgressEvent)
            bytes.push_back(event.args.at(0).AsLong());
    }
    return bytes;
}

std::vector<std::string> HostEventSink::DirectoryChanges() const
{
    std::vector<std::string> directories;
    for (const HostEvent& event : events) {
        if (event.id == kChangeCurrentDirectoryEvent)
            directories.push_back(event.args.at(0).AsText());
    }
    return directories;
}

bool HostEventSink::Received(DISPID id) const
{
    for (const HostEvent& event : events) {
        if (event.id == id)
            return true;
    }
    return false;
}
