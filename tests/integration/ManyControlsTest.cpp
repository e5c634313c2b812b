// Several controls in one process: one on an FTP server, one on an SSH server and one on the local disk, interleaved and nested in each other's events.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <memory>

namespace {

struct ThreeControls : testing::Test {
    ThreeControls()
    {
        first.SetProperty(L"ServerName", firstServer.Host().c_str());
        PointAt(second, secondServer);
        local.SetProperty(L"ConnectTarget", 0L);
        local.SetProperty(L"ServerName", drive.Root().c_str());
        firstServer.MakeDirectory("pub");
        secondServer.MakeDirectory("in");
        MakeDirectory(drive.PathOf("docs"));
    }

    ScratchDrive drive;
    FtpServer firstServer;
    FtpServer secondServer{"openssh-store"};
    HostedControl first;
    HostedControl second;
    HostedControl local;
};

TEST_F(ThreeControls, InterleavedOperationsStayWithTheirOwnStore)
{
    first.Must(L"Connect");
    local.Must(L"Connect");
    second.Must(L"Connect");
    first.Must(L"SetCurrentDirectory", {"/pub"});
    local.Must(L"SetCurrentDirectory", {"/docs"});
    second.Must(L"SetCurrentDirectory", {"/in"});
    WriteBytes(drive.PathOf("docs\\a.txt"), "from the disk");
    second.Must(L"PutFile", {drive.PathOf("docs\\a.txt").c_str()});
    first.Must(L"CreateDirectory", {"made-by-first"});
    local.Must(L"CreateDirectory", {"made-by-local"});

    EXPECT_EQ("/pub", first.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ("/in", second.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ("/docs", local.Must(L"GetCurrentDirectory", {0}).AsText());
    EXPECT_EQ("from the disk", secondServer.ReadFile("in/a.txt"));
    EXPECT_TRUE(firstServer.Exists("pub/made-by-first"));
    EXPECT_FALSE(secondServer.Exists("in/made-by-first"));
    EXPECT_TRUE(PathExists(drive.PathOf("docs\\made-by-local")));
    // Shared by design: the local store works in the process's working directory.
    EXPECT_EQ(drive.PathOf("docs"), WorkingDirectory());
}

TEST_F(ThreeControls, ATransferStartedFromAnotherControlsProgressEventRunsWithinIt)
{
    first.Must(L"Connect");
    second.Must(L"Connect");
    firstServer.WriteFile("pub/big.bin", PatternBytes(256 * 1024, 3));
    WriteBytes(drive.PathOf("small.bin"), PatternBytes(3000, 4));
    first.SetProperty(L"TransferByte", 16L);
    first.Must(L"SetCurrentDirectory", {"/pub"});
    first.Must(L"SelectFile", {"big.bin"});
    bool nested = false;
    HRESULT nestedResult = E_FAIL;
    first.sink.onProgress = [&](long) {
        if (nested)
            return;
        nested = true;
        // The first control is busy; the second is not.
        EXPECT_EQ(S_OK, first.Call(L"Refresh").hr);  // busy: returns at once, does nothing
        nestedResult = second.Call(L"PutFile", {drive.PathOf("small.bin").c_str()}).hr;
    };
    first.Must(L"GetFile", {drive.Root().c_str()});
    EXPECT_EQ(S_OK, nestedResult);
    EXPECT_TRUE(PatternBytes(3000, 4) == secondServer.ReadFile("small.bin"));
    EXPECT_TRUE(PatternBytes(256 * 1024, 3) == ReadBytes(drive.PathOf("big.bin")));
    EXPECT_TRUE(second.sink.Received(kTransferEndEvent));
}

TEST_F(ThreeControls, AControlDestroyedFromAnotherControlsEventLeavesTheOtherWorking)
{
    auto doomed = std::make_unique<HostedControl>();
    PointAt(*doomed, secondServer);
    doomed->Must(L"Connect");
    first.Must(L"Connect");
    WriteBytes(drive.PathOf("up.bin"), PatternBytes(5000, 5));
    first.sink.onEvent = [&](DISPID id) {
        if (id == kTransferEndEvent)
            doomed.reset();  // its last reference goes: disconnected and destroyed
    };
    first.Must(L"PutFile", {drive.PathOf("up.bin").c_str()});
    EXPECT_EQ(nullptr, doomed);
    EXPECT_TRUE(PatternBytes(5000, 5) == firstServer.ReadFile("up.bin"));
    // The survivor goes on as before.
    first.Must(L"SetCurrentDirectory", {"/pub"});
    EXPECT_EQ("/pub", first.Must(L"GetCurrentDirectory", {0}).AsText());
}

}  // namespace
