// Lines of an FTP directory listing (Unix "ls -l", DOS and machine-readable MLSD styles) as entries.
#pragma once
#include "ftp/FtpEntry.h"

#include <windows.h>

#include <string>

// Reads one LIST line into entry (name, kind, size, link count, the time as
// listed); false for lines that are no entry ("total 12", blank, unknown
// styles). "now" decides the year of Unix dates given without one: the
// latest such date that is not more than a day ahead.
bool ParseListingLine(const std::string& line, const SYSTEMTIME& now, FtpEntry& entry);

// Reads one MLSD line ("type=file;size=5;modify=20240101120000; name") into
// entry, its time exact UTC; false for the directory itself and its parent
// ("cdir", "pdir") and for lines that are no entry. The name is what
// follows the first space, spaces of its own included.
bool ParseFactsLine(const std::string& line, FtpEntry& entry);
// The facts of such a line alone ("type=file;size=5;"): the kind, size and
// time of entry, whose name stays as it is; false without a type, or for
// the directory itself or its parent.
bool ParseFacts(const std::string& facts, FtpEntry& entry);

// Whether name matches a pattern of '*' and '?' (bytes; Shift-JIS names
// only meet these in their single-byte characters).
bool MatchesPattern(const char* pattern, const char* name);
