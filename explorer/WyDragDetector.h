// Tells a click from a drag: a capture loop after a mouse button went down.
#pragma once
#include <windows.h>

// After buttonDown (WM_RBUTTONDOWN, WM_MBUTTONDOWN or WM_LBUTTONDOWN at
// pressPoint) waits under capture for the mouse to move (a drag: TRUE) or for
// the button's release, another button or Escape (no drag: FALSE). The
// message that ended the wait is dispatched and copied to *endMessage.
BOOL DetectDrag(HWND view, UINT buttonDown, POINT pressPoint, MSG* endMessage);
