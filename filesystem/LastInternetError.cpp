// The thread's last Internet library error, raised as CInternetException.
#include "filesystem/LastInternetError.h"

#include "filesystem/SystemErrorText.h"
#include "framework/InternetException.h"

void ThrowLastInternetError()
{
    DWORD code = 0xFFFFFFFF;
    char text[1024] = "";
    FormatSystemErrorText(code, text, sizeof text);
    throw CInternetException(code, 0);
}
