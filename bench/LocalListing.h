// A bare listing of a local directory (FindFirstFileA / FindNextFileA): what the local disk takes to give its entries.
#pragma once
#include "bench/ListingCase.h"

// Lists "<path>/*" (path with its drive), timed from FindFirstFileA to the
// closed find handle; entries counts what came, "." and ".." left out.
ListingSample ListLocalDirectory(const BenchSetup& setup, const std::string& path);
