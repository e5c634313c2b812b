// Lines of an FTP directory listing (Unix "ls -l", DOS and machine-readable MLSD styles) as entries.
#include "ftp/ListingParser.h"

#include "ftp/ReplyParsers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Word {
    size_t start;
    size_t end;
};

// The first count words of line and where the rest begins (after one space).
std::vector<Word> Words(const std::string& line, size_t count, size_t& rest)
{
    std::vector<Word> words;
    size_t at = 0;
    while (words.size() < count) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        if (at == line.size())
            break;
        const size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t')
            ++at;
        words.push_back({start, at});
    }
    rest = at < line.size() ? at + 1 : at;
    return words;
}

bool AllDigits(const std::string& text)
{
    if (text.empty() || text.size() > 20)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int MonthNumber(const std::string& word)
{
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    if (word.size() != 3)
        return 0;
    for (int i = 0; i < 12; ++i) {
        if (_strnicmp(word.c_str(), kMonths[i], 3) == 0)
            return i + 1;
    }
    return 0;
}

bool SetTime(FtpEntry& entry, int year, int month, int day, int hour, int minute)
{
    if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59)
        return false;
    const auto word = [](int value) { return static_cast<WORD>(value); };
    SYSTEMTIME time = {word(year), word(month), 0, word(day), word(hour), word(minute), 0, 0};
    return SystemTimeToFileTime(&time, &entry.written) != FALSE;
}

bool SetName(FtpEntry& entry, const std::string& name)
{
    // A NUL would cut the name short: such a line is no entry. A name with
    // a slash is kept as a name; whoever uses it as a path refuses it.
    if (name.empty() || name.size() >= MAX_PATH || name.find('\0') != std::string::npos)
        return false;
    entry.name = name;
    return true;
}

unsigned long long Number(const std::string& digits)
{
    return std::strtoull(digits.c_str(), nullptr, 10);
}

// "drwxr-xr-x 2 owner group 4096 Feb 20 21:00 name", the group or the link
// count sometimes missing, "... Feb 20  2023 name" for older entries, and
// "name -> target" for links.
bool ParseUnixLine(const std::string& line, const SYSTEMTIME& now, FtpEntry& entry)
{
    const char kind = line[0];
    if (std::strchr("-dlbcps", kind) == nullptr || line.size() < 10)
        return false;
    size_t rest = 0;
    const std::vector<Word> words = Words(line, 9, rest);
    // Find the month: the size is the word before it, and day and time or
    // year follow it; the name is what comes after those.
    for (size_t m = 2; m + 2 < words.size(); ++m) {
        auto text = [&](size_t i) { return line.substr(words[i].start, words[i].end - words[i].start); };
        const int month = MonthNumber(text(m));
        const std::string size = text(m - 1);
        const int day = std::atoi(text(m + 1).c_str());
        const std::string timeOrYear = text(m + 2);
        if (month == 0 || !AllDigits(size) || day < 1 || day > 31)
            continue;
        // One space separates the name, which may hold spaces of its own.
        const size_t nameStart = words[m + 2].end + 1;
        if (nameStart >= line.size())
            return false;
        std::string name = line.substr(nameStart);
        if (kind == 'l') {
            const size_t arrow = name.find(" -> ");
            if (arrow != std::string::npos)
                name.erase(arrow);
        }
        int year = now.wYear;
        int hour = 0;
        int minute = 0;
        const size_t colon = timeOrYear.find(':');
        if (colon != std::string::npos) {
            hour = std::atoi(timeOrYear.substr(0, colon).c_str());
            minute = std::atoi(timeOrYear.substr(colon + 1).c_str());
            // No year: this year, unless that puts the date more than a day ahead.
            if (month * 32 + day > now.wMonth * 32 + now.wDay + 1)
                --year;
        } else if (AllDigits(timeOrYear)) {
            year = std::atoi(timeOrYear.c_str());
        } else {
            continue;
        }
        if (!SetName(entry, name) || !SetTime(entry, year, month, day, hour, minute))
            return false;
        entry.hasTimeOfDay = colon != std::string::npos;
        entry.kind = kind == 'd' ? FtpEntry::Kind::directory : kind == 'l' ? FtpEntry::Kind::link : FtpEntry::Kind::file;
        // A directory's listed size is that of its own record, not of what it holds.
        if (kind != 'd')
            entry.size = Number(size);
        // The link count follows the permissions when there are at least an
        // owner and a size besides it.
        if (m >= 4 && AllDigits(text(1)))
            entry.links = static_cast<unsigned>(std::min<unsigned long long>(Number(text(1)), 0xFFFFFFFFu));
        return true;
    }
    return false;
}

