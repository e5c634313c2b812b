// A bare listing of a local directory (FindFirstFileA / FindNextFileA): what the local disk takes to give its entries.
#include "bench/LocalListing.h"

#include <cstring>

ListingSample ListLocalDirectory(const BenchSetup& setup, const std::string& path)
{
    ListingSample sample;
    sample.tool = "findfile";
    const std::string pattern = path + "/*";
    long entries = 0;
    const TransferMeter meter(setup);
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        throw BenchError("FindFirstFile " + pattern + " failed (error " + std::to_string(GetLastError()) + ")");
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0)
            ++entries;
    } while (FindNextFileA(find, &entry));
    const DWORD ended = GetLastError();
    FindClose(find);
    StopMeter(meter, sample);
    if (ended != ERROR_NO_MORE_FILES)
        throw BenchError("FindNextFile failed (error " + std::to_string(ended) + ")");
    sample.entries = entries;
    return sample;
}
