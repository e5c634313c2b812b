// Mouse tracking under capture with an inverted frame: the splitter bar's drag.
#include "explorer/WyBarTracker.h"

#include <windowsx.h>

#include <algorithm>

BOOL CWyTrackerBase::Track(POINT start)
{
    if (GetCapture())
        ReleaseCapture();
    m_ptCurrent = start;
    SetCapture(m_owner);
    bool accepted = false;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (GetCapture() != m_owner)
            break;  // capture lost: cancelled
        const POINT point = {GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
        if (message.message == WM_MOUSEMOVE) {
            OnMove(point);
            m_ptCurrent = point;
        } else if (message.message == WM_KEYDOWN) {
            if (message.wParam == VK_ESCAPE)
                break;
        } else if (message.message == WM_LBUTTONUP) {
            m_ptCurrent = point;
            accepted = true;
            break;
        } else if (message.message == WM_RBUTTONDOWN) {
            break;
        } else {
            DispatchMessageW(&message);
        }
    }
    if (message.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns it
    if (GetCapture() == m_owner)
        ReleaseCapture();
    return accepted && (m_ptCurrent.x != start.x || m_ptCurrent.y != start.y);
}

CWyBarTracker::CWyBarTracker(HWND owner) : CWyTrackerBase(owner)
{
    RECT window;
    GetWindowRect(owner, &window);
    POINT origin = {0, 0};
    ClientToScreen(owner, &origin);
    m_clientOffset = {origin.x - window.left, origin.y - window.top};
}

BOOL CWyBarTracker::Track(const RECT& limit, POINT point, const RECT& rectIn, RECT* rectOut, BOOL constrain)
{
    m_rectTracked = rectIn;
    m_rectClip = limit;
    OffsetRect(&m_rectClip, m_clientOffset.cx, m_clientOffset.cy);
    m_grabOffset = {point.x - rectIn.left, point.y - rectIn.top};
    if (constrain) {
        m_rectLimit = {limit.left + m_grabOffset.cx, limit.top + m_grabOffset.cy,
                       limit.right - rectIn.right + point.x, limit.bottom - rectIn.bottom + point.y};
    } else {
        m_rectLimit = limit;
        m_rectLimit.top -= m_grabOffset.cy;
    }
    DrawFrame();
    const BOOL moved = CWyTrackerBase::Track(point);
    DrawFrame();
    if (moved && rectOut)
        *rectOut = m_rectTracked;
    return moved;
}

void CWyBarTracker::OnMove(POINT point)
{
    const LONG x = std::clamp(point.x, m_rectLimit.left, std::max(m_rectLimit.left, m_rectLimit.right));
    const LONG y = std::clamp(point.y, m_rectLimit.top, std::max(m_rectLimit.top, m_rectLimit.bottom));
    const LONG dx = x - m_grabOffset.cx - m_rectTracked.left;
    const LONG dy = y - m_grabOffset.cy - m_rectTracked.top;
    if (dx == 0 && dy == 0)
        return;
    DrawFrame();
    OffsetRect(&m_rectTracked, dx, dy);
    DrawFrame();
}

void CWyBarTracker::DrawFrame() const
{
    CWindowDC dc(m_owner);
    CWyClipGuard clip(dc.Get());
    clip.SetClipRect(m_rectClip);
    RECT frame = m_rectTracked;
    OffsetRect(&frame, m_clientOffset.cx, m_clientOffset.cy);
    DrawInvertedFrame(dc.Get(), frame);
}

void CWyClipGuard::SetClipRect(const RECT& rect)
{
    Restore();
    m_region = CRgn(CreateRectRgnIndirect(&rect));
    GetClipBox(m_dc, &m_rectSaved);
    SelectClipRgn(m_dc, m_region.Get());
}

void CWyClipGuard::Restore()
{
    if (IsRectEmpty(&m_rectSaved))
        return;
    if (m_region) {
        SetRectRgn(m_region.Get(), m_rectSaved.left, m_rectSaved.top, m_rectSaved.right, m_rectSaved.bottom);
        SelectClipRgn(m_dc, m_region.Get());
    }
    SetRectEmpty(&m_rectSaved);
}

void DrawInvertedFrame(HDC dc, const RECT& r)
{
    if (r.left == r.right) {
        const RECT line = {r.left - 1, r.top - 1, r.left + 1, r.bottom + 1};
        InvertRect(dc, &line);
        return;
    }
    if (r.top == r.bottom) {
        const RECT line = {r.left - 1, r.top - 1, r.right + 1, r.top + 1};
        InvertRect(dc, &line);
        return;
    }
    const RECT sides[] = {
        {r.left, r.top + 2, r.left + 2, r.bottom},
        {r.left, r.top, r.right - 2, r.top + 2},
        {r.right - 2, r.top, r.right, r.bottom - 2},
        {r.left + 2, r.bottom - 2, r.right, r.bottom},
    };
    for (const RECT& side : sides)
        InvertRect(dc, &side);
}
