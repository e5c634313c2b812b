// The IUnknown of a small heap object that serves one interface: reference count, module count, QueryInterface.
#pragma once
#include <windows.h>
#include <unknwn.h>

#include "framework/ComModule.h"

// Made with one reference (the creator's) and deleted by its last Release;
// counted among the module's live objects while it lives.
template <class Interface, const IID& kIid>
class CComObject : public Interface {
public:
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != kIid)
            return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }

protected:
    CComObject() { ComModule::AddObject(); }
    virtual ~CComObject() { ComModule::RemoveObject(); }

private:
    volatile LONG m_refs = 1;
};
