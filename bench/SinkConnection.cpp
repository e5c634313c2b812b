// A host's event sink connected to the control's event interface for as long as it lives.
#include "bench/SinkConnection.h"

#include "bench/TransferCase.h"
#include "control/typelib/WyFTP_h.h"

SinkConnection::SinkConnection(IDispatch* control)
{
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Put()))))
        throw BenchError("the control has no connection points");
    if (FAILED(container->FindConnectionPoint(DIID__DWyFTPEvents, m_point.Put())))
        throw BenchError("the control has no event connection point");
}

SinkConnection::~SinkConnection()
{
    if (m_cookie)
        m_point->Unadvise(m_cookie);
}

void SinkConnection::Connect(IDispatch* sink)
{
    if (FAILED(m_point->Advise(sink, &m_cookie)))
        throw BenchError("Advise failed");
}
