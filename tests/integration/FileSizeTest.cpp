// GetFileSize through the registered control: files past 4 GiB on a server and on the local disk.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

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
    FtpServer server;
    ScratchDrive drive;
    for (const auto& file : kFiles) {
        MakeSparseFile(server.PathOf(file.first), file.second);
        MakeSparseFile(drive.PathOf(file.first), file.second);
    }
    HostedControl ftp;
    ftp.SetProperty(L"ServerName", server.Host().c_str());
    ftp.Must(L"Connect");
    EXPECT_EQ(kExpected, SizesFrom(ftp));

    HostedControl local;
    local.SetProperty(L"ConnectTarget", 0L);
    local.SetProperty(L"ServerName", drive.Root().c_str());
    local.Must(L"Connect");
    EXPECT_EQ(kExpected, SizesFrom(local));
}

}  // namespace
