// The for-each enumerator of a file collection.
#include "control/WyFTPFilesEnum.h"

#include "control/WyFTPIds.h"
#include "framework/ComModule.h"

#include <new>

CWyFTPFilesEnum::CWyFTPFilesEnum(CWyFTPFiles& files, long index)
    : m_collection(files.GetIDispatch()), m_files(files), m_nIndex(index)
{
    ComModule::Lock();
}

CWyFTPFilesEnum::~CWyFTPFilesEnum()
{
    ComModule::Unlock();
}

TypeLibraryId CWyFTPFilesEnum::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }

HRESULT CWyFTPFilesEnum::QueryOtherInterface(REFIID iid, void** object)
{
    if (iid != IID_IEnumVARIANT)
        return E_NOINTERFACE;
    *object = static_cast<IEnumVARIANT*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CWyFTPFilesEnum::Next(ULONG count, VARIANT* items, ULONG* fetched)
{
    if (count != 1)
        return E_INVALIDARG;
    if (fetched)
        *fetched = 0;
    if (!items)
        return E_POINTER;
    const long size = m_files.GetCount();
    if (size > 0 && m_nIndex <= size - 1) {
        if (m_nIndex == -1)
            m_nIndex = 0;
        VariantInit(&items[0]);
        items[0].vt = VT_DISPATCH;
        items[0].pdispVal = m_files.FileAt(m_nIndex);
        ++m_nIndex;
        if (fetched)
            *fetched = 1;
        return S_OK;
    }
    m_nIndex = -1;
    return S_FALSE;
}

STDMETHODIMP CWyFTPFilesEnum::Skip(ULONG count)
{
    const long size = m_files.GetCount();
    if (m_nIndex > -1) {
        const long long next = static_cast<long long>(m_nIndex) + count;
        m_nIndex = next > size ? size : static_cast<long>(next);
        if (next > size)
            return S_FALSE;
    }
    return S_OK;
}

STDMETHODIMP CWyFTPFilesEnum::Reset()
{
    if (m_files.GetCount() > 0) {
        m_nIndex = 0;
        return S_OK;
    }
    m_nIndex = -1;
    return S_FALSE;
}

STDMETHODIMP CWyFTPFilesEnum::Clone(IEnumVARIANT** clone)
{
    if (!clone)
        return E_POINTER;
    *clone = new (std::nothrow) CWyFTPFilesEnum(m_files, m_nIndex);
    return *clone ? S_OK : E_OUTOFMEMORY;
}
