// Keeps a child window covering its parent's client area while the parent changes size.
#include "framework/ParentFill.h"

#include <commctrl.h>

CParentFill::~CParentFill()
{
    Stop();
}

void CParentFill::Start(HWND child)
{
    HWND parent = child ? GetParent(child) : nullptr;
    if (parent != m_parent || child != m_child)
        Stop();
    if (!parent)
        return;
    if (!m_parent) {
        if (!SetWindowSubclass(parent, &CParentFill::ParentProc, reinterpret_cast<UINT_PTR>(this),
                               reinterpret_cast<DWORD_PTR>(this)))
            return;
        m_child = child;
        m_parent = parent;
    }
    Fit();
}

void CParentFill::Stop()
{
    if (!m_parent)
        return;
    RemoveWindowSubclass(m_parent, &CParentFill::ParentProc, reinterpret_cast<UINT_PTR>(this));
    m_parent = nullptr;
    m_child = nullptr;
}

void CParentFill::Fit() const
{
    RECT client;
    if (m_parent && GetClientRect(m_parent, &client))
        MoveWindow(m_child, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT CALLBACK CParentFill::ParentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self)
{
    auto* fill = reinterpret_cast<CParentFill*>(self);
    switch (message) {
    case WM_SIZE: {
        // The parent lays itself out first; the child then takes the new size.
        const LRESULT result = DefSubclassProc(parent, message, wParam, lParam);
        fill->Fit();
        return result;
    }
    case WM_NCDESTROY:
        fill->Stop();
        break;
    }
    return DefSubclassProc(parent, message, wParam, lParam);
}
