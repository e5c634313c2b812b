// English meanings of every error number hosts receive: the one place the reference takes them from.
#pragma once
#include <windows.h>

#include <vector>

// One of the four status codes a failed call or the Error event carries.
struct StatusMeaning {
    SCODE status;
    UINT categoryId;  // string resource of its category, the error's description
    const char* meaning;
    const char* lastError;  // what GetLastError() answers afterwards
};

// One error number GetLastError() answers.
struct NumberMeaning {
    long number;
    const char* name;  // the platform's name; empty for the control's own numbers, named by the type library
    const char* meaning;
};

const std::vector<StatusMeaning>& StatusMeanings();
// The control's own numbers (status 0x800A03EA).
const std::vector<NumberMeaning>& OwnErrorMeanings();
// The Internet library's numbers and the few Windows numbers reported with them (status 0x800A03E9).
const std::vector<NumberMeaning>& InternetErrorMeanings();
