// Names between the control's Shift-JIS and a server's UTF-8.
#pragma once
#include <string>
#include <string_view>

// The mark shown for a character that Shift-JIS does not have: "〓".
inline constexpr char kReplacementMark[] = "\x81\xAC";

// UTF-8 text (invalid sequences included) as Shift-JIS; every character
// code page 932 cannot hold becomes kReplacementMark and sets lossy.
std::string Utf8ToShiftJis(std::string_view text, bool& lossy);
std::string ShiftJisToUtf8(std::string_view text);
