// What a long run costs a process under Wine: its heaps, the wineserver's descriptors, the thread's windows.
#pragma once
#include <windows.h>

#include <string>

// Under Wine the platform's counters of private bytes and handles read 0
// (GetProcessMemoryInfo, GetProcessHandleCount), and so does
// GetGuiResources. What works there: the Linux process's resident
// anonymous memory (RssAnon of its /proc status, read through drive Z:),
// the wineserver's open descriptors (it holds every file and socket of the
// prefix's processes; files are opened by the server, so /proc/self is the
// server's) and the windows of the thread. gdiObjects counts on Windows.
struct ProcessCounters {
    unsigned long long anonKib = 0;
    long serverDescriptors = 0;
    long windows = 0;
    DWORD gdiObjects = 0;
};

// This process's /proc directory ("Z:\proc\1234"), found by its command
// line; "" where there is none.
std::string OwnProcDirectory();
// Handles waiting messages first, so that windows already destroyed are gone.
ProcessCounters ReadProcessCounters(const std::string& procDirectory);
