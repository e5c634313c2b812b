// Helpers for tests that drive COM objects the way a host does: variants, Invoke by name, creation.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "framework/Bstr.h"
#include "framework/ComPtr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// An owned VARIANT.
class Variant {
public:
    Variant() { VariantInit(&m_value); }
    Variant(long value) : Variant() { m_value.vt = VT_I4; m_value.lVal = value; }
    Variant(int value) : Variant(static_cast<long>(value)) {}
    Variant(bool value) : Variant() { m_value.vt = VT_BOOL; m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; }
    Variant(const char* text);  // Shift-JIS
    Variant(const wchar_t* text) : Variant() { m_value.vt = VT_BSTR; m_value.bstrVal = SysAllocString(text); }
    Variant(const Variant& other) : Variant() { VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value)); }
    Variant& operator=(const Variant& other)
    {
        VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value));
        return *this;
    }
    ~Variant() { VariantClear(&m_value); }

    static Variant Missing();
    VARIANT* Get() { return &m_value; }
    const VARIANT& Value() const { return m_value; }
    VARTYPE Type() const { return m_value.vt; }
    long AsLong() const;
    std::string AsText() const;  // Shift-JIS
    bool AsBool() const;
    IDispatch* AsDispatch() const { return m_value.vt == VT_DISPATCH ? m_value.pdispVal : nullptr; }

private:
    VARIANT m_value;
};

// The outcome of one IDispatch::Invoke.
struct CallResult {
    HRESULT hr = E_FAIL;
    Variant value;
    SCODE scode = 0;          // of the raised error, when hr is DISP_E_EXCEPTION
    std::string description;  // Shift-JIS
    std::wstring source;
    DWORD helpContext = 0;
    UINT argumentError = 0xFFFFFFFF;
};

DISPID DispIdOf(IDispatch* object, const wchar_t* name);
// Invokes by name; args in declaration order.
CallResult Call(IDispatch* object, const wchar_t* name, std::vector<Variant> args = {},
                WORD flags = DISPATCH_METHOD);
CallResult CallId(IDispatch* object, DISPID id, std::vector<Variant> args, WORD flags);
Variant Get(IDispatch* object, const wchar_t* name);
CallResult Put(IDispatch* object, const wchar_t* name, Variant value);

// A host-side COM object that lives on the test's stack: reference counts
// are not kept, and it answers IUnknown and its one interface.
template <class Interface, const IID& kInterfaceId>
class StackComObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == kInterfaceId) {
            *object = static_cast<Interface*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
};

// A new control of the registered module.
ComPtr<IDispatch> CreateControl();
ULONG RefCountOf(IUnknown* object);

// The module under test as a Windows path, beside the test executables.
std::wstring ModuleUnderTest();
