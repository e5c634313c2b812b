// The progress dialog of the registered control's transfers: when it shows, what it shows, where it sits, how it stops one.
#include "tests/integration/HostSupport.h"

#include "framework/CodePage932.h"
#include "resources/resource.h"
#include "tests/control/WindowTestSupport.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <commctrl.h>

namespace {

HWND FindProgressDialog()
{
    const HWND dialog = FindThreadWindow(L"#32770", L"ﾌｧｲﾙの転送");
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

std::string ItemText(HWND dialog, int item)
{
    wchar_t text[256] = L"";
    GetDlgItemTextW(dialog, item, text, 256);
    return ToShiftJis(text);
}

// What a TransferProgress handler sees of the dialog: it sees what the
// chunk before left.
struct Sighting {
    HWND window = nullptr;
    RECT rect = {};
    std::string text;
    std::string cancel;  // the button's text
    int bar = -1;
    size_t stalePixels = 0;  // against what a full repaint draws
};

Sighting Look()
{
    Sighting seen;
    seen.window = FindProgressDialog();
    if (!seen.window)
        return seen;
    GetWindowRect(seen.window, &seen.rect);
    seen.text = ItemText(seen.window, IDC_PROGRESS_MESSAGE);
    seen.cancel = ItemText(seen.window, IDCANCEL);
    seen.bar = static_cast<int>(SendDlgItemMessageW(seen.window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    seen.stalePixels = StalePixels(seen.window);
    return seen;
}

// Uploads of local files through a control connected to a fresh server of
// kind, with chunks of 1 KiB and the dialog from 1 KiB on, looking for the
// dialog at every TransferProgress.
struct WatchedUploads {
    explicit WatchedUploads(const char* kind = "normal", ComPtr<IDispatch> hosted = CreateControl())
        : server(kind), control(std::move(hosted))
    {
        PointAt(control, server);
        control.SetProperty(L"TransferByte", 1);
        control.SetProperty(L"ShowProgressDialog", 1);
        control.Must(L"Connect");
        control.sink.onProgress = [this](long) { sightings.push_back(Look()); };
    }

    // Uploads a file of size bytes; the sightings are those of this upload.
    CallResult Upload(size_t size, const std::string& name = "file.bin")
    {
        WriteBytes(local.PathOf(name), PatternBytes(size));
        sightings.clear();
        const CallResult result = control.Call(L"PutFile", {local.PathOf(name).c_str()});
        EXPECT_EQ(nullptr, FindProgressDialog()) << "the dialog outlived its transfer";
        return result;
    }

    size_t Shown() const
    {
        size_t shown = 0;
        for (const Sighting& seen : sightings)
            shown += seen.window != nullptr;
        return shown;
    }

    ScratchDrive local;
    FtpServer server;
    HostedControl control;
    std::vector<Sighting> sightings;
};

struct ProgressDialog : testing::TestWithParam<RemoteKind>, WatchedUploads {
    ProgressDialog() : WatchedUploads(GetParam().server) {}
};

TEST_P(ProgressDialog, ShownFromTheThresholdOnWithTheNameAndABarThatNeverShowsFull)
{
    // The bar as the chunk before left it: 1024, 2048, 3072 of 4000 bytes;
    // the last chunk makes it 100 % and the dialog goes.
    const struct {
        long enable;  // EnableProgressDialog, as a VT_I4 a host may pass
        size_t size;
        const char* name;
        std::vector<int> bars;  // where each progress event saw the bar; -1: no dialog
    } uploads[] = {
        {1, 1024, "表.bin", {0}},
        {1, 1023, "file.bin", {-1}},
        {-1, 4000, "file.bin", {0, 25, 51, 76}},
        {0, 3000, "file.bin", {-1, -1, -1}},
    };
    for (const auto& upload : uploads) {
        control.SetProperty(L"EnableProgressDialog", upload.enable);
        EXPECT_EQ(upload.enable != 0, control.Property(L"EnableProgressDialog").AsBool());
        EXPECT_EQ(S_OK, Upload(upload.size, upload.name).hr);
        std::vector<int> bars;
        for (const Sighting& seen : sightings) {
            bars.push_back(seen.bar);
            EXPECT_GE(40u, seen.stalePixels) << upload.size << " bytes, at " << seen.bar << " %";
        }
        EXPECT_EQ(upload.bars, bars) << upload.size;
        if (Shown() == 0)
            continue;
        EXPECT_EQ(std::string(upload.name) + "を転送しています", sightings[0].text);
        EXPECT_EQ("ｷｬﾝｾﾙ", sightings[0].cancel);
    }
}

TEST_P(ProgressDialog, CancelAndEscapeStopTheTransferAtTheirChunk)
{
    for (const auto& [message, key] : {std::pair{BM_CLICK, 0u}, std::pair{WM_KEYDOWN, static_cast<UINT>(VK_ESCAPE)}}) {
        HWND dialog = nullptr;
        long pressedAt = 0;
        control.sink.onProgress = [&, message = message, key = key](long bytes) {
            if (dialog || !(dialog = FindProgressDialog()))
                return;
            // Pressed as a user would: queued, and delivered by the
            // transfer's message pump, which reads its queue before the
            // next chunk once its interval has passed.
            pressedAt = bytes;
            PostMessageW(GetDlgItem(dialog, IDCANCEL), message, key, 0);
            Sleep(20);
        };
        control.sink.events.clear();
        const CallResult result = Upload(1024 * 1024, "big.bin");
        ASSERT_NE(nullptr, dialog) << "the dialog was never shown";
        ExpectOwnError(control, result, 20202, "ファイルの転送が中断されました");
        ASSERT_FALSE(control.sink.Progress().empty());
        EXPECT_EQ(pressedAt, control.sink.Progress().back());
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_FALSE(server.Exists("big.bin"));
        EXPECT_FALSE(control.sink.Received(kTransferEndEvent));
    }
}

TEST_P(ProgressDialog, AQuitMessageTakenByTheTransfersPumpIsPostedAgain)
{
    control.sink.onProgress = [&](long bytes) {
        if (bytes != 1024)
            return;
        PostQuitMessage(7);
        // Past the pump's interval: the loop takes the quit before its next chunk.
        Sleep(20);
    };
    EXPECT_EQ(S_OK, Upload(5000).hr);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, message.wParam);
}

TEST(ProgressDialogPlace, OnTheControlWindowsTopLeftCornerOrOnTheScreenWithoutOne)
{
    // A control made with CoCreateInstance and never activated has no
    // window: the dialog sits on the screen.
    {
        WatchedUploads transfer;
        transfer.Upload(2048);
        ASSERT_NE(0u, transfer.Shown());
        const POINT topLeft = {transfer.sightings[0].rect.left, transfer.sightings[0].rect.top};
        EXPECT_NE(nullptr, MonitorFromPoint(topLeft, MONITOR_DEFAULTTONULL));
        EXPECT_GT(transfer.sightings[0].rect.right - transfer.sightings[0].rect.left, 100);
    }
    TestWindow frame(500, 400);
    HWND host = nullptr;
    ComPtr<IDispatch> hosted = ControlInAtlHost(frame.Get(), {37, 23, 357, 263}, &host);
    ASSERT_TRUE(hosted);
    HWND controlWindow = nullptr;
    ASSERT_EQ(S_OK, hosted.As<IOleInPlaceObject>(IID_IOleInPlaceObject)->GetWindow(&controlWindow));
    RECT controlRect;
    ASSERT_TRUE(GetWindowRect(controlWindow, &controlRect));
    // Away from the screen's corner, where a dialog lands without a window.
    ASSERT_TRUE(controlRect.left != 0 || controlRect.top != 0);
    {
        WatchedUploads transfer("normal", hosted);
        transfer.Upload(2048);
        ASSERT_NE(0u, transfer.Shown());
        EXPECT_EQ(controlRect.left, transfer.sightings[0].rect.left);
        EXPECT_EQ(controlRect.top, transfer.sightings[0].rect.top);
    }
    DestroyWindow(host);
    PumpMessages();
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, ProgressDialog, testing::ValuesIn(kRemoteKinds), RemoteKindName);

}  // namespace
