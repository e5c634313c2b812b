// Base of every exception the program throws: thrown by value, caught by reference.
#pragma once
#include <windows.h>

class CException {
public:
    virtual ~CException() = default;

    // Writes the exception's own zero-terminated text into buffer (at most
    // size bytes) and its help context into helpContext when given.
    // Returns FALSE, with an empty buffer, when it has no text.
    virtual BOOL GetErrorMessage(char* buffer, UINT size, UINT* helpContext = nullptr) const;

protected:
    static BOOL CopyMessage(const char* text, char* buffer, UINT size);
};
