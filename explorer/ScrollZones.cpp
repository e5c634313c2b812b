// The auto-scroll zones along a view's four edges while something is dragged over it.
#include "explorer/ScrollZones.h"

DWORD CScrollZones::Track(HWND view, POINT point, DWORD effect)
{
    RECT client = {};
    GetClientRect(view, &client);
    // In a window too small for two zones and some room between them, each
    // zone takes its share of the extent instead.
    const auto depthFor = [this](LONG extent) {
        const int shared = static_cast<int>(static_cast<float>(extent) * m_factor);
        return shared < m_depth ? shared : m_depth;
    };
    const int vertical = depthFor(client.bottom - client.top);
    const int horizontal = depthFor(client.right - client.left);
    const bool inside = PtInRect(&client, point) != FALSE;
    const bool in[kCount] = {
        inside && point.y < client.top + vertical,
        inside && point.y >= client.bottom - vertical,
        inside && point.x < client.left + horizontal,
        inside && point.x >= client.right - horizontal,
    };
    for (UINT zone = 0; zone < kCount; ++zone) {
        if (in[zone] && !m_pending[zone]) {
            SetTimer(view, zone, m_delay, nullptr);
            m_pending[zone] = true;
            effect |= DROPEFFECT_SCROLL;
        } else if (!in[zone]) {
            Stop(view, zone);
        }
    }
    return effect;
}

void CScrollZones::Stop(HWND view, UINT zone)
{
    if (zone >= kCount || !m_pending[zone])
        return;
    KillTimer(view, zone);
    m_pending[zone] = false;
}

void CScrollZones::StopAll(HWND view)
{
    for (UINT zone = 0; zone < kCount; ++zone)
        Stop(view, zone);
}
