// Late-bound calls on the control as a host makes them: by name, through IDispatch::Invoke.
#include "bench/Automation.h"

#include "bench/TransferCase.h"
#include "framework/Bstr.h"

#include <cstdio>

Argument::Argument(long value)
{
    VariantInit(&m_value);
    m_value.vt = VT_I4;
    m_value.lVal = value;
}

Argument::Argument(bool value)
{
    VariantInit(&m_value);
    m_value.vt = VT_BOOL;
    m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Argument::Argument(const std::string& text)
{
    VariantInit(&m_value);
    m_value.vt = VT_BSTR;
    m_value.bstrVal = BstrFromShiftJis(text);
}

Argument::Argument(const Argument& other)
{
    VariantInit(&m_value);
    VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value));
}

Argument::~Argument()
{
    VariantClear(&m_value);
}

namespace {

std::string Hex(unsigned long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

std::string NameOf(const wchar_t* name)
{
    return ShiftJisFromBstr(CBstr(name).Get());
}

VARIANT Invoke(IDispatch* object, const wchar_t* name, WORD flags, const std::vector<Argument>& args)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        throw BenchError("the control has no member " + NameOf(name));
    // DISPPARAMS carries the arguments last to first.
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->Value());
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                         static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, put ? nullptr : &result,
                                      &exception, &argumentError);
    if (FAILED(hr)) {
        std::string message = NameOf(name) + " failed (hr " + Hex(static_cast<unsigned long>(hr));
        if (hr == DISP_E_EXCEPTION)
            message += ", scode " + Hex(static_cast<unsigned long>(exception.scode)) + ": "
                + ShiftJisFromBstr(exception.bstrDescription);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrHelpFile);
        throw BenchError(message + ")");
    }
    return result;
}

// Converts an Invoke result to text and clears it; "" when it does not convert.
std::string TakeText(VARIANT& result)
{
    VARIANT text;
    VariantInit(&text);
    const HRESULT hr = VariantChangeType(&text, &result, 0, VT_BSTR);
    VariantClear(&result);
    if (FAILED(hr))
        return "";
    std::string value = ShiftJisFromBstr(text.bstrVal);
    VariantClear(&text);
    return value;
}

}  // namespace

void CallMethod(IDispatch* object, const wchar_t* name, const std::vector<Argument>& args)
{
    VARIANT result = Invoke(object, name, DISPATCH_METHOD, args);
    VariantClear(&result);
}

void CallControlMethod(IDispatch* control, const wchar_t* name, const std::vector<Argument>& args)
{
    try {
        CallMethod(control, name, args);
    } catch (const BenchError& error) {
        throw BenchError(std::string(error.what()) + "; GetLastError " + CallForText(control, L"GetLastError")
                         + ": " + CallForText(control, L"GetErrorMessage"));
    }
}

std::string CallForText(IDispatch* object, const wchar_t* name)
{
    VARIANT result = Invoke(object, name, DISPATCH_METHOD, {});
    return TakeText(result);
}

bool CallForObject(IDispatch* object, const wchar_t* name, const std::vector<Argument>& args)
{
    VARIANT result = Invoke(object, name, DISPATCH_METHOD, args);
    const bool isObject = result.vt == VT_DISPATCH && result.pdispVal;
    VariantClear(&result);
    return isObject;
}

void PutProperty(IDispatch* object, const wchar_t* name, const Argument& value)
{
    VARIANT result = Invoke(object, name, DISPATCH_PROPERTYPUT, {value});
    VariantClear(&result);
}

std::string GetTextProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT result = Invoke(object, name, DISPATCH_PROPERTYGET, {});
    return TakeText(result);
}

ComPtr<IDispatch> NewRegisteredControl()
{
    CLSID clsid;
    ComPtr<IDispatch> control;
    if (FAILED(CLSIDFromProgID(L"WyFTP.WyFTPCtrl.1", &clsid))
        || FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(control.Put()))))
        throw BenchError("the control is not registered");
    return control;
}
