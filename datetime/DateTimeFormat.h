// Pattern-driven formatting of date-time values: named formats, letter tokens, Japanese eras.
#pragma once
#include "framework/OleDateTime.h"

#include <string>

// Formats value under pattern into result (at most 128 bytes) and returns
// result. dayStartHour moves the start of the day: times before it count to
// the previous day (the "HX" token then shows 24 to 47). A null pattern
// gives an empty result.
std::string& FormatDateTime(std::string& result, const COleDateTime& value, const char* pattern,
                            LCID locale, WORD dayStartHour);

// Formats one token into destination (destinationSize bytes including the
// terminating zero). Returns the bytes written including the zero, or 0 when
// the token is unknown or nothing fits.
int FormatDateTimeToken(const COleDateTime& value, const char* token, char* destination,
                        int destinationSize, LCID locale, WORD dayStartHour);
