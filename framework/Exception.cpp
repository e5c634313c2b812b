// Base of every exception the program throws.
#include "framework/Exception.h"

#include <cstring>

BOOL CException::GetErrorMessage(char* buffer, UINT size, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    if (buffer && size > 0)
        buffer[0] = '\0';
    return FALSE;
}

BOOL CException::CopyMessage(const char* text, char* buffer, UINT size)
{
    if (!buffer || size == 0)
        return FALSE;
    // Cut at a character boundary so a Shift-JIS pair is never split.
    UINT length = 0;
    while (text[length] != '\0') {
        const UINT charLength = (IsDBCSLeadByteEx(932, static_cast<BYTE>(text[length])) && text[length + 1]) ? 2 : 1;
        if (length + charLength >= size)
            break;
        length += charLength;
    }
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return length > 0;
}
