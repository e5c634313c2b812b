// What a server's replies say: passive ports, quoted paths, sizes, modification times, features.
#include "ftp/ReplyParsers.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The number of count digits at text[at], or -1.
int Digits(const std::string& text, size_t at, size_t count)
{
    if (at + count > text.size())
        return -1;
    int value = 0;
    for (size_t index = at; index < at + count; ++index) {
        if (!IsDigit(text[index]))
            return -1;
        value = value * 10 + (text[index] - '0');
    }
    return value;
}

}  // namespace

bool PassivePort(const std::string& reply, WORD& port)
{
    for (size_t at = 4; at < reply.size(); ++at) {
        unsigned values[6];
        if (!IsDigit(reply[at]))
            continue;
        if (std::sscanf(reply.c_str() + at, "%u,%u,%u,%u,%u,%u", &values[0], &values[1], &values[2], &values[3],
                        &values[4], &values[5])
            == 6) {
            if (values[4] > 255 || values[5] > 255)
                return false;
            port = static_cast<WORD>(values[4] * 256 + values[5]);
            return port != 0;
        }
        return false;
    }
    return false;
}

bool ExtendedPassivePort(const std::string& reply, WORD& port)
{
    const size_t open = reply.find("(|||");
    if (open == std::string::npos)
        return false;
    const unsigned long value = std::strtoul(reply.c_str() + open + 4, nullptr, 10);
    if (value == 0 || value > 65535)
        return false;
    port = static_cast<WORD>(value);
    return true;
}

bool QuotedPath(const std::string& reply, std::string& path)
{
    const size_t open = reply.find('"');
    if (open == std::string::npos)
        return false;
    path.clear();
    for (size_t at = open + 1; at < reply.size(); ++at) {
        if (reply[at] != '"') {
            path += reply[at];
            continue;
        }
        if (at + 1 < reply.size() && reply[at + 1] == '"') {
            path += '"';
            ++at;
            continue;
        }
        return true;
    }
    return false;
}

bool SizeValue(const std::string& reply, ULONGLONG& size)
{
    if (reply.compare(0, 4, "213 ") != 0 || reply.size() < 5 || !IsDigit(reply[4]))
        return false;
    size = std::strtoull(reply.c_str() + 4, nullptr, 10);
    return true;
}

bool AnnouncedSize(const std::string& reply, ULONGLONG& size)
{
    // The last "(N bytes)" that ends a line: a name may hold one too.
    bool found = false;
    for (size_t open = reply.find('('); open != std::string::npos; open = reply.find('(', open + 1)) {
        size_t end = open + 1;
        while (end < reply.size() && IsDigit(reply[end]))
            ++end;
        constexpr char kUnit[] = " bytes)";
        constexpr size_t kUnitLength = sizeof kUnit - 1;
        // 19 digits fit in 64 bits.
        if (end == open + 1 || end - open - 1 > 19 || _strnicmp(reply.c_str() + end, kUnit, kUnitLength) != 0)
            continue;
        size_t after = end + kUnitLength;
        while (after < reply.size() && (reply[after] == '.' || reply[after] == ' '))
            ++after;
        if (after < reply.size() && reply[after] != '\r' && reply[after] != '\n')
            continue;
        size = std::strtoull(reply.c_str() + open + 1, nullptr, 10);
        found = true;
    }
    return found;
}

bool TimeValue(const std::string& text, SYSTEMTIME& utc)
{
    const int year = Digits(text, 0, 4);
    const int month = Digits(text, 4, 2);
    const int day = Digits(text, 6, 2);
    const int hour = Digits(text, 8, 2);
    const int minute = Digits(text, 10, 2);
    const int second = Digits(text, 12, 2);
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0
        || minute > 59 || second < 0 || second > 60)
        return false;
    int milliseconds = 0;
    if (text.size() > 15 && text[14] == '.') {
        // Fractions of a second: as many digits as the server gives, read to milliseconds.
        int scale = 100;
        for (size_t at = 15; at < text.size() && IsDigit(text[at]); ++at, scale /= 10)
            milliseconds += (text[at] - '0') * scale;
    }
    utc = {};
    utc.wYear = static_cast<WORD>(year);
    utc.wMonth = static_cast<WORD>(month);
    utc.wDay = static_cast<WORD>(day);
    utc.wHour = static_cast<WORD>(hour);
    utc.wMinute = static_cast<WORD>(minute);
    utc.wSecond = static_cast<WORD>(second == 60 ? 59 : second);  // a leap second is the second before
    utc.wMilliseconds = static_cast<WORD>(milliseconds);
    // The day must exist in its month (no 30th of February).
    FILETIME checked;
    return SystemTimeToFileTime(&utc, &checked) != FALSE;
}

bool ModificationTime(const std::string& reply, SYSTEMTIME& utc)
{
    return reply.compare(0, 4, "213 ") == 0 && TimeValue(reply.substr(4), utc);
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        if (!lines.back().empty() && lines.back().back() == '\r')
            lines.back().pop_back();
        start = end + 1;
    }
    return lines;
}

std::set<std::string> FeatureList(const std::string& reply)
{
    std::set<std::string> features;
    if (reply.compare(0, 4, "211-") != 0)
        return features;
    for (std::string line : SplitLines(reply)) {
        // Features are the lines that begin with a space; "211-" and the
        // closing "211 " are none.
        const size_t first = line.find_first_not_of(' ');
        if (line.empty() || line[0] != ' ' || first == std::string::npos)
            continue;
        line.erase(0, first);
        const size_t nameEnd = line.find(' ');
        for (size_t at = 0; at < line.size() && at < nameEnd; ++at)
            line[at] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[at])));
        features.insert(line);
    }
    return features;
}
