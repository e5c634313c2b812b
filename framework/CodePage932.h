// Conversions between UTF-16 and Shift-JIS (code page 932) and Shift-JIS resource strings.
#pragma once
#include <windows.h>
#include <string>
#include <string_view>

// Code page 932 explicitly, not the system code page, so that Japanese text
// stays right whatever locale the host process runs under.
std::string ToShiftJis(std::wstring_view text);
std::wstring ToWide(std::string_view text);

// String resource of this module as Shift-JIS text; empty when it is missing.
std::string LoadResourceString(UINT id);
