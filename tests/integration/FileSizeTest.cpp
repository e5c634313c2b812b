// GetFileSize through the registered control: files past 4 GiB on FTP and SSH servers and on the local disk.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <cstring>

namespace {

// A sparse file of size bytes: nothing is written, the disk holds nothing.
void MakeSparseFile(const std::string& path, LONGLONG size)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    LARGE_INTEGER end;
    end.QuadPart = size;
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
}

// The answers: the size itself below 4 GiB - 1, 0xFFFFFFFE ("at least this
// big") from there on, 0xFFFFFFFF (-1) for no such file.
const std::pair<const char*, LONGLONG> kFiles[] = {
    {"small.bin", 4096}, {"under.bin", 0xFFFFFFFELL}, {"edge.bin", 0xFFFFFFFFLL}, {"huge.bin", 5LL << 30}};

std::vector<long> SizesFrom(HostedControl& control)
{
    std::vector<long> sizes;
    for (const auto& file : kFiles)
        sizes.push_back(control.Must(L"GetFileSize", {file.first}).AsLong());
    sizes.push_back(control.Must(L"GetFileSize", {"missing.bin"}).AsLong());
    return sizes;
}

const std::vector<long> kExpected = {4096, static_cast<long>(0xFFFFFFFE), static_cast<long>(0xFFFFFFFE),
                                     static_cast<long>(0xFFFFFFFE), -1};

TEST(FileSize, PastFourGibibytesTheAnswerSaysAtLeastThisBig)
{
    for (const RemoteKind& kind : kRemoteKinds) {
        SCOPED_TRACE(kind.name);
        FtpServer server(kind.server);
        for (const auto& file : kFiles)
            MakeSparseFile(server.PathOf(file.first), file.second);
        HostedControl remote;
        PointAt(remote, server);
        remote.Must(L"Connect");
        EXPECT_EQ(kExpected, SizesFrom(remote));
    }

    ScratchDrive drive;
    for (const auto& file : kFiles)
        MakeSparseFile(drive.PathOf(file.first), file.second);
    HostedControl local;
    local.SetProperty(L"ConnectTarget", 0L);
    local.SetProperty(L"ServerName", drive.Root().c_str());
    local.Must(L"Connect");
    EXPECT_EQ(kExpected, SizesFrom(local));
}

// Writes bytes at offset of an existing file.
void WriteAt(const std::string& path, LONGLONG offset, const std::string& bytes)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD written = 0;
    EXPECT_TRUE(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

// Whether two files hold the same bytes, read side by side.
bool SameContents(const std::string& a, const std::string& b)
{
    const HANDLE first = CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const HANDLE second = CreateFileA(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    bool same = first != INVALID_HANDLE_VALUE && second != INVALID_HANDLE_VALUE;
    std::string left(8 << 20, '\0');
    std::string right(8 << 20, '\0');
    while (same) {
        DWORD leftRead = 0;
        DWORD rightRead = 0;
        same = ReadFile(first, left.data(), static_cast<DWORD>(left.size()), &leftRead, nullptr)
            && ReadFile(second, right.data(), static_cast<DWORD>(right.size()), &rightRead, nullptr)
            && leftRead == rightRead && std::memcmp(left.data(), right.data(), leftRead) == 0;
        if (leftRead == 0)
            break;
    }
    CloseHandle(first);
    CloseHandle(second);
    return same;
}

TEST(FileSize, AFilePastFourGibibytesGoesDownAndUpWhole)
{
    // Just past 4 GiB, sparse on the server, with data where a 32-bit size
    // or offset would go wrong: at 2 GiB, across 4 GiB and at the end.
    constexpr LONGLONG kSize = (4LL << 30) + (1 << 20) + 17;
    FtpServer server;
    ScratchDrive drive;
    const std::string source = server.PathOf("huge.bin");
    MakeSparseFile(source, kSize);
    for (const LONGLONG offset : {0LL, (2LL << 30) - 8, (4LL << 30) - 8, kSize - 16})
        WriteAt(source, offset, PatternBytes(16, static_cast<unsigned>(offset % 251)));
    server.MakeDirectory("up");

    HostedControl control;
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"EnableProgressDialog", false);
    control.Must(L"Connect");
    control.Must(L"SelectFile", {"huge.bin"});
    control.Must(L"GetFile", {drive.Root().c_str()});
    EXPECT_TRUE(SameContents(source, drive.PathOf("huge.bin")));
    // The progress stops at the largest long.
    ASSERT_FALSE(control.sink.Progress().empty());
    EXPECT_EQ(0x7FFFFFFFL, control.sink.Progress().back());

    control.Must(L"SetCurrentDirectory", {"/up"});
    control.Must(L"PutFile", {drive.PathOf("huge.bin").c_str()});
    EXPECT_TRUE(SameContents(source, server.PathOf("up/huge.bin")));
    DeleteFileA(drive.PathOf("huge.bin").c_str());
    DeleteFileA(server.PathOf("up/huge.bin").c_str());
}

}  // namespace
