// An automation error raised by a method: it leaves Invoke as DISP_E_EXCEPTION with its EXCEPINFO.
#pragma once
#include "framework/Exception.h"

#include <string>

class COleDispatchException : public CException {
public:
    COleDispatchException(SCODE scode, std::string description, UINT helpContext)
        : m_scode(scode), m_strDescription(std::move(description)), m_dwHelpContext(helpContext) {}

    SCODE m_scode;
    std::string m_strDescription;  // Shift-JIS
    UINT m_dwHelpContext;
};
