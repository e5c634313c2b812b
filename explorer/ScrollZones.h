// The auto-scroll zones along a view's four edges while something is dragged over it.
#pragma once
#include <windows.h>

// Zones top, bottom, left and right, with timers 0 to 3 of the view. A
// zone's timer runs once per entry: each tick scrolls one step, and the
// next drag-over inside the zone starts it again, so scrolling repeats at
// most once per delay.
class CScrollZones {
public:
    static constexpr UINT kTop = 0, kBottom = 1, kLeft = 2, kRight = 3, kCount = 4;

    // Starts the timer of each zone point lies in that has none running,
    // adding DROPEFFECT_SCROLL to effect then, and stops the zones point
    // is not in. Returns the effect.
    DWORD Track(HWND view, POINT point, DWORD effect);
    // Ends a zone's timer (after its tick, or when the drag is over).
    void Stop(HWND view, UINT zone);
    void StopAll(HWND view);
    static bool IsZoneTimer(UINT_PTR id) { return id < kCount; }

private:
    UINT m_delay = 200;   // ms
    int m_depth = 11;     // pixels
    float m_factor = 0.3f;  // a zone's share of a smaller window's extent at most
    bool m_pending[kCount] = {};
};
