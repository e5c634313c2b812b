// The tree's buttons found out in the background: the window answering meanwhile, answers for the right items only, every kind of directory, no thread left, a server that takes one session.
#include "tests/explorer/ExplorerTestSupport.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int kSubdirectories = 300;

// The threads of this process.
int ThreadCount()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// The items below parent (a path for TreeItemAt), once their answers are
// in, in name order, with "+" after those with a button; only those on
// screen when onScreen.
std::vector<std::string> Level(HWND tree, const std::string& parent, bool onScreen = false)
{
    RECT client = {};
    GetClientRect(tree, &client);
    std::vector<HTREEITEM> chosen;
    for (HTREEITEM item = TreeView_GetChild(tree, TreeItemAt(tree, parent)); item; item = TreeView_GetNextSibling(tree, item)) {
        RECT line = {};
        std::memcpy(&line, &item, sizeof item);  // the item goes in, its line comes out
        const bool shown = SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&line)) &&
                           line.top >= client.top && line.bottom <= client.bottom;
        if (shown || !onScreen)
            chosen.push_back(item);
    }
    // Asked first, as showing them does; then their answers are waited for.
    const auto children = [tree](HTREEITEM item) { return QueryItem(tree, item, TVIF_CHILDREN).cChildren; };
    for (HTREEITEM item : chosen)
        children(item);
    WaitForTreeAnswers(tree);
    std::vector<std::string> items;
    for (HTREEITEM item : chosen)
        items.push_back(TreeItemText(tree, item) + (children(item) ? "+" : ""));
    std::sort(items.begin(), items.end());
    return items;
}

// How many items below parent wait for the answer about their button.
int ItemsWaiting(HWND tree, HTREEITEM parent)
{
    int waiting = 0;
    for (HTREEITEM item = TreeView_GetChild(tree, parent); item; item = TreeView_GetNextSibling(tree, item)) {
        waiting += QueryItem(tree, item, TVIF_PARAM).lParam != 0;
    }
    return waiting;
}

// The commands with verb that the server's log holds, of every session.
int CommandsSent(const FtpServer& server, const std::string& verb)
{
    const std::vector<std::string> commands = server.Commands();
    return static_cast<int>(std::count_if(commands.begin(), commands.end(), [&](const std::string& line) {
        return line.compare(0, verb.size() + 1, verb + " ") == 0;
    }));
}

// Waits, leaving the thread's messages where they are, until done() holds
// or about ten seconds pass.
bool WaitWithoutMessages(const std::function<bool()>& done)
{
    for (int wait = 0; wait < 1000 && !done(); ++wait)
        Sleep(10);
    return done();
}

// A window of this thread that runs a piece of the test when another thread
// sends it kRun.
class ReentryWindow {
public:
    static constexpr UINT kRun = WM_APP + 7;

    explicit ReentryWindow(std::function<void()> run) : m_run(std::move(run))
    {
        m_window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ReentryWindow::Procedure)));
    }
    ~ReentryWindow() { DestroyWindow(m_window); }
    ReentryWindow(const ReentryWindow&) = delete;
    ReentryWindow& operator=(const ReentryWindow&) = delete;
    HWND Get() const { return m_window; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<ReentryWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == kRun) {
            self->m_run();
            return 1;
        }
        return CallWindowProcW(self->m_original, window, message, wParam, lParam);
    }

    std::function<void()> m_run;
    HWND m_window = nullptr;
    WNDPROC m_original = nullptr;
};

// A server behind the fault proxy with a level of kSubdirectories
// directories, every other one with a subdirectory, and the control
// showing that level with its tree.
struct DistantLevel {
    DistantLevel() : server("normal", FtpServer::kBehindFaultProxy)
    {
        server.MakeDirectory("level");
        for (int index = 0; index < kSubdirectories; ++index) {
            const std::string name = "level/d" + std::to_string(1000 + index);
            server.MakeDirectory(name);
            if (index % 2 == 0)
                server.MakeDirectory(name + "/inner");
        }
        HostedControl& control = host.Control();
        control.SetProperty(L"ServerName", server.Host().c_str());
        control.SetProperty(L"Port", static_cast<long>(server.Port()));
        control.SetProperty(L"PassiveMode", true);
    }

    FtpServer server;
    ExplorerHost host;
};

