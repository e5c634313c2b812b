// Dragging files out of the list with the real mouse and the platform's drag loop: the entries, and a copy between two servers.
#include "tests/explorer/ExplorerTestSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"
#include "tests/fixture/TrustTestAuthority.h"

#include <shlobj.h>

#include <cstring>

namespace {

// A window that takes drops the way a shell folder does and keeps the
// CF_HDROP block it received, byte for byte.
class RecordingDropTarget : public IDropTarget {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = (iid == IID_IUnknown || iid == IID_IDropTarget) ? static_cast<IDropTarget*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        entered = true;
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override
    {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override { return S_OK; }
    STDMETHODIMP Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        if (SUCCEEDED(data->GetData(&format, &medium))) {
            const char* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal));
            block.assign(bytes, GlobalSize(medium.hGlobal));
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }

    bool entered = false;
    std::string block;
};

POINT ScreenPoint(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    return client;
}

POINT WindowCentre(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Presses the right button on from, moves off it, carries the drag to to
// and releases there once dropReady holds: a user's right-drag.
bool RightDrag(POINT from, POINT to, const std::function<bool()>& dropReady)
{
    // Off the press point but still on the item: the drag starts from it.
    POINT off = {from.x + 6, from.y};
    MouseScript script({
        {nullptr, [&] { SendMouseMove(from); }},
        {nullptr, [] { SendMouseButton(MOUSEEVENTF_RIGHTDOWN); }},
        {nullptr, [&] { SendMouseMove(off); }},
        {nullptr, [&] { SendMouseMove(to); }},
        // Moves go on until the target has seen the drag.
        {[&] {
             if (dropReady())
                 return true;
             SendMouseMove({to.x + static_cast<LONG>(GetTickCount() & 1), to.y});
             return false;
         },
         [] { SendMouseButton(MOUSEEVENTF_RIGHTUP); }},
    });
    PumpUntil([&] { return script.Finished() || script.GaveUp(); });
    PumpMessages();
    return script.Finished() && !script.GaveUp();
}

// Moves a top-level window so that its left edge is at x.
void PlaceAt(HWND window, int x)
{
    SetWindowPos(window, HWND_TOP, x, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    PumpMessages();
}

// Selects name in one list and drags it with the right button onto the row
// onto of another: a drop on a file's row goes into the current directory.
// The row's drop highlight shows that the drag has reached the other list.
bool DragRowOntoRow(HWND sourceList, const char* name, HWND list, const char* onto)
{
    SetFocus(sourceList);
    SelectRows(sourceList, {name});
    const int row = ListRow(list, onto);
    return RightDrag(ScreenPoint(sourceList, RowPoint(sourceList, ListRow(sourceList, name))),
                     ScreenPoint(list, RowPoint(list, row)),
                     [&] { return ListView_GetItemState(list, row, LVIS_DROPHILITED) != 0; });
}

// Right-drags the list's row name onto a window that takes drops as a shell
// folder does; the CF_HDROP block it received, or "" when no drag ran.
std::string DragToShellWindow(HWND list, const std::string& name)
{
    TestWindow shell(300, 300);
    PlaceAt(shell.Get(), 700);
    RecordingDropTarget target;
    if (RegisterDragDrop(shell.Get(), &target) != S_OK)
        return {};
    const bool dragged = RightDrag(ScreenPoint(list, RowPoint(list, ListRow(list, name))), WindowCentre(shell.Get()),
                                   [&] { return target.entered; });
    RevokeDragDrop(shell.Get());
    return dragged ? target.block : std::string();
}

TEST(DragOut, CarriesTheSelectedFilesAsFtpUrlsInADropFilesBlock)
{
    FtpServer server;
    server.MakeDirectory("pub");
    server.MakeDirectory("pub/dir");
    server.WriteFile("pub/a.txt", "a");
    server.WriteFile("pub/b.txt", "b");
    ExplorerHost host({500, 300});
    HostedControl& control = host.Control();
    ConnectToServer(control, server, "/pub", true);
    const HWND list = host.List();
    SetFocus(list);
    SelectRows(list, {"dir", "a.txt", "b.txt"});

    const std::string block = DragToShellWindow(list, "a.txt");
    // The header (files at offset 20, 8-bit names), then each entry, its
    // NUL, and one more NUL. Directories are left out.
    ASSERT_GE(block.size(), sizeof(DROPFILES));
    DROPFILES header = {};
    std::memcpy(&header, block.data(), sizeof(header));
    EXPECT_EQ(20u, header.pFiles);
    EXPECT_FALSE(header.fWide);
    const std::string account = std::string("?uid=") + FtpServer::kUser + "&pw=" + FtpServer::kPassword;
    const std::string prefix = "ftp://" + server.Host() + "/pub/";
    const std::string expected = prefix + "a.txt" + account + '\0' + prefix + "b.txt" + account + '\0' + '\0';
    EXPECT_EQ(expected, block.substr(20, expected.size()));
    // A right press that ends in a drag is no click: no pop-up.
    EXPECT_FALSE(control.sink.Received(kListPopUpEvent));
}

TEST(DragOut, OnTheLocalDiskTheEntriesAreDrivePaths)
{
    ScratchDrive drive;
    MakeDirectory(drive.PathOf("docs"));
    WriteBytes(drive.PathOf("docs\\x.txt"), "x");
    ExplorerHost host({500, 300});
    HostedControl& control = host.Control();
    ConnectToDisk(control, drive.Root(), "/docs");
    const HWND list = host.List();
    SetFocus(list);
    SelectRows(list, {"x.txt"});
    const std::string block = DragToShellWindow(list, "x.txt");
    const std::string expected = drive.Root() + "/docs/x.txt" + '\0' + '\0';
    ASSERT_GE(block.size(), 20 + expected.size());
    EXPECT_EQ(expected, block.substr(20, expected.size()));
}

TEST(DragOut, AFileDroppedOnAnotherControlIsCopiedBetweenTheServers)
{
    FtpServer source;
    FtpServer destination;
    source.MakeDirectory("pub");
    const std::string content(40 * 1024, 'c');
    source.WriteFile("pub/moved.bin", content);
    destination.MakeDirectory("in");
    // The row dropped on lies below the list's top scroll zone.
    destination.WriteFile("in/aa.txt", "a");
    destination.WriteFile("in/ab.txt", "b");
    destination.WriteFile("in/existing.txt", "e");

    ExplorerHost from({500, 300});
    HostedControl& sourceControl = from.Control();
    ConnectToServer(sourceControl, source, "/pub", true);

    ExplorerHost to({500, 300});
    PlaceAt(GetAncestor(to.Host(), GA_ROOT), 620);
    HostedControl& control = to.Control();
    control.SetProperty(L"ShowProgressDialog", 1L);  // kilobytes: the dialog shows
    control.SetProperty(L"TransferByte", 4L);
    ConnectToServer(control, destination, "/in");
    // What the progress dialog shows while the file comes.
    std::wstring shown;
    control.sink.onProgress = [&](long) {
        if (const HWND dialog = FindThreadWindow(L"#32770", nullptr)) {
            wchar_t text[512] = {};
            for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                GetWindowTextW(child, text, 512);
                shown += text;
            }
        }
    };
    control.sink.events.clear();

    const HWND list = to.List();
    ASSERT_TRUE(DragRowOntoRow(from.List(), "moved.bin", list, "existing.txt"));
    EXPECT_TRUE(PumpUntil([&] { return destination.Exists("in/moved.bin"); }));
    EXPECT_EQ(content, destination.ReadFile("in/moved.bin"));
    const auto starts = TransferStarts(control.sink);
    ASSERT_EQ(1u, starts.size());
    EXPECT_NE(std::string::npos, starts[0].find(std::string("pw=") + FtpServer::kPassword));  // the host receives it
    EXPECT_NE(-1, ListRow(list, "moved.bin"));
    // The password never reaches the screen.
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(std::wstring::npos, shown.find(ToWide(FtpServer::kPassword)));
}

TEST(DragOut, AFailedFetchNeverShowsThePassword)
{
    FtpServer server;
    server.MakeDirectory("pub");
    ExplorerHost host;
    HostedControl& control = host.Control();
    ConnectToServer(control, server);
    control.sink.events.clear();
    const std::wstring entry = ToWide("ftp://" + server.Host() + "/pub/missing.txt?uid=" + FtpServer::kUser +
                                      "&pw=" + FtpServer::kPassword);
    RECT client = {};
    GetClientRect(host.List(), &client);
    DragAndDrop(host.List(), MakeShellDrop({entry}).Get(), {client.right - 5, client.bottom - 5});
    const auto errors = Errors(control.sink);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(std::string::npos, errors[0].second.find(FtpServer::kPassword));
    EXPECT_EQ(std::string::npos, control.LastMessage().find(FtpServer::kPassword));
}

}  // namespace

