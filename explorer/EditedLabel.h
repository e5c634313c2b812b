// A finished label edit handed to the explorer's hook as Shift-JIS text.
#pragma once
#include "framework/CodePage932.h"

#include <windows.h>

#include <string>

// hook(const std::string* newText, bool* reject) gets null when the edit was
// cancelled. The result answers the end-of-edit notification: TRUE keeps
// the new label, FALSE brings the old one back.
template <class Hook>
LRESULT FinishLabelEdit(const wchar_t* text, Hook&& hook)
{
    bool reject = false;
    if (text) {
        const std::string label = ToShiftJis(text);
        hook(&label, &reject);
    } else {
        hook(nullptr, &reject);
    }
    return reject ? FALSE : TRUE;
}
