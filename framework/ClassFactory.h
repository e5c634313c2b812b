// The class factory handed out by DllGetClassObject: creates one kind of object.
#pragma once
#include <windows.h>
#include <unknwn.h>

// Creates a new object with one reference (the caller's).
using ObjectCreator = IUnknown* (*)();

class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(ObjectCreator creator);
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~CClassFactory();

    volatile LONG m_refs = 1;
    ObjectCreator m_creator;
};
