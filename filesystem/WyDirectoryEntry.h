// One entry of a directory listing, and the list that a listing appends entries to.
#pragma once
#include <windows.h>

#include <string>

enum WyFTPFileType : LONG { WyFTPFileTypeDir = 0, WyFTPFileTypeFile = 1 };

struct CWyDirectoryEntry {
    std::string name;          // name only, no directory part
    LONG type = WyFTPFileTypeFile;
    DWORD size = 0;            // low 32 bits of the length in bytes
    DATE lastWriteTime = 0.0;  // local time
};

// Receives the entries of a listing in the order the platform's finder
// returns them. The control's file collection implements it.
class CWyFileList {
public:
    virtual void AddEntry(const CWyDirectoryEntry& entry) = 0;

protected:
    ~CWyFileList() = default;
};