TEST(TreeButtons, TheWindowAnswersWhileButtonsAreFoundAndAnswersLandOnTheirOwnItemsOnly)
{
    DistantLevel fixture;
    HostedControl& control = fixture.host.Control();
    const HWND tree = fixture.host.Tree();
    const int threadsBefore = ThreadCount();
    control.SetProperty(L"ConnectDirectory", "/level");
    control.Must(L"Connect");
    EXPECT_EQ(kSubdirectories, ListView_GetItemCount(fixture.host.List()));

    // Each question now takes several round trips of 0.4 s: a window that
    // waited for the answers of the items it shows would not answer for
    // many seconds.
    fixture.server.SetFault("delay 200");
    std::atomic<int> unanswered{0};
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        for (int round = 0; round < 20; ++round) {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(tree, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result))
                ++unanswered;
        }
        done = true;
    });
    InvalidateRect(tree, nullptr, TRUE);
    UpdateWindow(tree);
    PumpUntil([&] { return done.load(); });
    watcher.join();
    EXPECT_EQ(0, unanswered.load());

    // Answers that come for items since read again are for nobody: the
    // worker lists the items on screen while they have subdirectories, the
    // level is then read anew without them, and only then are the answers
    // taken (a new item may well have an old one's handle).
    fixture.server.SetFault("none");
    control.Must(L"Refresh");
    fixture.server.ForgetCommands();
    UpdateWindow(tree);
    const int asked = ItemsWaiting(tree, TreeItemAt(tree, "level"));
    EXPECT_LT(5, asked);
    EXPECT_TRUE(WaitWithoutMessages([&] { return CommandsSent(fixture.server, "MLSD") >= asked; }));
    for (int index = 0; index < kSubdirectories; index += 2)
        RemoveDirectoryA(fixture.server.PathOf("level/d" + std::to_string(1000 + index) + "/inner").c_str());
    EXPECT_EQ(asked, ItemsWaiting(tree, TreeItemAt(tree, "level")));  // nothing taken yet
    control.Must(L"Refresh");
    const std::vector<std::string> shown = Level(tree, "level", true);
    EXPECT_LT(5u, shown.size());
    for (const std::string& item : shown)
        EXPECT_EQ(std::string::npos, item.find('+')) << item;

    // DisConnect in the middle of the questions leaves no thread behind.
    for (int index = 0; index < kSubdirectories; index += 2)
        fixture.server.MakeDirectory("level/d" + std::to_string(1000 + index) + "/inner");
    control.Must(L"Refresh");
    fixture.server.SetFault("delay 200");
    UpdateWindow(tree);
    control.Must(L"DisConnect");
    EXPECT_EQ(threadsBefore, ThreadCount());
    EXPECT_EQ("", TreeOutline(tree));
}

TEST(TreeButtons, AnAnswerForAnItemExpandedMeanwhileIsDropped)
{
    // The worker finds "x" without subdirectories; before the window takes
    // that answer, "x" gains one and the user opens it.
    ServerExplorer fixture({"x/", "y/"});
    const HWND tree = fixture.host.Tree();
    WaitForTreeAnswers(tree);
    fixture.server.ForgetCommands();
    fixture.Control().Must(L"Refresh");
    UpdateWindow(tree);
    ASSERT_EQ(2, ItemsWaiting(tree, TreeView_GetRoot(tree)));
    EXPECT_TRUE(WaitWithoutMessages([&] { return CommandsSent(fixture.server, "MLSD") >= 3; }));  // "/" and both items
    fixture.server.MakeDirectory("x/new");
    const HTREEITEM x = TreeItemAt(tree, "x");
    TreeView_Expand(tree, x, TVE_EXPAND);
    WaitForTreeAnswers(tree);
    EXPECT_EQ(1, QueryItem(tree, x, TVIF_CHILDREN).cChildren);
    EXPECT_EQ("/[x[new] y]", TreeOutline(tree));
}

