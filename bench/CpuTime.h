// CPU time of Linux processes as the kernel counts it, read under Wine through the Z: drive.
#pragma once
#include <string>

// Wall-clock figures swing with whatever else the machine runs; the CPU a
// transfer costs the client and the wineserver swings much less.

// User plus system CPU seconds that this process (all threads) has used so far.
double OwnCpuSeconds();
// The same for the Linux process pid, from /proc/<pid>/stat; -1 when it
// cannot be read. Not for this process: Wine's server opens files, so
// /proc/self would be the wineserver.
double LinuxProcessCpuSeconds(const std::string& pid);
