// A view's OLE drop target: registration for its window and the four drag calls forwarded to the view.
#pragma once
#include <windows.h>
#include <oleidl.h>

// What a view does while something is dragged over it. Points are in the
// view's client coordinates.
class CWyDropTargetClient {
public:
    virtual DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT point) = 0;
    virtual DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT point) = 0;
    virtual void OnDragLeave() = 0;
    virtual BOOL OnDrop(IDataObject* data, DWORD effect, POINT point) = 0;

protected:
    ~CWyDropTargetClient() = default;
};

class CWyDropTargetObject;

// Registers a window as a drop target for as long as it lives (or until
// Revoke). The platform may hold the target object beyond that; it then
// answers every call with no effect.
class CWyDropTarget {
public:
    CWyDropTarget() = default;
    ~CWyDropTarget() { Revoke(); }
    CWyDropTarget(const CWyDropTarget&) = delete;
    CWyDropTarget& operator=(const CWyDropTarget&) = delete;

    // False when the window cannot take drops (OLE not initialised on the
    // thread, say); the view then works without them.
    bool Register(HWND window, CWyDropTargetClient& client);
    void Revoke();

private:
    HWND m_window = nullptr;
    CWyDropTargetObject* m_object = nullptr;
};
