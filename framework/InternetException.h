// A failed Internet library call: the Internet error number and the call's context.
#pragma once
#include "framework/Exception.h"

#include <string>

class CInternetException : public CException {
public:
    // For 12003 (the server sent an error reply) the reply is read at once:
    // clean-up on the way to the handler (closing the other end of a relay,
    // say) makes later replies on the thread replace it.
    explicit CInternetException(DWORD error, DWORD_PTR context = 0);

    // The server's reply for 12003; otherwise the Internet library's own
    // text for the number.
    BOOL GetErrorMessage(char* buffer, UINT size, UINT* helpContext = nullptr) const override;

    [[noreturn]] static void Throw(DWORD error, DWORD_PTR context = 0);

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
    std::string m_strServerReply;  // Shift-JIS; empty when the error is no server reply
};
