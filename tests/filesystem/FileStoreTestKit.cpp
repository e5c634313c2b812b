// What the file-store tests share: a stand-in for the control and test helpers for the stores.
#include "tests/filesystem/FileStoreTestKit.h"

CTestOwner::CTestOwner()
{
    // A top-level window away from the screen's corner, so a dialog placed on
    // it is not placed at (0, 0) by chance. Hidden: its rectangle is all the
    // stores read, and under Wine without a window manager hiding a shown
    // window waits two seconds.
    controlWindow = CreateWindowExA(0, "STATIC", "control", WS_POPUP, 173, 129, 320, 240, nullptr, nullptr,
                                    nullptr, nullptr);
}

CTestOwner::~CTestOwner()
{
    if (controlWindow)
        DestroyWindow(controlWindow);
}

void CTestOwner::FireTransferProgress(LONG bytes)
{
    progress.push_back(bytes);
    if (onProgress)
        onProgress(bytes);
}

std::unique_ptr<CWyProgressDisplay> CTestOwner::CreateProgressDisplay(CWyFileSystem& fileSystem)
{
    if (!provideDialog)
        return nullptr;
    auto made = std::make_unique<CWyTransferProgressDlg>(&fileSystem);
    dialog = made.get();
    return made;
}

const CWyDirectoryEntry* CListing::Find(const std::string& name) const
{
    for (const CWyDirectoryEntry& entry : entries) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

int WyErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const CWyFTPException& error) {
        return error.m_nErrorCode;
    }
    return -1;
}
