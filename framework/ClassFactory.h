// The class factory handed out by DllGetClassObject: creates one kind of object.
#pragma once
#include <windows.h>
#include <unknwn.h>

#include "framework/ComObject.h"

// Creates a new object with one reference (the caller's).
using ObjectCreator = IUnknown* (*)();

class CClassFactory final : public CComObject<IClassFactory, IID_IClassFactory> {
public:
    explicit CClassFactory(ObjectCreator creator) : m_creator(creator) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ObjectCreator m_creator;
};
