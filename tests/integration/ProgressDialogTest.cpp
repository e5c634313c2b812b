// The progress dialog of the registered control's transfers: when it shows, what it says, where it sits, its Cancel button.
#include "tests/integration/HostSupport.h"

#include "resources/resource.h"
#include "tests/control/WindowTestSupport.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include "framework/CodePage932.h"

namespace {

// What a TransferProgress handler sees of the progress dialog.
struct Sighting {
    HWND window = nullptr;
    RECT rect = {};
    std::string text;
};

HWND FindProgressDialog()
{
    HWND dialog = FindThreadWindow(L"#32770", L"ﾌｧｲﾙの転送");
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

Sighting Look()
{
    Sighting seen;
    seen.window = FindProgressDialog();
    if (!seen.window)
        return seen;
    GetWindowRect(seen.window, &seen.rect);
    wchar_t text[256] = L"";
    GetDlgItemTextW(seen.window, IDC_PROGRESS_MESSAGE, text, 256);
    seen.text = ToShiftJis(text);
    return seen;
}

// Uploads of local files through a control connected to a fresh server,
// looking for the dialog at every TransferProgress.
struct WatchedUploads {
    explicit WatchedUploads(ComPtr<IDispatch> hosted = CreateControl()) : control(std::move(hosted))
    {
        control.SetProperty(L"ServerName", server.Host().c_str());
        control.SetProperty(L"TransferByte", 1);
        control.SetProperty(L"ShowProgressDialog", 1);  // kilobytes
        control.Must(L"Connect");
        control.sink.onProgress = [this](long) { sightings.push_back(Look()); };
    }

    // Uploads a file of size bytes; the sightings are those of this upload.
    void Upload(size_t size, const std::string& name = "file.bin")
    {
        WriteBytes(local.PathOf(name), PatternBytes(size));
        sightings.clear();
        control.Must(L"PutFile", {local.PathOf(name).c_str()});
        EXPECT_EQ(nullptr, FindProgressDialog()) << "the dialog outlived its transfer";
    }

    bool EverShown() const
    {
        for (const Sighting& seen : sightings) {
            if (seen.window)
                return true;
        }
        return false;
    }

    ScratchDrive local;
    FtpServer server;
    HostedControl control;
    std::vector<Sighting> sightings;
};

struct ProgressDialog : testing::Test, WatchedUploads {};

TEST_F(ProgressDialog, ShownFromTheThresholdOnWithTheFileName)
{
    control.SetProperty(L"EnableProgressDialog", 1);  // VT_I4, as a host may pass it
    EXPECT_TRUE(control.Property(L"EnableProgressDialog").AsBool());
    Upload(1024, "表.bin");
    ASSERT_EQ(1u, sightings.size());
    ASSERT_NE(nullptr, sightings[0].window);
    EXPECT_EQ("表.binを転送しています", sightings[0].text);
    Upload(1023);
    ASSERT_EQ(1u, sightings.size());
    EXPECT_FALSE(EverShown());
    Upload(3000);
    EXPECT_EQ(3u, sightings.size());
    EXPECT_TRUE(sightings.front().window && sightings.back().window);
    EXPECT_EQ("file.binを転送しています", sightings.front().text);
}

TEST_F(ProgressDialog, AutomationTrueShowsItAndOffNeverDoes)
{
    control.SetProperty(L"EnableProgressDialog", -1);  // VT_I4
    Upload(2048);
    EXPECT_TRUE(EverShown());
    control.SetProperty(L"EnableProgressDialog", 0);
    EXPECT_FALSE(control.Property(L"EnableProgressDialog").AsBool());
    Upload(50000);
    EXPECT_EQ(49u, sightings.size());
    EXPECT_FALSE(EverShown());
}

TEST_F(ProgressDialog, CancelButtonPressedDuringTheTransferAborts)
{
    WriteBytes(local.PathOf("big.bin"), PatternBytes(1024 * 1024));
    HWND dialog = nullptr;
    long pressedAt = 0;
    control.sink.onProgress = [&](long bytes) {
        if (dialog || !(dialog = FindProgressDialog()))
            return;
        // Pressed as a user would: the click is queued and the transfer's
        // message pump delivers it. Past the pump's interval the transfer
        // reads its queue before the next chunk and stops there.
        pressedAt = bytes;
        PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        Sleep(20);
    };
    CallResult result = control.Call(L"PutFile", {local.PathOf("big.bin").c_str()});
    ASSERT_NE(nullptr, dialog) << "the dialog was never shown";
    ExpectOwnError(control, result, 20202, "ファイルの転送が中断されました");
    const std::vector<long> progress = control.sink.Progress();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(pressedAt, progress.back());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(server.Exists("big.bin"));
    EXPECT_FALSE(control.sink.Received(kTransferEndEvent));
}

TEST_F(ProgressDialog, WithoutAControlWindowItIsPlacedOnTheScreen)
{
    // A control made with CoCreateInstance and never activated has no
    // window to put the dialog on (it then sits at the screen's top-left
    // corner).
    Upload(2048);
    ASSERT_FALSE(sightings.empty());
    ASSERT_NE(nullptr, sightings[0].window);
    const RECT& rect = sightings[0].rect;
    RecordProperty("dialog_left", static_cast<int>(rect.left));
    RecordProperty("dialog_top", static_cast<int>(rect.top));
    const POINT topLeft = {rect.left, rect.top};
    EXPECT_NE(nullptr, MonitorFromPoint(topLeft, MONITOR_DEFAULTTONULL))
        << "placed off the screen at " << rect.left << ", " << rect.top;
    EXPECT_GT(rect.right - rect.left, 100);
}

struct HostedProgressDialog : testing::Test {
    HostedProgressDialog() : frame(500, 400) {}
    ~HostedProgressDialog() override
    {
        if (host)
            DestroyWindow(host);
        PumpMessages();
    }
    TestWindow frame;
    HWND host = nullptr;
};

TEST_F(HostedProgressDialog, PlacedOnTheControlWindowsTopLeftCorner)
{
    ComPtr<IDispatch> hosted = ControlInAtlHost(frame.Get(), {37, 23, 357, 263}, &host);
    ASSERT_TRUE(hosted);
    HWND controlWindow = nullptr;
    auto window = hosted.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    ASSERT_TRUE(window);
    ASSERT_EQ(S_OK, window->GetWindow(&controlWindow));
    RECT controlRect;
    ASSERT_TRUE(GetWindowRect(controlWindow, &controlRect));
    // Away from the screen's corner, where a dialog lands without a window.
    ASSERT_TRUE(controlRect.left != 0 || controlRect.top != 0);

    WatchedUploads transfer(hosted);
    transfer.Upload(2048);
    ASSERT_FALSE(transfer.sightings.empty());
    ASSERT_NE(nullptr, transfer.sightings[0].window);
    EXPECT_EQ(controlRect.left, transfer.sightings[0].rect.left);
    EXPECT_EQ(controlRect.top, transfer.sightings[0].rect.top);
}

}  // namespace
