// A horizontal two-pane container: left pane, a bar the user drags, right pane.
#pragma once
#include "framework/Window.h"

// The panes are windows of derived classes (CreateLeftPane, CreateRightPane);
// the splitter lays them out around the bar, destroys their windows before
// its own and never owns the pane objects.
class CWyHSplitterWnd : public CWindow {
public:
    CWyHSplitterWnd() = default;

    // FALSE when the window already exists.
    virtual BOOL CreateSplitter(DWORD style, const RECT& rect, HWND parent, UINT id, BOOL showLeftPane);
    // FALSE before creation or when the pane already is in that state.
    BOOL ShowLeftPane(BOOL show);
    BOOL IsLeftPaneShown() const { return m_showLeftPane; }
    // Moves the bar's left edge to x; lays out only while the left pane shows.
    BOOL SetBarPos(int x);
    const RECT& GetBarRect() const { return m_rectBar; }
    void RecalcLayout();
    BOOL DestroyPanes();
    // FALSE when there is no window or a pane refuses to go.
    BOOL DestroySplitter();

protected:
    virtual BOOL DestroyLeftPane(CWindow* pane);
    virtual BOOL DestroyRightPane(CWindow* pane);
    virtual BOOL CreateLeftPane(CWindow** pane);
    virtual BOOL CreateRightPane(CWindow** pane);
    virtual void GetBarWidth(int* width) { *width = 6; }
    virtual void GetInitialBarPos(int* x) { *x = 100; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);

    CWindow* m_leftPane = nullptr;
    CWindow* m_rightPane = nullptr;

private:
    void OnDestroy();
    void OnPaint();
    void OnSize(int cx, int cy);
    bool OnLButtonDown(POINT point);
    bool OnSetCursor();

    BOOL m_showLeftPane = FALSE;
    RECT m_rectBar = {};
};
