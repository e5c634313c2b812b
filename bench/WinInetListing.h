// A bare WinInet listing on its own connection: what the platform's library takes to bring a directory's entries.
#pragma once
#include "bench/ListingCase.h"

// FtpFindFirstFileA on "<directory>/*" with INTERNET_FLAG_RELOAD (as the
// control lists), InternetFindNextFileA to the end, the find handle closed:
// timed. The session and the connection (passive mode, as the latency
// proxy forwards only passive data connections) are opened for each
// listing, untimed: the server ends a connection left idle between listings. Entries counts what came, "." and
// ".." left out.
ListingSample ListWithWinInet(const BenchSetup& setup, const std::string& directory);
