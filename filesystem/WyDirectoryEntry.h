// One entry of a directory listing, and the list that a listing appends entries to.
#pragma once
#include <windows.h>

#include <string>

struct CWyDirectoryEntry {
    // The values of the type library's file type.
    static constexpr LONG kDirectory = 0;
    static constexpr LONG kFile = 1;

    std::string name;          // name only, no directory part
    LONG type = kFile;
    DWORD size = 0;            // low 32 bits of the length in bytes
    ULONGLONG length = 0;      // the whole length in bytes
    DATE lastWriteTime = 0.0;  // local time
    // How many subdirectories a directory holds, where the listing tells
    // (a Unix link count); -1 when it does not.
    int subdirectories = -1;
    // A link the listing did not follow: length is the link's own, not
    // its target's.
    bool unresolvedLink = false;
};

// Receives the entries of a listing in the order the platform's finder
// returns them. The control's file collection implements it.
class CWyFileList {
public:
    virtual void AddEntry(const CWyDirectoryEntry& entry) = 0;

protected:
    ~CWyFileList() = default;
};
