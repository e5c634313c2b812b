// Lead-byte aware byte operations on Shift-JIS (code page 932) text.
#pragma once
#include <string>
#include <string_view>

// A trail byte may be 0x5C or an ASCII letter (表 is 0x95 0x5C), so every
// operation that looks at single bytes of a name walks the text character by
// character instead of byte by byte.
namespace ShiftJis {

bool IsLeadByte(unsigned char byte);
bool IsTrailByte(unsigned char byte);

// Index just past the character that starts at index. A lead byte at the end
// of the text, or one not followed by a trail byte, counts as a character of
// its own, so broken text never swallows the byte after it.
size_t NextCharIndex(std::string_view text, size_t index);

// Index of the first single-byte character ch at or after from, or npos.
size_t FindFirst(std::string_view text, char ch, size_t from = 0);

// Index of the last single-byte character ch, or npos.
size_t FindLast(std::string_view text, char ch);

// Replaces every single-byte character from with to.
void ReplaceAll(std::string& text, char from, char to);

// True when the last character of the text is the single-byte character ch.
bool EndsWithChar(std::string_view text, char ch);

// ASCII letters upper-cased; double-byte characters untouched.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

// Case-insensitive comparison (ASCII letters folded to lower case, as the
// platform's multibyte comparison does): negative, 0 or positive.
int CompareNoCase(std::string_view a, std::string_view b);

}  // namespace ShiftJis
