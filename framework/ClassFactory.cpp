// The class factory handed out by DllGetClassObject: creates one kind of object.
#include "framework/ClassFactory.h"

#include "framework/ComModule.h"

#include <new>

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    IUnknown* created = nullptr;
    try {
        created = m_creator();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!created)
        return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();  // the creation reference; the caller holds its own now
    return hr;
}

STDMETHODIMP CClassFactory::LockServer(BOOL lock)
{
    if (lock)
        ComModule::Lock();
    else
        ComModule::Unlock();
    return S_OK;
}
