// The registered control in ATL's host window on a frame, its list and tree found, its calls timed as users wait.
#include "bench/HostedExplorer.h"

#include "bench/Stopwatch.h"

#include <commctrl.h>

namespace {

constexpr SIZE kControlSize = {760, 540};

std::wstring TreeItemText(HWND tree, HTREEITEM item)
{
    wchar_t text[MAX_PATH] = L"";
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

}  // namespace

HostedExplorer::HostedExplorer(const BenchSetup& setup, const std::string& countsFile)
    : m_setup(setup), m_frame(kControlSize.cx + 40, kControlSize.cy + 60), m_commands(countsFile)
{
    m_control = ControlInAtlHost(m_frame.Get(), {0, 0, kControlSize.cx, kControlSize.cy}, &m_host);
    if (!m_control)
        throw BenchError("atl.dll's AtlAxWin did not take WyFTP.WyFTPCtrl.1; is WyFTP.ocx registered?");
    m_sinkConnection = std::make_unique<SinkConnection>(m_control.Get());
    m_sinkConnection->Connect(&m_sink);
    m_list = FindDescendant(m_host, WC_LISTVIEWW);
    m_tree = FindDescendant(m_host, WC_TREEVIEWW);
    if (!m_list || !m_tree)
        throw BenchError("the control in ATL's host shows no list view or no tree view");
    m_watch = std::make_unique<WindowWatch>(m_list);
}

ListingSample HostedExplorer::ConnectFtp()
{
    Put(L"UserName", Argument(m_setup.user));
    Put(L"Password", Argument(m_setup.password));
    Put(L"Port", Argument(m_setup.port));
    // The latency proxy forwards passive data connections only.
    Put(L"PassiveMode", Argument(true));
    return ConnectTo(1, m_setup.host, "/");
}

void HostedExplorer::ConnectLocal(const std::string& drive, const std::string& directory)
{
    ConnectTo(0, drive, directory);
}

ListingSample HostedExplorer::ConnectTo(long target, const std::string& server, const std::string& directory)
{
    Put(L"ConnectTarget", Argument(target));
    Put(L"ServerName", Argument(server));
    Put(L"ConnectDirectory", Argument(directory));
    Put(L"ListViewMode", Argument(1L));
    Put(L"VisibleTree", Argument(false));
    return Time(L"Connect");
}

void HostedExplorer::Put(const wchar_t* property, const Argument& value)
{
    PutProperty(m_control.Get(), property, value);
    PumpMessages();
    CheckNoError();
}

void HostedExplorer::Call(const wchar_t* method, const std::vector<Argument>& args)
{
    CallControlMethod(m_control.Get(), method, args);
    PumpMessages();
    CheckNoError();
}

ListingSample HostedExplorer::Time(const wchar_t* method, const std::vector<Argument>& args)
{
    ListingSample sample;
    sample.tool = "control";
    // Whatever earlier calls queued is handled before the clock starts.
    PumpMessages();
    m_commands.Start();
    const TransferMeter meter(m_setup);
    m_watch->Restart();
    const Stopwatch call;
    CallControlMethod(m_control.Get(), method, args);
    sample.callSeconds = call.Seconds();
    UpdateWindow(m_frame.Get());
    StopMeter(meter, sample);
    PumpMessages();
    sample.stall = m_watch->Longest();
    CheckNoError();
    m_commands.Stop(sample.commands, sample.verbs);
    sample.entries = ListCount();
    return sample;
}

long HostedExplorer::ListCount() const
{
    return static_cast<long>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring HostedExplorer::ListName(long row) const
{
    wchar_t text[MAX_PATH] = L"";
    LVITEMW item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

TreeLevelCounts HostedExplorer::TreeLevel(const std::wstring& topLevelName) const
{
    TreeLevelCounts counts;
    const HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    auto next = [&](HTREEITEM item, WPARAM relation) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(m_tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    };
    HTREEITEM level = root ? next(root, TVGN_CHILD) : nullptr;
    while (level && TreeItemText(m_tree, level) != topLevelName)
        level = next(level, TVGN_NEXT);
    for (HTREEITEM child = level ? next(level, TVGN_CHILD) : nullptr; child; child = next(child, TVGN_NEXT)) {
        ++counts.children;
        // A button shows for children read or still to be read.
        TVITEMW query = {};
        query.mask = TVIF_CHILDREN;
        query.hItem = child;
        SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
        if (next(child, TVGN_CHILD) || query.cChildren != 0)
            ++counts.expandable;
    }
    return counts;
}

void HostedExplorer::CheckNoError()
{
    if (!m_sink.lastError.empty())
        throw BenchError("the control reported: " + m_sink.lastError);
}
