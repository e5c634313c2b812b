// Base of every automation object: reference counting, module accounting and table-driven IDispatch.
#pragma once
#include <windows.h>
#include "framework/ComPtr.h"
#include "framework/DispatchTable.h"
#include "framework/TypeLibrary.h"

#include <oaidl.h>

// Created with one reference, which passes to whoever created the object;
// deletes itself when the last reference goes.
class CCmdTarget : public IDispatch {
public:
    CCmdTarget();
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

    IDispatch* GetIDispatch() { return this; }

    // The members this object answers to, the dispatch interface they form,
    // and the type library that describes it.
    virtual DispatchTable GetDispatchTable() const = 0;
    virtual const IID& GetDispatchIid() const = 0;
    virtual TypeLibraryId GetTypeLibraryId() const = 0;

protected:
    virtual ~CCmdTarget();

    // Further interfaces of a derived class; E_NOINTERFACE by default.
    virtual HRESULT QueryOtherInterface(REFIID iid, void** object);

    // Source and help file put into the EXCEPINFO of a raised error.
    virtual const wchar_t* GetErrorSource() const;
    virtual const wchar_t* GetHelpFile() const;

    ITypeInfo* DispatchTypeInfo();

    // Around every automation call of a member (calls may nest).
    virtual void BeginCall() {}
    virtual void EndCall() {}

    // Runs when the last reference goes; deletes the object. A derived class
    // tears down what must go before its destructor runs (windows, sinks).
    virtual void OnFinalRelease();

private:
    HRESULT CallMember(const DispatchMember& member, WORD flags, DISPPARAMS& params, VARIANT* result,
                       EXCEPINFO* exception, UINT* argumentError);
    void FillException(EXCEPINFO* exception, SCODE scode, const std::string& description, UINT helpContext) const;

    volatile LONG m_refs = 1;
    bool m_finalReleasing = false;
    ComPtr<ITypeInfo> m_typeInfo;
};
