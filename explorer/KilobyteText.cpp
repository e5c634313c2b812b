// A file size as the list shows it: whole kilobytes with "," grouping and "KB".
#include "explorer/KilobyteText.h"

#include <cstdlib>

std::string FormatKilobytes(ULONGLONG bytes)
{
    const std::string digits = std::to_string(bytes / 1024);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text + "KB";
}

bool ParseKilobytes(const std::string& text, ULONGLONG* kilobytes)
{
    std::string plain;
    for (char ch : text) {
        if (ch != ',')
            plain += ch;
    }
    if (plain.find("KB") == std::string::npos)
        return false;
    *kilobytes = std::strtoull(plain.c_str(), nullptr, 10);
    return true;
}
