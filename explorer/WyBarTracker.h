// Mouse tracking under capture with an inverted frame: the splitter bar's drag.
#pragma once
#include "framework/Gdi.h"

#include <windows.h>

// Runs a capture loop for one window: mouse moves go to OnMove; the left
// button's release accepts, Escape, the right button or a lost capture cancel.
class CWyTrackerBase {
public:
    explicit CWyTrackerBase(HWND owner) : m_owner(owner) {}
    CWyTrackerBase(const CWyTrackerBase&) = delete;
    CWyTrackerBase& operator=(const CWyTrackerBase&) = delete;
    virtual ~CWyTrackerBase() = default;

    // TRUE when the drag was accepted at a point other than start.
    BOOL Track(POINT start);

protected:
    virtual void OnMove(POINT point) = 0;

    HWND m_owner;
    POINT m_ptCurrent = {0, 0};
};

// Tracks a rectangle (client coordinates) inside a limit rectangle, drawing
// it as an inverted two-pixel frame on the owner window.
class CWyBarTracker : public CWyTrackerBase {
public:
    explicit CWyBarTracker(HWND owner);

    // constrain: the whole rectangle stays inside limit (else only the point).
    BOOL Track(const RECT& limit, POINT point, const RECT& rectIn, RECT* rectOut, BOOL constrain);

protected:
    void OnMove(POINT point) override;

private:
    void DrawFrame() const;

    SIZE m_clientOffset = {0, 0};  // of the client origin within the window
    SIZE m_grabOffset = {0, 0};    // point minus the rectangle's top-left
    RECT m_rectLimit = {};         // for the mouse point
    RECT m_rectClip = {};          // window coordinates
    RECT m_rectTracked = {};       // client coordinates
};

// Clips a device context to a rectangle and restores the previous clip box
// when reset or destroyed.
class CWyClipGuard {
public:
    explicit CWyClipGuard(HDC dc) : m_dc(dc) {}
    CWyClipGuard(const CWyClipGuard&) = delete;
    CWyClipGuard& operator=(const CWyClipGuard&) = delete;
    ~CWyClipGuard() { Restore(); }

    void SetClipRect(const RECT& rect);
    void Restore();

private:
    HDC m_dc;
    CRgn m_region;
    RECT m_rectSaved = {};
};

// Inverts a 2-pixel frame (a line for an empty rectangle); drawing it twice
// restores the pixels.
void DrawInvertedFrame(HDC dc, const RECT& rect);
