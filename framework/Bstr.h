// Owning BSTR and the one conversion between BSTR and Shift-JIS text.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

class CBstr {
public:
    CBstr() = default;
    explicit CBstr(const wchar_t* text) : m_bstr(text ? SysAllocString(text) : nullptr) {}
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    CBstr(CBstr&& other) noexcept : m_bstr(std::exchange(other.m_bstr, nullptr)) {}
    CBstr& operator=(CBstr&& other) noexcept
    {
        std::swap(m_bstr, other.m_bstr);
        return *this;
    }
    ~CBstr() { SysFreeString(m_bstr); }

    static CBstr Attach(BSTR bstr)
    {
        CBstr result;
        result.m_bstr = bstr;
        return result;
    }
    BSTR Get() const { return m_bstr; }
    BSTR Detach() { return std::exchange(m_bstr, nullptr); }
    BSTR* Put()
    {
        SysFreeString(std::exchange(m_bstr, nullptr));
        return &m_bstr;
    }

private:
    BSTR m_bstr = nullptr;
};

// Shift-JIS (code page 932) text of a BSTR; a null BSTR is the empty text.
std::string ShiftJisFromBstr(BSTR bstr);
// A new BSTR holding Shift-JIS text converted to UTF-16.
BSTR BstrFromShiftJis(std::string_view text);
