// A host's sink for the control's events: records every event, as tests need to see them.
#pragma once
#include "tests/control/ComTestSupport.h"

#include <functional>
#include <string>
#include <vector>

// Dispatch IDs of the control's events.
enum HostEventId : DISPID {
    kTransferProgressEvent = 1,
    kConnectedEvent = 2,
    kDisConnectedEvent = 3,
    kTreePopUpEvent = 4,
    kListPopUpEvent = 5,
    kChangeCurrentDirectoryEvent = 6,
    kTransferStartEvent = 7,
    kTransferEndEvent = 8,
    kServerCertificateEvent = 9,
    kReconnectingEvent = 10,
    kProtocolTraceEvent = 11,
};

struct HostEvent {
    DISPID id;
    std::vector<Variant> args;   // in declaration order, references resolved
    std::vector<VARTYPE> types;  // as passed
};

// Connected to the control's event interface. onProgress runs inside
// TransferProgress, as a host's handler does; the stock Error event gets
// cancelDisplay as its CancelDisplay answer (true: no message box).
class HostEventSink : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override;

    std::vector<HostEvent> events;
    std::function<void(long)> onProgress;
    std::function<void(DISPID)> onEvent;  // after any event is recorded
    bool cancelDisplay = true;
    // ServerCertificate's Accept answer: -1 leaves the control's default.
    int acceptCertificate = -1;

    // The IDs of the recorded events, in order.
    std::vector<DISPID> Ids() const;
    // The byte counts of the recorded TransferProgress events.
    std::vector<long> Progress() const;
    // The directories of the recorded ChangeCurrentDirectory events.
    std::vector<std::string> DirectoryChanges() const;
    bool Received(DISPID id) const;
};
