// What a long run costs a process under Wine: its heaps, the wineserver's descriptors, the thread's windows.
#include "tests/control/ProcessCounters.h"

#include "tests/control/WindowTestSupport.h"

#include <cstdlib>
#include <cstring>

namespace {

BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, &CountWindow, count);
    return TRUE;
}

// A number from a /proc status file ("RssAnon:   6844 kB"), or 0.
unsigned long long StatusValue(const std::string& statusPath, const char* key)
{
    const HANDLE file = CreateFileA(statusPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char text[8192] = {};
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    const char* line = std::strstr(text, key);
    return line ? std::strtoull(line + std::strlen(key), nullptr, 10) : 0;
}

// Open descriptors of the wineserver, which holds every file and socket
// of the prefix's processes (this host is the only busy one).
long ServerDescriptors()
{
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA("Z:\\proc\\self\\fd\\*", &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    long count = 0;
    do {
        if (entry.cFileName[0] != '.')
            ++count;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return count;
}

}  // namespace

ProcessCounters ReadProcessCounters(const std::string& procDirectory)
{
    PumpMessages();
    ProcessCounters counters;
    counters.anonKib = procDirectory.empty() ? 0 : StatusValue(procDirectory + "\\status", "RssAnon:");
    counters.serverDescriptors = ServerDescriptors();
    EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&counters.windows));
    counters.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return counters;
}


// Files under Wine are opened by the wineserver, so /proc/self there is the
// server. This process's own /proc directory is found by its command line.
std::string OwnProcDirectory()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    const char* name = std::strrchr(module, '\\');
    const std::string exe = name ? name + 1 : module;
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE)
        return {};
    std::string found;
    do {
        if (entry.cFileName[0] < '0' || entry.cFileName[0] > '9')
            continue;
        const std::string directory = std::string("Z:\\proc\\") + entry.cFileName;
        const HANDLE file = CreateFileA((directory + "\\cmdline").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        char text[1024] = {};
        DWORD read = 0;
        ReadFile(file, text, sizeof text - 1, &read, nullptr);
        CloseHandle(file);
        if (std::strstr(text, exe.c_str()) && !std::strstr(text, "wine-run"))
            found = directory;
    } while (found.empty() && FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

