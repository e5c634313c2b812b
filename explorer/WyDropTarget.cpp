// A view's OLE drop target: registration for its window and the four drag calls forwarded to the view.
#include "explorer/WyDropTarget.h"

#include "framework/ComObject.h"

namespace {

// The effect a view asks for, within what the source allows: a copy the
// source does not allow becomes a move or a link, and the other way round,
// as drop targets usually do; anything else becomes no effect.
DWORD WithinAllowed(DWORD wanted, DWORD allowed)
{
    const DWORD scroll = wanted & DROPEFFECT_SCROLL;
    const DWORD effect = wanted & ~DROPEFFECT_SCROLL;
    if ((effect & allowed) == effect)
        return wanted;
    if (effect == DROPEFFECT_COPY && (allowed & DROPEFFECT_MOVE))
        return DROPEFFECT_MOVE | scroll;
    if (effect == DROPEFFECT_COPY && (allowed & DROPEFFECT_LINK))
        return DROPEFFECT_LINK | scroll;
    if (effect == DROPEFFECT_MOVE && (allowed & DROPEFFECT_COPY))
        return DROPEFFECT_COPY | scroll;
    if (effect == DROPEFFECT_MOVE && (allowed & DROPEFFECT_LINK))
        return DROPEFFECT_LINK | scroll;
    return DROPEFFECT_NONE;
}

}  // namespace

class CWyDropTargetObject : public CComObject<IDropTarget, IID_IDropTarget> {
public:
    CWyDropTargetObject(HWND window, CWyDropTargetClient& client) : m_window(window), m_client(&client) {}
    ~CWyDropTargetObject() override { ForgetData(); }
    void Detach() { m_client = nullptr; }

    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        ForgetData();
        m_data = data;
        if (m_data)
            m_data->AddRef();
        const DWORD wanted = m_client ? m_client->OnDragEnter(data, keyState, ClientPoint(point)) : DROPEFFECT_NONE;
        *effect = WithinAllowed(wanted, *effect);
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        const DWORD wanted = m_client ? m_client->OnDragOver(m_data, keyState, ClientPoint(point)) : DROPEFFECT_NONE;
        *effect = WithinAllowed(wanted, *effect);
        return S_OK;
    }
    STDMETHODIMP DragLeave() override
    {
        ForgetData();
        if (m_client)
            m_client->OnDragLeave();
        return S_OK;
    }
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override
    {
        ForgetData();
        if (!effect)
            return E_INVALIDARG;
        if (!m_client) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        // The drop is checked as a last drag-over at the release point.
        const POINT at = ClientPoint(point);
        const DWORD settled = WithinAllowed(m_client->OnDragOver(data, keyState, at), *effect) & ~DROPEFFECT_SCROLL;
        if (settled == DROPEFFECT_NONE) {
            m_client->OnDragLeave();
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        *effect = m_client->OnDrop(data, settled, at) ? settled : DROPEFFECT_NONE;
        return S_OK;
    }

private:
    POINT ClientPoint(POINTL screen) const
    {
        POINT point = {screen.x, screen.y};
        ScreenToClient(m_window, &point);
        return point;
    }
    void ForgetData()
    {
        if (m_data)
            m_data->Release();
        m_data = nullptr;
    }

    HWND m_window;
    CWyDropTargetClient* m_client;
    IDataObject* m_data = nullptr;
};

bool CWyDropTarget::Register(HWND window, CWyDropTargetClient& client)
{
    Revoke();
    auto* object = new CWyDropTargetObject(window, client);
    if (FAILED(RegisterDragDrop(window, object))) {
        object->Release();
        return false;
    }
    m_window = window;
    m_object = object;
    return true;
}

void CWyDropTarget::Revoke()
{
    if (!m_object)
        return;
    RevokeDragDrop(m_window);
    m_object->Detach();
    m_object->Release();
    m_object = nullptr;
    m_window = nullptr;
}
