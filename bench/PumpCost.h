// What one turn of the copy loop's message pump costs when no message is waiting.
#pragma once
#include "bench/TransferCase.h"

// Prints, for PeekMessage(PM_REMOVE) (what the pump calls), the same with
// PM_NOYIELD, and GetQueueStatus (a cheaper check, if it were one): wall
// nanoseconds per call and the CPU nanoseconds the call costs this process
// and the wineserver. Once on a thread without windows, once with one.
//   pump situation=S call=C wall_ns=W client_cpu_ns=X server_cpu_ns=Y
void PrintPumpCosts(const BenchSetup& setup);
