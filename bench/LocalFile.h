// One owned local file of the benchmark's loops: opened, read or written a chunk at a time, closed.
#pragma once
#include <windows.h>

#include <string>

class LocalFile {
public:
    // Opens path for reading, or creates it (empty) for writing.
    LocalFile(const std::string& path, bool write);
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    ~LocalFile() { Close(); }

    // Up to size bytes; 0 at the end.
    DWORD Read(char* buffer, DWORD size);
    void Write(const char* data, DWORD size);
    void Close();

private:
    HANDLE m_handle;
};
