// The registered control in ATL's host window on a frame, its list and tree found, its calls timed as users wait.
#pragma once
#include "bench/Automation.h"
#include "bench/CommandCounter.h"
#include "bench/ListingCase.h"
#include "bench/ProgressSink.h"
#include "bench/SinkConnection.h"
#include "bench/WindowWatch.h"
#include "tests/control/WindowTestSupport.h"

#include <memory>
#include <string>
#include <vector>

// What the tree shows below one top-level directory.
struct TreeLevelCounts {
    long children = 0;           // items below it
    long expandable = 0;         // of those, the ones with an expand button (a child item)
};

// A frame window holding atl.dll's "AtlAxWin" with ProgID WyFTP.WyFTPCtrl.1:
// the control in-place active in a real container, as a form holds it, with
// an event sink that keeps the Error event's message box away.
class HostedExplorer {
public:
    // countsFile: the latency proxy's counts (a Windows path), or empty when
    // the commands are not counted.
    HostedExplorer(const BenchSetup& setup, const std::string& countsFile);
    HostedExplorer(const HostedExplorer&) = delete;
    HostedExplorer& operator=(const HostedExplorer&) = delete;

    // Connects to the setup's server and port (ConnectTarget 1) in passive
    // mode with "/" as the start directory, in report view with the tree
    // hidden; timed as Time times a call (Connect lists "/" into the list).
    ListingSample ConnectFtp();
    // Connects to the local disk (ConnectTarget 0) with drive as the server
    // and directory as the start directory, in report view with the tree hidden.
    void ConnectLocal(const std::string& drive, const std::string& directory);
    void Put(const wchar_t* property, const Argument& value);
    // Calls a method untimed, then paints and handles what is queued.
    void Call(const wchar_t* method, const std::vector<Argument>& args = {});
    // Calls a method and paints the frame (UpdateWindow: the visible rows
    // and items), timed: seconds is the whole, callSeconds the call alone,
    // stall the longest the control's window left another thread waiting.
    // Entries is the list's row count afterwards; commands and verbs what
    // the control sent meanwhile, when they are counted.
    ListingSample Time(const wchar_t* method, const std::vector<Argument>& args = {});

    long ListCount() const;
    // The text of a row's first column, as UTF-16.
    std::wstring ListName(long row) const;
    TreeLevelCounts TreeLevel(const std::wstring& topLevelName) const;

private:
    ListingSample ConnectTo(long target, const std::string& server, const std::string& directory);
    // An Error event or a missing window makes the measurement meaningless.
    void CheckNoError();

    const BenchSetup& m_setup;
    TestWindow m_frame;
    HWND m_host = nullptr;
    ComPtr<IDispatch> m_control;
    CommandCounter m_commands;
    ProgressSink m_sink;
    std::unique_ptr<SinkConnection> m_sinkConnection;  // destroyed first: unadvised before the control goes
    HWND m_list = nullptr;
    HWND m_tree = nullptr;
    std::unique_ptr<WindowWatch> m_watch;
};
