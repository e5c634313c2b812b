// A directory listing read over a data connection and parsed into entries.
#pragma once
#include "ftp/FtpError.h"

#include <windows.h>

#include <string>
#include <vector>

class CFtpSession;

// A listing larger than this is refused rather than held: no directory a
// person browses comes near it.
inline constexpr size_t kMaxListingBytes = 256u * 1024 * 1024;

// Lists argument (control text; "" for the working directory) with LIST
// and parses every line; names come back in the control's text. The
// listing counts only when the server's final reply confirms it: cutOff
// tells a listing that failed once started (ended by an error reply such
// as 426, by none, or out of time) from one the server refused outright.
FtpError ReadListing(CFtpSession& session, const std::string& argument, std::vector<WIN32_FIND_DATAA>& entries,
                     bool& cutOff);
