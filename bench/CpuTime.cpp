// CPU time of Linux processes as the kernel counts it, read under Wine through the Z: drive.
#include "bench/CpuTime.h"

#include <windows.h>

#include <sstream>
#include <vector>

namespace {

// The kernel reports times in USER_HZ ticks, 100 per second on Linux.
constexpr double kTicksPerSecond = 100.0;

double Seconds(const FILETIME& time)
{
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
}

}  // namespace

double OwnCpuSeconds()
{
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1;
    return Seconds(kernel) + Seconds(user);
}

double LinuxProcessCpuSeconds(const std::string& pid)
{
    const std::string path = "Z:\\proc\\" + pid + "\\stat";
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    char buffer[1024];
    DWORD read = 0;
    const BOOL ok = ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(file);
    if (!ok)
        return -1;
    const std::string line(buffer, read);
    // "pid (comm) state ppid ...": the name may hold spaces, so count the
    // fields from the last ")". utime and stime are fields 14 and 15, the
    // 12th and 13th after the name.
    const size_t name = line.rfind(')');
    if (name == std::string::npos)
        return -1;
    std::istringstream fields(line.substr(name + 1));
    std::vector<std::string> values;
    for (std::string field; fields >> field && values.size() < 13;)
        values.push_back(field);
    if (values.size() < 13)
        return -1;
    return (std::stod(values[11]) + std::stod(values[12])) / kTicksPerSecond;
}
