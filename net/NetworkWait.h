// How long a network call may wait, and who is asked while it waits.
#pragma once
#include <windows.h>

// Milliseconds on one steady count (GetTickCount64's). Deadlines are
// points on it; a test drives a clock of its own through the same calls.
class CClock {
public:
    virtual ULONGLONG Now() const = 0;

protected:
    ~CClock() = default;
};

// GetTickCount64.
const CClock& SystemClock();

// Asked about every 20 ms while a network call waits; answering
// false ends the wait, and the call fails as cancelled. The copy loop uses it
// to dispatch window messages (the progress dialog's Cancel, AbortTransfer).
class CNetworkWaitHook {
public:
    virtual bool KeepWaiting() = 0;

protected:
    ~CNetworkWaitHook() = default;
};

// One wait: until deadline on clock, with the hook, when there is one,
// asked in between.
struct CNetworkWait {
    ULONGLONG deadline;
    CNetworkWaitHook* hook;
    const CClock* clock = &SystemClock();
};
