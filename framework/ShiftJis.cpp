// Lead-byte aware byte operations on Shift-JIS (code page 932) text.
#include "framework/ShiftJis.h"

namespace ShiftJis {

bool IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte)
{
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

size_t NextCharIndex(std::string_view text, size_t index)
{
    if (index + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[index]))
        && IsTrailByte(static_cast<unsigned char>(text[index + 1])))
        return index + 2;
    return index + 1;
}

size_t FindFirst(std::string_view text, char ch, size_t from)
{
    // Start from a character boundary at or after from.
    size_t i = 0;
    while (i < from)
        i = NextCharIndex(text, i);
    for (; i < text.size(); i = NextCharIndex(text, i)) {
        if (text[i] == ch)
            return i;
    }
    return std::string_view::npos;
}

size_t FindLast(std::string_view text, char ch)
{
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < text.size(); i = NextCharIndex(text, i)) {
        if (text[i] == ch)
            found = i;
    }
    return found;
}

void ReplaceAll(std::string& text, char from, char to)
{
    for (size_t i = 0; i < text.size(); i = NextCharIndex(text, i)) {
        if (text[i] == from)
            text[i] = to;
    }
}

bool EndsWithChar(std::string_view text, char ch)
{
    if (text.empty())
        return false;
    size_t last = 0;
    for (size_t i = 0; i < text.size(); i = NextCharIndex(text, i))
        last = i;
    return last == text.size() - 1 && text[last] == ch;
}

std::string ToUpper(std::string_view text)
{
    std::string upper(text);
    for (size_t i = 0; i < upper.size(); i = NextCharIndex(upper, i)) {
        if (upper[i] >= 'a' && upper[i] <= 'z')
            upper[i] = static_cast<char>(upper[i] - 'a' + 'A');
    }
    return upper;
}

std::string ToLower(std::string_view text)
{
    std::string lower(text);
    for (size_t i = 0; i < lower.size(); i = NextCharIndex(lower, i)) {
        if (lower[i] >= 'A' && lower[i] <= 'Z')
            lower[i] = static_cast<char>(lower[i] - 'A' + 'a');
    }
    return lower;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    // Byte order of the lower-cased text is the order of the characters:
    // a double-byte character compares by its lead byte, then its trail byte.
    const std::string left = ToLower(a);
    const std::string right = ToLower(b);
    return left.compare(right) < 0 ? -1 : (left == right ? 0 : 1);
}

}  // namespace ShiftJis
