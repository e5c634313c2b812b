// One entry of a directory listing as a server describes it.
#pragma once
#include <windows.h>

#include <string>

struct FtpEntry {
    enum class Kind {
        file,
        directory,
        link,  // a symbolic link whose listing does not say what it leads to
    };

    std::string name;  // name only, as the listing gives it
    Kind kind = Kind::file;
    ULONGLONG size = 0;   // a directory's listed size is not kept
    FILETIME written = {};
    bool utc = false;           // written is exact UTC (MLSD, MLST) rather than the server's clock
    bool hasTimeOfDay = false;  // Unix lines of older entries give the year only
    unsigned links = 0;         // the Unix link count; 0 when the listing has none
};
