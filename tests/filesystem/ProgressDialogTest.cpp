// The progress dialog of the copy loop: when it shows, where, what it says, its bar and its Cancel button.
#include "explorer/WyTransferProgressDlg.h"
#include "filesystem/WyLocalFileSystem.h"

#include "framework/CodePage932.h"
#include "resources/resource.h"
#include "tests/filesystem/FileStoreTestKit.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

// What a TransferProgress handler sees of the dialog.
struct Sighting {
    bool shown = false;
    RECT rect = {};
    std::string text;
    int position = -1;
};

struct ProgressDialog : ::testing::Test {
    ProgressDialog()
    {
        owner.serverName = drive.Root();
        owner.provideDialog = true;
        owner.showProgressDialog = 1;  // kilobytes
        owner.onProgress = [this](LONG) { sightings.push_back(Look()); };
        store.Connect(nullptr, nullptr, nullptr);
        MakeDirectory(drive.PathOf("src"));
    }

    Sighting Look() const
    {
        Sighting seen;
        const HWND window = owner.dialog ? owner.dialog->GetSafeHwnd() : nullptr;
        if (!window || !IsWindowVisible(window))
            return seen;
        seen.shown = true;
        GetWindowRect(window, &seen.rect);
        wchar_t text[256] = L"";
        GetDlgItemTextW(window, IDC_PROGRESS_MESSAGE, text, 256);
        seen.text = ToShiftJis(text);
        seen.position = static_cast<int>(SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
        return seen;
    }

    // Copies a file of size bytes from /src to /; the sightings are those of this copy.
    void Copy(size_t size, DWORD chunkSize = 256)
    {
        WriteBytes(drive.PathOf("src\\file.bin"), PatternBytes(size));
        sightings.clear();
        store.GetFile("/src/file.bin", "/", chunkSize);
    }

    bool EverShown() const
    {
        for (const Sighting& seen : sightings) {
            if (seen.shown)
                return true;
        }
        return false;
    }

    ScratchDrive drive;
    CTestOwner owner;
    CWyLocalFileSystem store{&owner};
    std::vector<Sighting> sightings;
};

TEST_F(ProgressDialog, ShownFromTheThresholdOn)
{
    Copy(1024);
    EXPECT_TRUE(EverShown());
    Copy(1023);
    EXPECT_FALSE(EverShown());
    // The dialog object is made for every transfer, shown or not.
    EXPECT_EQ(2, owner.dialogsMade);
}

TEST_F(ProgressDialog, AutomationTrueShowsItAndOffNeverDoes)
{
    owner.enableProgressDialog = -1;
    Copy(4096);
    EXPECT_TRUE(EverShown());
    owner.enableProgressDialog = 0;
    owner.showProgressDialog = 1;
    Copy(100000, 4096);
    EXPECT_FALSE(EverShown());
}

TEST_F(ProgressDialog, PlacedOnTheControlWindowWithTheFileName)
{
    Copy(2048);
    ASSERT_FALSE(sightings.empty());
    ASSERT_TRUE(sightings.front().shown);
    RECT control;
    GetWindowRect(owner.controlWindow, &control);
    EXPECT_EQ(control.left, sightings.front().rect.left);
    EXPECT_EQ(control.top, sightings.front().rect.top);
    EXPECT_GT(sightings.front().rect.right - sightings.front().rect.left, 100);
    EXPECT_EQ("file.binを転送しています", sightings.front().text);
}

TEST_F(ProgressDialog, BarFollowsTheBytesAndNeverShowsFull)
{
    // Each sighting shows the bar as the chunk before left it.
    Copy(2000, 512);
    ASSERT_EQ(4u, sightings.size());
    EXPECT_EQ(0, sightings[0].position);
    EXPECT_EQ(25, sightings[1].position);  // 512 * 100 / 2000
    EXPECT_EQ(51, sightings[2].position);  // 1024 * 100 / 2000
    EXPECT_EQ(76, sightings[3].position);  // 1536 * 100 / 2000
    // The last chunk made it 100 %: the bar was left at 76 and the dialog went.
}

TEST_F(ProgressDialog, CancelButtonAbortsTheTransfer)
{
    // Big enough that the loop looks at its message queue (every few
    // milliseconds) long before it could end: 4,096 chunks.
    constexpr size_t kSize = 4 * 1024 * 1024;
    WriteBytes(drive.PathOf("src\\file.bin"), PatternBytes(kSize));
    HWND dialog = nullptr;
    owner.onProgress = [&](LONG) {
        if (!dialog && owner.dialog) {
            dialog = owner.dialog->GetSafeHwnd();
            // Pressed as a user would: the click is queued and the copy
            // loop's message pump delivers it.
            PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        }
    };
    EXPECT_EQ(WyFTPErrorTransferAborted, WyErrorOf([&] { store.GetFile("/src/file.bin", "/", 1024); }));
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(IsWindow(dialog));
    ASSERT_FALSE(owner.progress.empty());
    EXPECT_LT(static_cast<size_t>(owner.progress.back()), kSize) << "the transfer ran to its end";
    EXPECT_FALSE(PathExists(drive.PathOf("file.bin")));
}

TEST_F(ProgressDialog, EscapeKeyCancelsToo)
{
    WriteBytes(drive.PathOf("src\\file.bin"), PatternBytes(4 * 1024 * 1024));
    bool pressed = false;
    owner.onProgress = [&](LONG) {
        if (!pressed && owner.dialog && owner.dialog->GetSafeHwnd()) {
            pressed = true;
            PostMessageA(GetDlgItem(owner.dialog->GetSafeHwnd(), IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
        }
    };
    EXPECT_EQ(WyFTPErrorTransferAborted, WyErrorOf([&] { store.GetFile("/src/file.bin", "/", 1024); }));
    EXPECT_TRUE(pressed);
}

TEST_F(ProgressDialog, WindowIsGoneAfterTheTransfer)
{
    HWND dialog = nullptr;
    owner.onProgress = [&](LONG) { dialog = owner.dialog->GetSafeHwnd(); };
    Copy(5000, 1000);
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(ProgressDialog, QuitMessageSurvivesTheTransfer)
{
    owner.onProgress = [&](LONG bytes) {
        if (bytes == 1000)
            PostQuitMessage(7);
    };
    Copy(5000, 1000);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, message.wParam);
}

TEST(TransferProgressDlg, TemplateHoldsCaptionBarAndCancelButton)
{
    CWyTransferProgressDlg dialog(nullptr);
    ASSERT_TRUE(dialog.Create()) << "no window can be created: is the X display reachable? (error "
                                 << GetLastError() << ")";
    const HWND window = dialog.GetSafeHwnd();
    wchar_t text[64] = L"";
    GetWindowTextW(window, text, 64);
    EXPECT_EQ("ﾌｧｲﾙの転送", ToShiftJis(text));
    GetDlgItemTextW(window, IDCANCEL, text, 64);
    EXPECT_EQ("ｷｬﾝｾﾙ", ToShiftJis(text));
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE((style & (WS_POPUP | WS_CAPTION | WS_SYSMENU)) == (WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_FALSE(style & WS_VISIBLE);
    EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongA(GetDlgItem(window, IDCANCEL), GWL_STYLE) & 0x0F);
    char className[64] = "";
    GetClassNameA(GetDlgItem(window, IDC_PROGRESS_BAR), className, sizeof className);
    EXPECT_STREQ("msctls_progress32", className);
    // 100 % and more leave the bar where it is; StepBy advances it.
    dialog.SetPercent(40);
    dialog.SetPercent(100);
    EXPECT_EQ(40, SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    dialog.StepBy(5);
    EXPECT_EQ(45, SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
}

}  // namespace
