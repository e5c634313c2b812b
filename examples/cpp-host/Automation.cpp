// Calling an automation object through IDispatch by member name, and the text conversions a Shift-JIS host needs.
#include "Automation.h"

#include <utility>
#include <vector>

std::string Narrow(const wchar_t* text)
{
    if (!text || !*text)
        return {};
    const int length = WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(932, 0, text, -1, result.data(), length, nullptr, nullptr);
    result.resize(static_cast<size_t>(length - 1));
    return result;
}

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(932, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(932, 0, text.c_str(), -1, result.data(), length);
    result.resize(static_cast<size_t>(length - 1));
    return result;
}

namespace {

// The variant functions only read their source; some SDK headers declare
// it without const.
VARIANT* Source(const VARIANT& value)
{
    return const_cast<VARIANT*>(&value);
}

}  // namespace

Variant::Variant(const std::wstring& text) : Variant()
{
    m_value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (m_value.bstrVal)
        m_value.vt = VT_BSTR;
}

Variant::Variant(long number) : Variant()
{
    m_value.vt = VT_I4;
    m_value.lVal = number;
}

Variant::Variant(const Variant& other) : Variant()
{
    VariantCopy(&m_value, Source(other.m_value));
}

Variant Variant::CopyOf(const VARIANT& value)
{
    Variant copy;
    VariantCopy(&copy.m_value, Source(value));
    return copy;
}

Variant::Variant(Variant&& other) noexcept : m_value(other.m_value)
{
    VariantInit(&other.m_value);
}

Variant& Variant::operator=(Variant other) noexcept
{
    std::swap(m_value, other.m_value);
    return *this;
}

VARIANT* Variant::Put()
{
    VariantClear(&m_value);
    return &m_value;
}

std::string Variant::AsText() const
{
    Variant text;
    if (FAILED(VariantChangeType(text.Put(), Source(m_value), 0, VT_BSTR)))
        return {};
    return Narrow(text.m_value.bstrVal);
}

long Variant::AsLong() const
{
    Variant number;
    if (FAILED(VariantChangeType(number.Put(), Source(m_value), 0, VT_I4)))
        return 0;
    return number.m_value.lVal;
}

Result Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::initializer_list<Variant> args)
{
    Result result;
    if (!object) {
        result.hr = E_POINTER;
        return result;
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    result.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result.hr))
        return result;
    // DISPPARAMS runs last to first; the arguments stay owned by args.
    std::vector<VARIANT> reversed;
    for (auto arg = std::rbegin(args); arg != std::rend(args); ++arg)
        reversed.push_back(arg->Get());
    DISPID put = DISPID_PROPERTYPUT;
    const bool isPut = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params = {reversed.data(), isPut ? &put : nullptr, static_cast<UINT>(reversed.size()), isPut ? 1u : 0u};
    EXCEPINFO exception = {};
    result.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, isPut ? nullptr : result.value.Put(),
                               &exception, nullptr);
    if (result.hr == DISP_E_EXCEPTION && exception.bstrDescription)
        result.description = exception.bstrDescription;
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    return result;
}

Result Call(IDispatch* object, const wchar_t* method, std::initializer_list<Variant> args)
{
    return Invoke(object, method, DISPATCH_METHOD, args);
}

Result Get(IDispatch* object, const wchar_t* property, std::initializer_list<Variant> args)
{
    return Invoke(object, property, DISPATCH_PROPERTYGET, args);
}

void Set(IDispatch* object, const wchar_t* property, const Variant& value)
{
    Invoke(object, property, DISPATCH_PROPERTYPUT, {value});
}
