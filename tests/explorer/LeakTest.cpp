// Sustained leaks fail here: controls made in a container and destroyed, connections made and closed, again and again.
#include "tests/control/ProcessCounters.h"
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/FtpServer.h"

#include <functional>

namespace {

// The growth of the counters over cycles repetitions, after ten to warm up.
ProcessCounters Growth(const std::function<void()>& cycle, int cycles)
{
    const std::string proc = OwnProcDirectory();
    for (int i = 0; i < 10; ++i)
        cycle();
    const ProcessCounters before = ReadProcessCounters(proc);
    for (int i = 0; i < cycles; ++i)
        cycle();
    const ProcessCounters after = ReadProcessCounters(proc);
    ProcessCounters growth;
    growth.anonKib = after.anonKib > before.anonKib ? after.anonKib - before.anonKib : 0;
    growth.serverDescriptors = after.serverDescriptors - before.serverDescriptors;
    growth.windows = after.windows - before.windows;
    return growth;
}

TEST(Leaks, ControlsMadeAndDestroyedInAContainerLeaveNothingBehind)
{
    TestWindow frame(400, 300);
    const ProcessCounters growth = Growth(
        [&] {
            HWND host = nullptr;
            ComPtr<IDispatch> control = ControlInAtlHost(frame.Get(), {0, 0, 380, 260}, &host);
            ASSERT_TRUE(control);
            control = ComPtr<IDispatch>();
            DestroyWindow(host);
        },
        100);
    EXPECT_EQ(0, growth.windows);
    EXPECT_LE(growth.serverDescriptors, 5);
    // Generous: the heaps move a little; a control's worth a cycle would not fit.
    EXPECT_LE(growth.anonKib, 2048u);
}

TEST(Leaks, ConnectionsMadeAndClosedLeaveNoSocketBehind)
{
    FtpServer server;
    server.WriteFile("a.txt", "a");
    HostedControl control;
    control.SetProperty(L"ServerName", server.Host().c_str());
    const ProcessCounters growth = Growth(
        [&] {
            control.Must(L"Connect");
            control.Must(L"GetFileList", {"/"});
            control.Must(L"DisConnect");
        },
        30);
    EXPECT_LE(growth.serverDescriptors, 5);
    EXPECT_EQ(0, growth.windows);
}

}  // namespace
