// Lines of an FTP directory listing (Unix "ls -l" and DOS styles) as find data.
#pragma once
#include <windows.h>

#include <string>

// Reads one listing line into entry (name, size, directory bit, last write
// time taken as UTC); false for lines that are no entry ("total 12", blank,
// unknown styles). "now" decides the year of Unix dates given without one:
// the latest such date that is not more than a day ahead.
bool ParseListingLine(const std::string& line, const SYSTEMTIME& now, WIN32_FIND_DATAA& entry);

// Whether name matches a pattern of '*' and '?' (bytes; Shift-JIS names
// only meet these in their single-byte characters).
bool MatchesPattern(const char* pattern, const char* name);
