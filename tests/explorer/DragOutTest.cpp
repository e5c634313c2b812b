// Dragging files out of the list with the real mouse and the platform's drag loop: the entries, and a copy between two servers.
#include "tests/explorer/ExplorerTestSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/ScratchDrive.h"

#include <shlobj.h>

#include <cstring>
#include <optional>

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
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL point, DWORD* effect) override
    {
        entered = true;
        return DragOver(0, point, effect);
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
            block.assign(static_cast<const char*>(GlobalLock(medium.hGlobal)), GlobalSize(medium.hGlobal));
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

// Presses the right button on from, moves off it, carries the drag to to
// and releases there once dropReady holds: a user's right-drag.
bool RightDrag(POINT from, POINT to, const std::function<bool()>& dropReady)
{
    // Off the press point but still on the item: the drag starts from it.
    const POINT off = {from.x + 6, from.y};
    return PlayMouse({
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
}

// Moves a top-level window so that its left edge is at x.
void PlaceAt(HWND window, int x)
{
    SetWindowPos(window, HWND_TOP, x, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    PumpMessages();
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
    RECT rect = {};
    GetWindowRect(shell.Get(), &rect);
    const bool dragged = RightDrag(ScreenPoint(list, RowPoint(list, ListRow(list, name))),
                                   {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2},
                                   [&] { return target.entered; });
    RevokeDragDrop(shell.Get());
    return dragged ? target.block : std::string();
}

TEST(DragOut, TheSelectedFilesGoAsADropFilesBlockOfTheirEntries)
{
    // The local disk, an FTP server and an SSH one.
    for (const char* store : {"", "normal", "openssh-store"}) {
        SCOPED_TRACE(*store ? store : "the local disk");
        std::optional<FtpServer> server;
        ScratchDrive drive;
        ExplorerHost host({500, 300});
        HostedControl& control = host.Control();
        const auto entries = {"pub/", "pub/dir/", "pub/a.txt", "pub/b.txt"};
        // Server entries are addresses with the login, disk entries drive paths.
        std::string prefix = drive.Root() + "/pub/";
        std::string login;
        if (!*store) {
            Fill(drive, entries);
            ConnectToDisk(control, drive.Root(), "/pub");
        } else {
            server.emplace(store);
            Fill(*server, entries);
            ConnectToServer(control, *server, "/pub", true);
            prefix = AddressOf(*server) + "/pub/";
            login = std::string("?uid=") + FtpServer::kUser + "&pw=" + FtpServer::kPassword;
        }
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
        const std::string expected = prefix + "a.txt" + login + '\0' + prefix + "b.txt" + login + '\0' + '\0';
        EXPECT_EQ(expected, block.substr(20, expected.size()));
        // A right press that ends in a drag is no click: no pop-up.
        EXPECT_FALSE(control.sink.Received(kListPopUpEvent));
    }
}

TEST(DragOut, AFileDroppedOnAnotherControlIsCopiedBetweenTheServersAndItsPasswordNeverShows)
{
    // Between two FTP servers in clear or over TLS, and from an SSH server
    // to an FTP server (whose root the test may fill).
    const struct {
        const char* source;
        const char* destination;
        FtpServer::Listen listen;
    } cases[] = {{"normal", "normal", FtpServer::kPort21},
                 {"tls", "tls", FtpServer::kAnyPort},
                 {"openssh", "normal", FtpServer::kAnyPort}};
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.source) + " to " + test.destination);
        FtpServer source(test.source, test.listen);
        FtpServer destination(test.destination, test.listen);
        Fill(source, {"pub/", "pub/sub/"});
        const std::string content(40 * 1024, 'c');
        source.WriteFile("pub/moved.bin", content);
        // The row dropped on lies below the list's top scroll zone.
        Fill(destination, {"in/", "in/aa.txt", "in/ab.txt", "in/existing.txt"});
        // The certificates name "localhost"; the port is each server's own.
        const auto connect = [&](HostedControl& control, const FtpServer& server, const char* directory) {
            const std::string kind = &server == &source ? test.source : test.destination;
            // The host accepts each server's certificate or host key when
            // asked: trust in them is another test's concern.
            control.sink.acceptCertificate = 1;
            if (kind == "tls") {
                control.SetProperty(L"PassiveMode", true);
                control.SetProperty(L"SecurityMode", 1L);
            }
            control.SetProperty(L"ConnectTarget", kind == "openssh" ? 2L : 1L);
            control.SetProperty(L"Port", static_cast<long>(server.Port()));
            control.SetProperty(L"ServerName", kind == "tls" ? "localhost" : server.Host().c_str());
            control.SetProperty(L"UserName", FtpServer::kUser);
            control.SetProperty(L"Password", FtpServer::kPassword);
            control.SetProperty(L"ConnectDirectory", directory);
            control.Must(L"Connect");
        };

        ExplorerHost from({500, 300});
        connect(from.Control(), source, "/");
        const HWND tree = from.Tree();
        TreeView_SelectItem(tree, TreeItemAt(tree, "pub"));
        EXPECT_EQ("/pub", from.Control().Must(L"GetCurrentDirectory", {0}).AsText());
        EXPECT_EQ((std::vector<std::string>{"sub", "moved.bin"}), ListColumn(from.List(), 0));

        ExplorerHost to({500, 300});
        PlaceAt(GetAncestor(to.Host(), GA_ROOT), 620);
        HostedControl& control = to.Control();
        control.SetProperty(L"ShowProgressDialog", 1L);  // kilobytes: the dialog shows
        control.SetProperty(L"TransferByte", 4L);
        connect(control, destination, "/in");
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

        // A drop on a file's row goes into the current directory; the row's
        // drop highlight shows that the drag has reached the other list.
        const HWND list = to.List();
        SetFocus(from.List());
        SelectRows(from.List(), {"moved.bin"});
        const int row = ListRow(list, "existing.txt");
        ASSERT_TRUE(RightDrag(ScreenPoint(from.List(), RowPoint(from.List(), ListRow(from.List(), "moved.bin"))),
                              ScreenPoint(list, RowPoint(list, row)),
                              [&] { return ListView_GetItemState(list, row, LVIS_DROPHILITED) != 0; }));
        EXPECT_TRUE(PumpUntil([&] { return destination.Exists("in/moved.bin"); }));
        EXPECT_EQ(content, destination.ReadFile("in/moved.bin"));
        EXPECT_NE(-1, ListRow(list, "moved.bin"));
        // The host receives the entry whole: the login in clear, or the
        // secure mode, so that the receiving control never fetches it in clear.
        const std::string login = std::string("?uid=") + FtpServer::kUser + "&pw=" + FtpServer::kPassword;
        const std::string kind = test.source;
        const std::string entry = kind == "tls" ? std::string("ftpes://localhost:")
                                                : AddressOf(source) + "/pub/moved.bin" + login;
        const auto starts = TransferStarts(control.sink);
        ASSERT_EQ(1u, starts.size());
        EXPECT_EQ(0u, starts[0].find(entry)) << starts[0];
        // The password never reaches the screen.
        EXPECT_FALSE(shown.empty());
        EXPECT_EQ(std::wstring::npos, shown.find(ToWide(FtpServer::kPassword)));
    }
}

}  // namespace
