// A failed Internet library call: the Internet error number and the call's context.
#pragma once
#include "framework/Exception.h"

class CInternetException : public CException {
public:
    explicit CInternetException(DWORD error, DWORD_PTR context = 0);

    // The Internet library's own text for the number; for 12003 (the server
    // sent an error reply) followed by the server's last reply.
    BOOL GetErrorMessage(char* buffer, UINT size, UINT* helpContext = nullptr) const override;

    [[noreturn]] static void Throw(DWORD error, DWORD_PTR context = 0);

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
};
