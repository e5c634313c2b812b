// Keeps a child window covering its parent's client area while the parent changes size.
#pragma once
#include <windows.h>

// The parent belongs to someone else (a property frame's page container), so
// it is watched through a comctl32 subclass, which chains with any other
// subclass the parent has. Watching stops on Stop, with the object, or when
// the parent goes; the child's owner calls Stop before the child goes.
class CParentFill {
public:
    CParentFill() = default;
    CParentFill(const CParentFill&) = delete;
    CParentFill& operator=(const CParentFill&) = delete;
    ~CParentFill();

    bool IsFilling() const { return m_parent != nullptr; }

    // Fits child to its parent's client area now and whenever the parent
    // is sized again.
    void Start(HWND child);
    void Stop();

private:
    static LRESULT CALLBACK ParentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
    void Fit() const;

    HWND m_child = nullptr;
    HWND m_parent = nullptr;
};
