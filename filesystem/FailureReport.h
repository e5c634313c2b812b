// How a failure reaches the host: the one place where an exception becomes a status code, a category and a last error.
#pragma once
#include <windows.h>

#include <string>

class CException;

struct CWyFailure {
    SCODE status;        // WyFTPScode*: file, Internet, the control's own, other
    UINT categoryId;     // the string resource of its category: the automation error's description
    bool recorded;       // code and message become GetLastError's and GetErrorMessage's answers
    long code;
    std::string message;
    UINT helpContext;
};

// File errors (the platform's number and text), Internet errors (the
// number; the server's reply for 12003), the control's own (its code and
// message); anything else is an "other" failure that records nothing.
CWyFailure ClassifyFailure(const CException& error);
// A failure that is no exception of ours (the runtime's out of memory).
CWyFailure OtherFailure();
