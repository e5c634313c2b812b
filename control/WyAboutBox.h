// The control's About box: dialog template 1, closed by OK, Escape or the close box.
#pragma once
#include "framework/Window.h"

class CWyAboutBox : public CWindow {
public:
    // Shows the box modally over parent (may be null) until it is closed.
    INT_PTR DoModal(HWND parent);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool OnCommand(int commandId);
};
