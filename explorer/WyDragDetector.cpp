// Tells a click from a drag: a capture loop after a mouse button went down.
#include "explorer/WyDragDetector.h"

#include <windowsx.h>

namespace {

bool EndsWait(UINT buttonDown, UINT message)
{
    switch (buttonDown) {
    case WM_RBUTTONDOWN:
        return message == WM_LBUTTONDOWN || message == WM_MBUTTONDOWN || message == WM_RBUTTONUP;
    case WM_MBUTTONDOWN:
        return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONUP;
    default:
        return message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN || message == WM_LBUTTONUP;
    }
}

}  // namespace

BOOL DetectDrag(HWND view, UINT buttonDown, POINT pressPoint, MSG* endMessage)
{
    if (GetCapture())
        ReleaseCapture();
    SetCapture(view);
    BOOL drag = FALSE;
    MSG message = {};
    bool ended = false;
    while (!ended && GetMessageW(&message, nullptr, 0, 0)) {
        if (GetCapture() != view) {
            ended = true;
            break;
        }
        switch (message.message) {
        case WM_MOUSEMOVE:
            // A move to where the press was is no movement (the platform may
            // report one when the capture changes).
            if (message.hwnd == view && GET_X_LPARAM(message.lParam) == pressPoint.x
                && GET_Y_LPARAM(message.lParam) == pressPoint.y)
                continue;
            drag = TRUE;
            ended = true;
            break;
        case WM_KEYDOWN:
            if (message.wParam == VK_ESCAPE)
                ended = true;
            else
                DispatchMessageW(&message);
            break;
        default:
            if (EndsWait(buttonDown, message.message))
                ended = true;
            else
                DispatchMessageW(&message);
        }
    }
    if (message.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns it
    else if (ended)
        DispatchMessageW(&message);
    if (GetCapture() == view)
        ReleaseCapture();
    if (endMessage)
        *endMessage = message;
    return drag;
}