TEST(DragOut, BetweenSecureControlsTheTreeNavigatesAndTheDroppedFileTravelsOverTls)
{
    TrustTestAuthority();
    FtpServer source("tls", FtpServer::kAnyPort);
    FtpServer destination("tls", FtpServer::kAnyPort);
    source.MakeDirectory("pub");
    source.MakeDirectory("pub/sub");
    const std::string content(40 * 1024, 's');
    source.WriteFile("pub/secret.bin", content);
    destination.MakeDirectory("in");
    destination.WriteFile("in/existing.txt", "e");
    // The certificates name "localhost"; the port is each server's own.
    const auto connect = [](HostedControl& control, const FtpServer& server, const char* directory) {
        control.SetProperty(L"Port", static_cast<long>(server.Port()));
        control.SetProperty(L"PassiveMode", true);
        control.SetProperty(L"SecurityMode", 1L);
        control.SetProperty(L"ServerName", "localhost");
        control.SetProperty(L"UserName", FtpServer::kUser);
        control.SetProperty(L"Password", FtpServer::kPassword);
        control.Must(L"Connect");
        control.Must(L"SetCurrentDirectory", {directory});
    };

    ExplorerHost from({500, 300});
    HostedControl& sourceControl = from.Control();
    connect(sourceControl, source, "/");
    // The tree over TLS: selecting an item lists it.
    const HWND tree = from.Tree();
    const HTREEITEM pub = TreeChild(tree, TreeView_GetRoot(tree), "pub");
    ASSERT_NE(nullptr, pub);
    TreeView_SelectItem(tree, pub);
    EXPECT_EQ("/pub", sourceControl.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_NE(-1, ListRow(from.List(), "secret.bin"));
    EXPECT_NE(-1, ListRow(from.List(), "sub"));

    ExplorerHost to({500, 300});
    PlaceAt(GetAncestor(to.Host(), GA_ROOT), 620);
    HostedControl& control = to.Control();
    connect(control, destination, "/in");
    control.sink.events.clear();

    const HWND list = to.List();
    ASSERT_TRUE(DragRowOntoRow(from.List(), "secret.bin", list, "existing.txt"));
    EXPECT_TRUE(PumpUntil([&] { return destination.Exists("in/secret.bin"); }));
    EXPECT_EQ(content, destination.ReadFile("in/secret.bin"));
    // The entry names the secure mode, so the receiving control never
    // fetched it in clear.
    const auto starts = TransferStarts(control.sink);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(0u, starts[0].find("ftpes://localhost:")) << starts[0];
}