TEST(TreeButtons, EveryKindOfDirectoryEndsWithItsButton)
{
    // An MLSD server, a LIST one and an SSH one, all with links; "locked"
    // refuses to be listed.
    using Items = std::vector<std::string>;
    const Items debianTree = {" lead", "a b+", "link-dir+", "pub", "trail ", "資料+"};
    struct Case {
        const char* kind;
        Items level;
    };
    const Case cases[] = {{"proftpd", debianTree}, {"inetutils", debianTree}, {"openssh", debianTree},
                          {"locked-dirs", {"empty", "locked", "with+", "without"}}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.kind);
        const bool debian = std::string(test.kind) != "locked-dirs";
        FtpServer server(test.kind, debian ? FtpServer::kAnyPort : FtpServer::kPort21);
        if (!debian)
            Fill(server, {"with/", "with/sub/", "without/", "without/file.txt", "locked/", "locked/sub/", "empty/"});
        ExplorerHost host;
        HostedControl& control = host.Control();
        control.SetProperty(L"Port", static_cast<long>(server.Port()));
        control.SetProperty(L"ServerEncoding", debian ? 1L : 0L);
        ConnectToServer(control, server, "/", true);
        EXPECT_EQ(test.level, Level(host.Tree(), ""));
        control.Must(L"DisConnect");
    }
}

TEST(TreeButtons, ASecureServerIsAskedOnlyAboutTheCertificateTheHostAccepted)
{
    // A certificate no authority vouches for, accepted by the host once: the
    // tree's own session meets it as pinned and asks nobody again.
    FtpServer server("tls", FtpServer::kAnyPort, "selfsigned");
    Fill(server, {"with/", "with/sub/", "without/", "without/file.txt"});
    ExplorerHost host;
    HostedControl& control = host.Control();
    control.sink.acceptCertificate = 1;
    control.SetProperty(L"Port", static_cast<long>(server.Port()));
    control.SetProperty(L"PassiveMode", true);
    control.SetProperty(L"SecurityMode", 1L);
    ConnectToServer(control, server, "/", true);
    EXPECT_EQ((std::vector<std::string>{"with+", "without"}), Level(host.Tree(), ""));
    EXPECT_EQ(1, std::count_if(control.sink.events.begin(), control.sink.events.end(),
                               [](const HostEvent& event) { return event.id == kServerCertificateEvent; }));
    EXPECT_TRUE(Errors(control.sink).empty());
}

TEST(TreeButtons, AServerThatTakesOneSessionShowsTheSameTreeWithoutAnError)
{
    ServerExplorer fixture({"pub/", "pub/sub/", "docs/", "docs/a.txt"}, "one-session");
    EXPECT_EQ("/[docs pub+]", TreeOutline(fixture.host.Tree()));
    fixture.Control().Must(L"SetCurrentDirectory", {"/pub"});
    EXPECT_EQ("/[docs pub[sub]]", TreeOutline(fixture.host.Tree()));
    EXPECT_TRUE(Errors(fixture.Control().sink).empty());
}

TEST(WaitingCall, TheWindowAnswersOtherThreadsMeanwhileAndTheControlIsBusyForThem)
{
    // The server logs in and then answers nothing: Connect waits for the
    // reply to its CWD until the timeout.
    FtpServer server("silent-after-login");
    ExplorerHost host;
    HostedControl& control = host.Control();
    control.SetProperty(L"Timeout", 3L);
    // What another thread asks of the host meanwhile calls the control again.
    ReentryWindow reentry([&] { control.Call(L"SetCurrentDirectory", {"/elsewhere"}); });
    std::atomic<bool> done{false};
    std::atomic<bool> stopped{false};
    std::atomic<int> answered{0};
    std::atomic<int> unanswered{0};
    std::thread watcher([&] {
        while (!done) {
            DWORD_PTR result = 0;
            const bool ran = SendMessageTimeoutW(reentry.Get(), ReentryWindow::kRun, 0, 0, SMTO_NORMAL, 1500, &result);
            ++(ran ? answered : unanswered);
            Sleep(50);
        }
        stopped = true;
    });
    control.SetProperty(L"ServerName", server.Host().c_str());
    const CallResult result = control.Call(L"Connect");
    done = true;
    // Its last message may be on its way: answered here, not left waiting.
    PumpUntil([&] { return stopped.load(); });
    watcher.join();
    EXPECT_EQ(DISP_E_EXCEPTION, result.hr);
    EXPECT_LT(10, answered.load());
    EXPECT_EQ(0, unanswered.load());
    // Busy: the nested calls sent nothing.
    EXPECT_EQ(1, CommandsSent(server, "CWD"));
}

}  // namespace
