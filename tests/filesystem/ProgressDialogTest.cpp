// The progress dialog of the copy loop: its bar, its keys, its template and the message queue it pumps.
#include "explorer/WyTransferProgressDlg.h"
#include "filesystem/WyLocalFileSystem.h"

#include "framework/CodePage932.h"
#include "resources/resource.h"
#include "tests/control/WindowTestSupport.h"
#include "tests/filesystem/FileStoreTestKit.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

struct ProgressDialog : ::testing::Test {
    ProgressDialog()
    {
        owner.serverName = drive.Root();
        owner.provideDialog = true;
        owner.showProgressDialog = 1;  // kilobytes
        owner.onProgress = [this](LONG) { barPositions.push_back(BarPosition()); };
        store.Connect(nullptr, nullptr, nullptr);
        MakeDirectory(drive.PathOf("src"));
    }

    // Where the shown dialog's bar stands, or -1 when no dialog is shown.
    int BarPosition()
    {
        const HWND window = owner.dialog ? owner.dialog->GetSafeHwnd() : nullptr;
        if (!window || !IsWindowVisible(window))
            return -1;
        shownWindow = window;
        return static_cast<int>(SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    }

    // Copies a file of size bytes from /src to /; the positions are those of this copy.
    void Copy(size_t size, DWORD chunkSize = 256)
    {
        WriteBytes(drive.PathOf("src\\file.bin"), PatternBytes(size));
        barPositions.clear();
        store.GetFile("/src/file.bin", "/", chunkSize);
    }

    ScratchDrive drive;
    CTestOwner owner;
    CWyLocalFileSystem store{&owner};
    std::vector<int> barPositions;
    HWND shownWindow = nullptr;
};

TEST_F(ProgressDialog, BarFollowsTheBytesAndNeverShowsFull)
{
    // Each progress event sees the bar as the chunk before left it.
    Copy(2000, 512);
    EXPECT_EQ((std::vector<int>{0, 25, 51, 76}), barPositions);  // 512, 1024, 1536 of 2000
    // The last chunk made it 100 %: the bar was left at 76 and the dialog went.
    ASSERT_NE(nullptr, shownWindow);
    EXPECT_FALSE(IsWindow(shownWindow));
}

TEST_F(ProgressDialog, EscapeKeyCancelsToo)
{
    WriteBytes(drive.PathOf("src\\file.bin"), PatternBytes(1024 * 1024));
    LONG pressedAt = 0;
    owner.onProgress = [&](LONG bytes) {
        if (pressedAt || !owner.dialog || !owner.dialog->GetSafeHwnd())
            return;
        pressedAt = bytes;
        PostMessageA(GetDlgItem(owner.dialog->GetSafeHwnd(), IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
        // Past the pump's interval: the loop reads its queue before the
        // next chunk, and the key stops it there.
        Sleep(20);
    };
    EXPECT_EQ(WyFTPErrorTransferAborted, WyErrorOf([&] { store.GetFile("/src/file.bin", "/", 1024); }));
    ASSERT_NE(0, pressedAt);
    EXPECT_EQ(pressedAt, owner.progress.back());
}

TEST_F(ProgressDialog, QuitMessageSurvivesTheTransfer)
{
    owner.onProgress = [&](LONG bytes) {
        if (bytes != 1000)
            return;
        PostQuitMessage(7);
        // Past the pump's interval: the loop takes the quit from the queue
        // before its next chunk and must hand it back.
        Sleep(20);
    };
    Copy(5000, 1000);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, message.wParam);
}

TEST_F(ProgressDialog, TheScreenShowsTheTextAndTheBarAsTheTransferAdvances)
{
    // Each progress event sees what the chunk before left on screen,
    // against what a full repaint of the dialog draws.
    std::vector<size_t> stale;
    owner.onProgress = [&](LONG) {
        const HWND window = owner.dialog ? owner.dialog->GetSafeHwnd() : nullptr;
        if (window && IsWindowVisible(window))
            stale.push_back(StalePixels(window));
    };
    Copy(4000, 1000);
    ASSERT_EQ(4u, stale.size());
    for (size_t step = 0; step < stale.size(); ++step)
        EXPECT_GE(40u, stale[step]) << "after chunk " << step;
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
