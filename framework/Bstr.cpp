// Owning BSTR and the one conversion between BSTR and Shift-JIS text.
#include "framework/Bstr.h"

#include "framework/CodePage932.h"

std::string ShiftJisFromBstr(BSTR bstr)
{
    if (!bstr)
        return {};
    return ToShiftJis(std::wstring_view(bstr, SysStringLen(bstr)));
}

BSTR BstrFromShiftJis(std::string_view text)
{
    const std::wstring wide = ToWide(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}
