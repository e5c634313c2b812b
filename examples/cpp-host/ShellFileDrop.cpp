// Files offered the way the shell offers them at the end of a drag: a CF_HDROP block of wide paths.
#include "ShellFileDrop.h"

#include <shlobj.h>

#include <cstring>

namespace {

class ShellFileDrop : public IDataObject {
public:
    ShellFileDrop(const std::vector<std::wstring>& paths, CLIPFORMAT format) : m_format(format)
    {
        std::wstring list;  // each path and its NUL, then the list's NUL
        for (const std::wstring& path : paths)
            list += path + L'\0';
        list += L'\0';
        const size_t bytes = list.size() * sizeof(wchar_t);
        m_block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
        if (auto* header = static_cast<DROPFILES*>(GlobalLock(m_block))) {
            header->pFiles = sizeof(DROPFILES);
            header->fWide = TRUE;
            std::memcpy(header + 1, list.data(), bytes);
            GlobalUnlock(m_block);
        }
    }
    virtual ~ShellFileDrop() { GlobalFree(m_block); }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = (iid == IID_IUnknown || iid == IID_IDataObject) ? static_cast<IDataObject*>(this) : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        const SIZE_T size = GlobalSize(m_block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, size);
        medium->pUnkForRelease = nullptr;
        if (!medium->hGlobal)
            return E_OUTOFMEMORY;
        std::memcpy(GlobalLock(medium->hGlobal), GlobalLock(m_block), size);
        GlobalUnlock(medium->hGlobal);
        GlobalUnlock(m_block);
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        return format && format->cfFormat == m_format && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ULONG m_refs = 1;
    CLIPFORMAT m_format;
    HGLOBAL m_block;
};

}  // namespace

IDataObject* NewShellFileDrop(const std::vector<std::wstring>& paths, CLIPFORMAT format)
{
    return new ShellFileDrop(paths, format);
}