// "02-20-24  09:00PM       <DIR>          name" or "... 1234 name"; IIS
// puts the name at a fixed column, 22 characters after the time, so a name
// may begin with spaces of its own.
bool ParseDosLine(const std::string& line, FtpEntry& entry)
{
    size_t rest = 0;
    const std::vector<Word> words = Words(line, 3, rest);
    if (words.size() < 3)
        return false;
    const std::string date = line.substr(words[0].start, words[0].end - words[0].start);
    const std::string time = line.substr(words[1].start, words[1].end - words[1].start);
    const std::string sizeOrDir = line.substr(words[2].start, words[2].end - words[2].start);
    int month = 0, day = 0, year = 0, hour = 0, minute = 0;
    char half[3] = "";
    if (std::sscanf(date.c_str(), "%d-%d-%d", &month, &day, &year) != 3 || month < 1 || month > 12 || day < 1
        || day > 31)
        return false;
    if (std::sscanf(time.c_str(), "%d:%d%2s", &hour, &minute, half) < 2)
        return false;
    if (year < 100)
        year += year < 70 ? 2000 : 1900;
    if (_stricmp(half, "PM") == 0 && hour < 12)
        hour += 12;
    else if (_stricmp(half, "AM") == 0 && hour == 12)
        hour = 0;
    const bool directory = sizeOrDir == "<DIR>";
    if (!directory && !AllDigits(sizeOrDir))
        return false;
    // The name starts at IIS's column when the size column ends before it
    // with one space, else after the spaces that follow the size column.
    constexpr size_t kNameColumnAfterTime = 22;
    size_t nameStart = words[1].end + kNameColumnAfterTime;
    if (nameStart >= line.size() || words[2].end >= nameStart || line[nameStart - 1] != ' ') {
        nameStart = words[2].end;
        while (nameStart < line.size() && line[nameStart] == ' ')
            ++nameStart;
    }
    if (!SetName(entry, line.substr(nameStart)) || !SetTime(entry, year, month, day, hour, minute))
        return false;
    entry.hasTimeOfDay = true;
    if (!directory)
        entry.size = Number(sizeOrDir);
    entry.kind = directory ? FtpEntry::Kind::directory : FtpEntry::Kind::file;
    return true;
}

}  // namespace

bool ParseListingLine(const std::string& line, const SYSTEMTIME& now, FtpEntry& entry)
{
    entry = {};
    if (line.empty())
        return false;
    if (line[0] >= '0' && line[0] <= '9')
        return ParseDosLine(line, entry);
    return ParseUnixLine(line, now, entry);
}

bool ParseFactsLine(const std::string& line, FtpEntry& entry)
{
    entry = {};
    const size_t space = line.find(' ');
    return space != std::string::npos && ParseFacts(line.substr(0, space), entry)
        && SetName(entry, line.substr(space + 1));
}

bool ParseFacts(const std::string& facts, FtpEntry& entry)
{
    bool typed = false;
    bool timed = false;
    size_t start = 0;
    while (start < facts.size()) {
        size_t end = facts.find(';', start);
        if (end == std::string::npos)
            end = facts.size();
        const std::string fact = facts.substr(start, end - start);
        start = end + 1;
        const size_t equals = fact.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string name = fact.substr(0, equals);
        const std::string value = fact.substr(equals + 1);
        if (_stricmp(name.c_str(), "type") == 0) {
            typed = true;
            if (_stricmp(value.c_str(), "cdir") == 0 || _stricmp(value.c_str(), "pdir") == 0)
                return false;
            if (_stricmp(value.c_str(), "dir") == 0)
                entry.kind = FtpEntry::Kind::directory;
            else if (_strnicmp(value.c_str(), "OS.unix=slink", 13) == 0
                     || _stricmp(value.c_str(), "OS.unix=symlink") == 0)
                entry.kind = FtpEntry::Kind::link;
        } else if ((_stricmp(name.c_str(), "size") == 0 || _stricmp(name.c_str(), "sizd") == 0) && AllDigits(value)) {
            if (entry.kind != FtpEntry::Kind::directory)
                entry.size = Number(value);
        } else if (_stricmp(name.c_str(), "modify") == 0) {
            SYSTEMTIME utc;
            timed = TimeValue(value, utc) && SystemTimeToFileTime(&utc, &entry.written);
        }
    }
    if (entry.kind == FtpEntry::Kind::directory)
        entry.size = 0;
    entry.utc = timed;
    entry.hasTimeOfDay = timed;
    return typed;
}

bool MatchesPattern(const char* pattern, const char* name)
{
    // Iterative match with one backtrack point for the last '*'.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}
