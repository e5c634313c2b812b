// A failed Internet operation: the Internet library's error number, and the server's reply when one explains it.
#pragma once
#include "framework/Exception.h"

#include <string>

class CInternetException : public CException {
public:
    // serverReply: the server's error reply for 12003 (every line, in the
    // control's text); empty for every other number.
    explicit CInternetException(DWORD error, std::string serverReply = {});

    // The server's reply for 12003; otherwise the Internet library's own
    // text for the number.
    BOOL GetErrorMessage(char* buffer, UINT size, UINT* helpContext = nullptr) const override;

    DWORD m_dwError;
    std::string m_strServerReply;  // Shift-JIS; empty when the error is no server reply
};
