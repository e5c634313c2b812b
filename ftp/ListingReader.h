// A directory listing read over a data connection and parsed into entries.
#pragma once
#include "ftp/FtpEntry.h"
#include "ftp/FtpError.h"

#include <optional>
#include <string>
#include <vector>

class CFtpSession;

// A listing larger than this is refused rather than held: no directory a
// person browses comes near it.
inline constexpr size_t kMaxListingBytes = 256u * 1024 * 1024;
// Links whose kind a LIST leaves open are asked about one by one, up to
// this many in one listing; the rest stay links.
inline constexpr size_t kMostLinksResolved = 64;

// Lists directory (an absolute path in the control's text) the way every
// server understands: MLSD when the server offers MLST, else LIST without
// an argument inside the directory (servers read a LIST argument as "ls"
// options or list a link as itself), returning to the working directory
// afterwards. Names come back in the control's text. Links to directories
// come back as directories and links to files as files with the target's
// size, where the server tells (SIZE answers only for files; a link it
// refuses, a broken one included, is taken for a directory). LIST times
// are corrected by the server's offset from UTC, learned once per session
// from the MDTM of one listed file; a date given alone is the server's
// midnight. The listing counts only when the
// server's final reply confirms it: refused is a directory the server
// refused outright (no such directory); one that failed once started is
// brokenOff (an error reply such as 426) or the session's failure.
FtpError ListDirectory(CFtpSession& session, const std::string& directory, std::vector<FtpEntry>& entries);

// The entry of one path by MLST, when the server offers it; entry stays
// empty (and no command is sent) otherwise, or when the server refuses.
FtpError DescribePath(CFtpSession& session, const std::string& path, std::optional<FtpEntry>& entry);

// directory + "/" + name, without a doubled slash.
std::string JoinFtpPath(const std::string& directory, const std::string& name);
