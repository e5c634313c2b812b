// A 200 MiB file up to a server and back: byte-identical, with the progress bar inside 0..99 all the way.
#include "filesystem/WyFTPFileSystem.h"

#include "resources/resource.h"
#include "tests/filesystem/FileStoreTestKit.h"
#include "tests/fixture/FtpServer.h"

#include <bcrypt.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr size_t kMiB = 1024 * 1024;
constexpr size_t kFileMiB = 200;

std::string Sha256OfFile(const std::string& path)
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0
        || BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) != 0)
        throw std::runtime_error("no SHA-256");
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path);
    std::vector<UCHAR> buffer(kMiB);
    DWORD read = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0)
        BCryptHashData(hash, buffer.data(), read, 0);
    CloseHandle(file);
    UCHAR digest[32];
    BCryptFinishHash(hash, digest, sizeof digest, 0);
    BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

// The running totals of TransferProgress and the bar position each one
// found: the position the chunk before set.
struct BarWatch {
    std::vector<std::pair<LONG, int>> seen;
    void Attach(CTestOwner& owner)
    {
        seen.clear();
        owner.onProgress = [this, &owner](LONG bytes) {
            const HWND window = owner.dialog ? owner.dialog->GetSafeHwnd() : nullptr;
            const int position =
                window ? static_cast<int>(SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0)) : -1;
            seen.emplace_back(bytes, position);
        };
    }
    void Check() const
    {
        ASSERT_GE(seen.size(), kFileMiB);
        EXPECT_EQ(static_cast<LONG>(kFileMiB * kMiB), seen.back().first);
        LONG before = 0;
        for (const auto& [bytes, position] : seen) {
            // 64-bit arithmetic: before * 100 passes 2^32 at 42 MB.
            const int expected = static_cast<int>(static_cast<long long>(before) * 100 / (kFileMiB * kMiB));
            EXPECT_EQ(expected, position) << "at " << bytes << " bytes";
            EXPECT_LE(position, 99);
            before = bytes;
        }
    }
};

// Wine's Internet library writes a copy of every FTP download into its cache
// directory ("name[0]"), never records it and ignores the no-cache flag:
// this test's 200 MiB must not pile up there run after run.
void DeleteCachedCopies(const std::string& stem)
{
    char appData[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("LOCALAPPDATA", appData, sizeof appData))
        return;
    const std::string cache = std::string(appData) + "\\Microsoft\\Windows\\INetCache\\Content.IE5";
    for (const std::string& folder : NamesIn(cache)) {
        for (const std::string& name : NamesIn(cache + "\\" + folder)) {
            if (name.rfind(stem + "[", 0) == 0)
                DeleteFileA((cache + "\\" + folder + "\\" + name).c_str());
        }
    }
}

TEST(LargeFile, TwoHundredMebibytesUpAndDown)
{
    FtpServer server;
    ScratchDrive local;
    const std::string source = local.PathOf("wyftp-large.bin");
    {
        const HANDLE file = CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        for (unsigned piece = 0; piece < kFileMiB; ++piece) {
            const std::string bytes = PatternBytes(kMiB, piece);
            DWORD written = 0;
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
        CloseHandle(file);
    }
    const std::string expected = Sha256OfFile(source);

    CTestOwner owner;
    owner.serverName = server.Host();
    owner.userName = FtpServer::kUser;
    owner.password = FtpServer::kPassword;
    owner.provideDialog = true;  // ShowProgressDialog keeps its default of 100 KB
    CWyFTPFileSystem store(&owner);
    store.Connect(nullptr, nullptr, nullptr);
    BarWatch bar;

    // The control's default TransferByte of 1,024 KB.
    bar.Attach(owner);
    store.PutFile(source.c_str(), "/", 1024 * 1024);
    bar.Check();
    EXPECT_TRUE(expected == Sha256OfFile(server.PathOf("wyftp-large.bin"))) << "uploaded bytes differ";

    MakeDirectory(local.PathOf("back"));
    owner.progress.clear();
    bar.Attach(owner);
    store.GetFile("/wyftp-large.bin", (local.Root() + "/back").c_str(), 1024 * 1024);
    DeleteCachedCopies("wyftp-large");
    bar.Check();
    EXPECT_TRUE(expected == Sha256OfFile(local.PathOf("back\\wyftp-large.bin"))) << "downloaded bytes differ";
}

}  // namespace
