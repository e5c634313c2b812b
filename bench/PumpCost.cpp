// What one turn of the copy loop's message pump costs when no message is waiting.
#include "bench/PumpCost.h"

#include "bench/TransferMeter.h"

#include <cstdio>

namespace {

constexpr int kCalls = 20000;

template <typename Check>
void PrintCost(const BenchSetup& setup, const char* situation, const char* call, Check check)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    TransferSample sample;
    const TransferMeter meter(setup);
    for (int i = 0; i < kCalls; ++i)
        check();
    meter.Stop(sample);
    std::printf("pump situation=%s call=%s wall_ns=%.0f client_cpu_ns=%.0f server_cpu_ns=%.0f\n", situation, call,
                sample.seconds * 1e9 / kCalls, sample.cpuClient * 1e9 / kCalls,
                sample.cpuServer < 0 ? -1.0 : sample.cpuServer * 1e9 / kCalls);
}

void PrintCosts(const BenchSetup& setup, const char* situation)
{
    MSG message;
    PrintCost(setup, situation, "PeekMessage", [&message] { PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); });
    PrintCost(setup, situation, "PeekMessage_NOYIELD",
              [&message] { PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD); });
    PrintCost(setup, situation, "GetQueueStatus", [] { GetQueueStatus(QS_ALLINPUT); });
}

}  // namespace

void PrintPumpCosts(const BenchSetup& setup)
{
    PrintCosts(setup, "no_window");
    // The control's transfers run on a thread that owns windows (the control
    // window, the progress dialog): measure that case too.
    const HWND window = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    PrintCosts(setup, "with_window");
    if (window)
        DestroyWindow(window);
}
