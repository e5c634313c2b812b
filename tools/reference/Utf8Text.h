// UTF-8 text for the reference: from UTF-16, and from the type library's Shift-JIS strings.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

std::string Utf8FromWide(std::wstring_view text);

// A string of the type library as UTF-8. The library holds its help strings
// in Shift-JIS and the platform hands them out decoded with the system code
// page; they are taken back to those bytes and decoded as Shift-JIS, so the
// result does not depend on the system code page where that one is a
// single-byte page. Throws std::runtime_error when the text cannot be
// recovered that way (a UTF-8 system code page).
std::string Utf8FromLibraryText(BSTR text);
