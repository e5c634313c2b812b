// Small file helpers shared by the benchmark's transfer runners.
#include "bench/TransferCase.h"

std::string LastComponent(const std::string& path)
{
    // Only ASCII names are used by the benchmark: no lead-byte walk needed.
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DownloadedFile(const BenchSetup& setup)
{
    return setup.downloadDir + "/" + LastComponent(setup.remoteFile);
}

std::string LocalCopyTarget(const BenchSetup& setup)
{
    return setup.downloadDir + "/" + LastComponent(setup.uploadSource);
}

ULONGLONG LocalFileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        throw BenchError("cannot read the size of " + path + " (error " + std::to_string(GetLastError()) + ")");
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void RemoveLocalFile(const std::string& path)
{
    if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        throw BenchError("cannot delete " + path + " (error " + std::to_string(GetLastError()) + ")");
}
