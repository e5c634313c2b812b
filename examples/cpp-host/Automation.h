// Calling an automation object through IDispatch by member name, and the text conversions a Shift-JIS host needs.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <initializer_list>
#include <string>

// The control speaks UTF-16 BSTRs; this host prints Shift-JIS (code page 932).
std::string Narrow(const wchar_t* text);
std::wstring Wide(const std::string& text);

// A VARIANT that clears what it holds when it goes.
class Variant {
public:
    Variant() { VariantInit(&m_value); }
    explicit Variant(const std::wstring& text);
    explicit Variant(long number);
    static Variant CopyOf(const VARIANT& value);
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant other) noexcept;
    ~Variant() { VariantClear(&m_value); }

    const VARIANT& Get() const { return m_value; }
    VARIANT* Put();  // clears first, for a call that fills it
    std::string AsText() const;  // any value, converted as VARIANT_BSTR does, in Shift-JIS
    long AsLong() const;
    IDispatch* AsDispatch() const { return m_value.vt == VT_DISPATCH ? m_value.pdispVal : nullptr; }

private:
    VARIANT m_value;
};

inline Variant Text(const std::wstring& text) { return Variant(text); }
inline Variant Number(long number) { return Variant(number); }

// What a call returned: its status, its value, and the description an
// automation error carries.
struct Result {
    HRESULT hr = S_OK;
    Variant value;
    std::wstring description;
};

Result Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::initializer_list<Variant> args);
Result Call(IDispatch* object, const wchar_t* method, std::initializer_list<Variant> args = {});
Result Get(IDispatch* object, const wchar_t* property, std::initializer_list<Variant> args = {});
void Set(IDispatch* object, const wchar_t* property, const Variant& value);
