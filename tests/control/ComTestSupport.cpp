// Helpers for tests that drive COM objects the way a host does: variants, Invoke by name, creation.
#include "tests/control/ComTestSupport.h"

#include "control/WyFTPIds.h"

Variant::Variant(const char* text) : Variant()
{
    m_value.vt = VT_BSTR;
    m_value.bstrVal = BstrFromShiftJis(text);
}

Variant Variant::Missing()
{
    Variant missing;
    missing.m_value.vt = VT_ERROR;
    missing.m_value.scode = DISP_E_PARAMNOTFOUND;
    return missing;
}

long Variant::AsLong() const
{
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&m_value), 0, VT_I4)))
        return 0x7EADBEEF;
    return converted.lVal;
}

std::string Variant::AsText() const
{
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&m_value), 0, VT_BSTR)))
        return "<not text>";
    std::string text = ShiftJisFromBstr(converted.bstrVal);
    VariantClear(&converted);
    return text;
}

bool Variant::AsBool() const
{
    return m_value.vt == VT_BOOL && m_value.boolVal != VARIANT_FALSE;
}

DISPID DispIdOf(IDispatch* object, const wchar_t* name)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

CallResult CallId(IDispatch* object, DISPID id, std::vector<Variant> args, WORD flags)
{
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->Value());
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                         static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    CallResult result;
    EXCEPINFO exception = {};
    result.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.value.Get(), &exception,
                               &result.argumentError);
    if (result.hr == DISP_E_EXCEPTION) {
        result.scode = exception.scode;
        result.description = ShiftJisFromBstr(exception.bstrDescription);
        result.source = exception.bstrSource ? exception.bstrSource : L"";
        result.helpContext = exception.dwHelpContext;
    }
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    return result;
}

CallResult Call(IDispatch* object, const wchar_t* name, std::vector<Variant> args, WORD flags)
{
    return CallId(object, DispIdOf(object, name), std::move(args), flags);
}

Variant Get(IDispatch* object, const wchar_t* name)
{
    CallResult result = Call(object, name, {}, DISPATCH_PROPERTYGET);
    EXPECT_EQ(S_OK, result.hr) << "get " << ShiftJisFromBstr(CBstr(name).Get());
    return result.value;
}

CallResult Put(IDispatch* object, const wchar_t* name, Variant value)
{
    return Call(object, name, {std::move(value)}, DISPATCH_PROPERTYPUT);
}

ComPtr<IDispatch> CreateControl()
{
    ComPtr<IDispatch> control;
    const HRESULT hr = CoCreateInstance(CLSID_WyFTP, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                        reinterpret_cast<void**>(control.Put()));
    EXPECT_EQ(S_OK, hr) << "CoCreateInstance of the registered control";
    return control;
}

ULONG RefCountOf(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

std::wstring ModuleUnderTest()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module = path;
    // build/<arch>/tests/control/control_tests.exe → build/<arch>/control/WyFTP.ocx
    for (int i = 0; i < 3; ++i)
        module.erase(module.find_last_of(L'\\'));
    return module + L"\\control\\WyFTP.ocx";
}
