// The thread's last Internet library error, as a number and raised as CInternetException.
#include "filesystem/LastInternetError.h"

#include "filesystem/SystemErrorText.h"
#include "framework/InternetException.h"

#include <wininet.h>

#include <vector>

DWORD GetLastInternetError()
{
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNET_EXTENDED_ERROR)
        return error;
    std::vector<char> reply(1024);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD replyError = 0;
        DWORD length = static_cast<DWORD>(reply.size());
        if (InternetGetLastResponseInfoA(&replyError, reply.data(), &length))
            return replyError != 0 ? replyError : error;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        reply.resize(static_cast<size_t>(length) + 1);
    }
    return error;
}

void ThrowLastInternetError()
{
    DWORD code = 0xFFFFFFFF;
    char text[1024] = "";
    FormatSystemErrorText(code, text, sizeof text);
    throw CInternetException(code, 0);
}
