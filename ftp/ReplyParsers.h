// What a server's replies say: passive ports, quoted paths, sizes, modification times, features.
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

// The port of "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)". Only the
// port is taken: the data connection goes to the server the control
// connection reached, whatever address the reply names.
bool PassivePort(const std::string& reply, WORD& port);
// The port of "229 Entering Extended Passive Mode (|||port|)".
bool ExtendedPassivePort(const std::string& reply, WORD& port);
// The path of a "257" reply: between the first quote and the quote that
// closes it, a doubled quote standing for one.
bool QuotedPath(const std::string& reply, std::string& path);
// The size of "213 12345".
bool SizeValue(const std::string& reply, ULONGLONG& size);
// The size a server names as it starts a transfer, at the end of a line:
// "150 Opening BINARY mode data connection for f (1234 bytes)."
bool AnnouncedSize(const std::string& reply, ULONGLONG& size);
// A time "YYYYMMDDHHMMSS[.fff]" (UTC, as MDTM and MLSD give it); a leap
// second is read as the second before; false for a time no calendar has.
bool TimeValue(const std::string& text, SYSTEMTIME& utc);
// The time of "213 YYYYMMDDHHMMSS[.fff]".
bool ModificationTime(const std::string& reply, SYSTEMTIME& utc);
// The lines of a reply or a listing, without their line ends (CR LF or LF).
std::vector<std::string> SplitLines(const std::string& text);
// The features a "211-" FEAT reply lists, one per inner line, upper-cased
// names with their arguments ("UTF8", "MLST TYPE*;SIZE*;MODIFY*;").
std::set<std::string> FeatureList(const std::string& reply);
