// Dragging entries out of a view: the wait for the drag to start, the drop source and the data offered.
#include "explorer/WyDragSource.h"

#include "explorer/DropFiles.h"
#include "framework/ComObject.h"

#include <shlobj.h>

namespace {

// How long a press may stay inside the drag rectangle before the drag
// starts anyway, in milliseconds.
constexpr DWORD kDragDelay = 200;

// Offers one DROPFILES block as CF_HDROP; every reader gets its own copy.
class DropFilesData : public CComObject<IDataObject, IID_IDataObject> {
public:
    explicit DropFilesData(HGLOBAL block) : m_block(block) {}
    ~DropFilesData() override { GlobalFree(m_block); }

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!medium)
            return E_INVALIDARG;
        const HRESULT offered = QueryGetData(format);
        if (offered != S_OK)
            return offered;
        const SIZE_T size = GlobalSize(m_block);
        const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
        if (!copy)
            return E_OUTOFMEMORY;
        const void* from = GlobalLock(m_block);
        void* to = GlobalLock(copy);
        if (from && to)
            CopyMemory(to, from, size);
        GlobalUnlock(copy);
        GlobalUnlock(m_block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        if (!format)
            return E_INVALIDARG;
        if (format->cfFormat != CF_HDROP || format->dwAspect != DVASPECT_CONTENT)
            return DV_E_FORMATETC;
        return (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* result) override
    {
        if (result)
            result->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC offered = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &offered, formats);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    HGLOBAL m_block;
};

// Drops when the button that started the drag is released; cancels on
// Escape or when the other button is pressed.
class ButtonDropSource : public CComObject<IDropSource, IID_IDropSource> {
public:
    ButtonDropSource(DWORD dropButton, DWORD cancelButton) : m_dropButton(dropButton), m_cancelButton(cancelButton) {}

    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keyState) override
    {
        if (escapePressed || (keyState & m_cancelButton))
            return DRAGDROP_S_CANCEL;
        if (!(keyState & m_dropButton))
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    DWORD m_dropButton;
    DWORD m_cancelButton;
};

// Holds the mouse until the drag really starts: true once the pointer
// leaves the drag rectangle or the delay passes, false on a release,
// another press or Escape.
bool WaitForDragStart(HWND view, POINT screenPoint)
{
    RECT start = {screenPoint.x, screenPoint.y, screenPoint.x, screenPoint.y};
    InflateRect(&start, GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
    SetCapture(view);
    const DWORD began = GetTickCount();
    bool started = false;
    while (!started) {
        if (GetCapture() != view)
            break;
        MSG message;
        if (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)
            || PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
            const UINT m = message.message;
            if (m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN)
                break;
            if (m == WM_KEYDOWN && message.wParam == VK_ESCAPE)
                break;
            started = !PtInRect(&start, message.pt);
            continue;
        }
        const DWORD waited = GetTickCount() - began;
        if (waited >= kDragDelay) {
            started = true;
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kDragDelay - waited, QS_MOUSE | QS_KEY);
    }
    if (GetCapture() == view)
        ReleaseCapture();
    return started;
}

}  // namespace

bool RunDragOut(HWND view, const std::vector<std::string>& paths, POINT screenPoint)
{
    const HGLOBAL block = MakeDropFilesBlock(paths);
    if (!block)
        return false;
    auto* data = new DropFilesData(block);
    const bool left = GetKeyState(VK_LBUTTON) < 0;
    auto* source = new ButtonDropSource(left ? MK_LBUTTON : MK_RBUTTON, left ? MK_RBUTTON : MK_LBUTTON);
    bool ran = false;
    if (WaitForDragStart(view, screenPoint)) {
        DWORD effect = DROPEFFECT_NONE;
        ran = SUCCEEDED(DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect));
    }
    source->Release();
    data->Release();
    return ran;
}
