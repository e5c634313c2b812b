// A bare WinInet listing on its own connection: what the platform's library takes to bring a directory's entries.
#include "bench/WinInetListing.h"

#include "bench/InternetHandle.h"

#include <cstring>

namespace {

bool IsDots(const WIN32_FIND_DATAA& entry)
{
    return std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0;
}

}  // namespace

ListingSample ListWithWinInet(const BenchSetup& setup, const std::string& directory)
{
    ListingSample sample;
    sample.tool = "wininet";
    sample.directory = directory;
    const std::string pattern = directory + "/*";
    InternetHandle session = OpenSession();
    InternetHandle connection = ConnectFtp(session, setup, true);
    long entries = 0;
    const TransferMeter meter(setup);
    WIN32_FIND_DATAA entry;
    const std::string call = "FtpFindFirstFile " + pattern;
    InternetHandle find(FtpFindFirstFileA(connection.Get(), pattern.c_str(), &entry, INTERNET_FLAG_RELOAD, 0),
                        call.c_str());
    do {
        if (!IsDots(entry))
            ++entries;
    } while (InternetFindNextFileA(find.Get(), &entry));
    const DWORD ended = GetLastError();
    find.Close();
    StopMeter(meter, sample);
    if (ended != ERROR_NO_MORE_FILES)
        throw BenchError("InternetFindNextFile failed (error " + std::to_string(ended) + ")");
    sample.entries = entries;
    return sample;
}
