// A host's event sink connected to the control's event interface for as long as it lives.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include "framework/ComPtr.h"

// Finds the control's connection point for its events; Connect advises the
// sink, the destructor unadvises it. Throws BenchError when the control has
// no such connection point or refuses the sink.
class SinkConnection {
public:
    explicit SinkConnection(IDispatch* control);
    SinkConnection(const SinkConnection&) = delete;
    SinkConnection& operator=(const SinkConnection&) = delete;
    ~SinkConnection();
    void Connect(IDispatch* sink);

private:
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};
