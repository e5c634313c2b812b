// One owned local file of the benchmark's loops: opened, read or written a chunk at a time, closed.
#include "bench/LocalFile.h"

#include "bench/TransferCase.h"

#include <utility>

LocalFile::LocalFile(const std::string& path, bool write)
    : m_handle(CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, write ? 0 : FILE_SHARE_READ, nullptr,
                           write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
{
    if (m_handle == INVALID_HANDLE_VALUE)
        throw BenchError("cannot open " + path + " (error " + std::to_string(GetLastError()) + ")");
}

DWORD LocalFile::Read(char* buffer, DWORD size)
{
    DWORD read = 0;
    if (!ReadFile(m_handle, buffer, size, &read, nullptr))
        throw BenchError("ReadFile failed (error " + std::to_string(GetLastError()) + ")");
    return read;
}

void LocalFile::Write(const char* data, DWORD size)
{
    DWORD written = 0;
    if (!WriteFile(m_handle, data, size, &written, nullptr) || written != size)
        throw BenchError("WriteFile failed (error " + std::to_string(GetLastError()) + ")");
}

void LocalFile::Close()
{
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE));
}
