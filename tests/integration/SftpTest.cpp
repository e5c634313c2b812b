// SFTP against OpenSSH's own server: logins by password and key, the host key pinned or refused, transfers, relays and aborts.
#include <winsock2.h>

#include "tests/integration/HostSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <gtest/gtest.h>

#include <wincrypt.h>
#include <wininet.h>

#include <string>
#include <thread>

namespace {

constexpr long kSftp = 2;

// Sets the control up for the SSH server (Connect not called), its host
// key left to the test.
void Prepare(HostedControl& control, const FtpServer& server, const char* password = FtpServer::kPassword)
{
    PointAt(control, server);
    control.sink.acceptCertificate = -1;
    control.SetProperty(L"Password", password);
    control.SetProperty(L"Timeout", 10L);
}

// The server's host key fingerprint, as a host learns it: accepted once in
// ServerCertificate and read back.
std::string HostKeyOf(const FtpServer& server)
{
    HostedControl control;
    Prepare(control, server);
    control.sink.acceptCertificate = 1;
    control.Must(L"Connect");
    return control.Property(L"LastCertificateFingerprint").AsText();
}

// 64 hex digits as OpenSSH writes the same fingerprint: "SHA256:" and
// base64 without its padding.
std::string OpenSshForm(const std::string& hex)
{
    BYTE digest[32];
    for (size_t at = 0; at < 32; ++at)
        digest[at] = static_cast<BYTE>(std::stoi(hex.substr(at * 2, 2), nullptr, 16));
    char text[64];
    DWORD length = sizeof text;
    CryptBinaryToStringA(digest, 32, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, text, &length);
    std::string base64(text, length);
    while (!base64.empty() && base64.back() == '=')
        base64.pop_back();
    return "SHA256:" + base64;
}

// What sshd logged since the last call for the same server, once it holds
// until (sshd writes its log on its own time, not before the client
// returns); gives up after ten seconds.
std::string NewLogLines(const FtpServer& server, size_t& seen, const std::string& until = "")
{
    std::string fresh;
    for (int wait = 0; wait < 200; ++wait) {
        const std::string log = ReadBytes(server.Root() + ".work\\sshd.log");
        fresh = log.size() > seen ? log.substr(seen) : std::string();
        if (fresh.find(until) != std::string::npos)
            break;
        Sleep(50);
    }
    seen += fresh.size();
    return fresh;
}

}  // namespace

TEST(Sftp, LogsInByPasswordOrKeyFileAndEachRefusalHasItsOwnError)
{
    FtpServer server("openssh", FtpServer::kAnyPort);
    const std::string keyFileUnreadable =
        "秘密鍵ファイルを読み込めません（ファイルがないか、形式またはパスフレーズが不正です）";
    const struct {
        const char* password;
        const char* key;     // FtpServer::KeyFile's name; nullptr: none
        long code;           // 0: logs in; 12015: the Internet library's error
        std::string message; // the control's own errors' text
    } cases[] = {
        {FtpServer::kPassword, nullptr, 0, ""},
        {"wrong", nullptr, ERROR_INTERNET_LOGIN_FAILURE, ""},
        {"", "rsa", 0, ""},
        {FtpServer::kPassword, "ecdsa", 0, ""},
        {FtpServer::kPassword, "rsa-aes", 0, ""},
        {FtpServer::kPassword, "rsa-des3", 0, ""},
        {"wrong", "ecdsa", 20107, keyFileUnreadable},
        {"", "missing", 20107, keyFileUnreadable},
        {"", "stranger", 20106, "サーバーが秘密鍵による認証を拒否しました"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.password) + " " + (test.key ? test.key : "(no key)"));
        HostedControl control;
        Prepare(control, server, test.password);
        control.sink.acceptCertificate = 1;
        control.SetProperty(L"PrivateKeyFile", test.key ? server.KeyFile(test.key).c_str() : "");
        const CallResult result = control.Call(L"Connect");
        if (test.code == 0) {
            ASSERT_EQ(S_OK, result.hr) << result.description;
            EXPECT_EQ(10, control.Must(L"GetFileSize", {"/small.txt"}).AsLong());
        } else if (test.message.empty()) {
            ExpectRaised(control, result, kInternetErrorStatus, test.code);
        } else {
            ExpectOwnError(control, result, test.code, test.message);
        }
    }
}

TEST(Sftp, AServerThatOffersOnlyKeyboardInteractiveIsAnsweredWithThePassword)
{
    FtpServer server("openssh-kbdint", FtpServer::kAnyPort);
    for (const char* password : {FtpServer::kPassword, "wrong"}) {
        SCOPED_TRACE(password);
        HostedControl control;
        Prepare(control, server, password);
        control.sink.acceptCertificate = 1;
        const CallResult result = control.Call(L"Connect");
        if (std::string(password) == FtpServer::kPassword)
            EXPECT_EQ(10, control.Must(L"GetFileSize", {"/small.txt"}).AsLong()) << result.description;
        else
            ExpectRaised(control, result, kInternetErrorStatus, ERROR_INTERNET_LOGIN_FAILURE);
    }
}

TEST(Sftp, HostKeyIsPinnedInEitherFormOrAcceptedByTheHostAndElseRefusedBeforeAnyLogin)
{
    FtpServer server("openssh", FtpServer::kAnyPort);
    const std::string key = HostKeyOf(server);
    ASSERT_EQ(64u, key.size()) << key;
    std::string other = key;
    other[0] = other[0] == 'A' ? 'B' : 'A';
    const struct {
        std::string pin;
        bool connects;
    } cases[] = {{key, true}, {OpenSshForm(key), true}, {"", false}, {other, false}};
    size_t seen = 0;
    NewLogLines(server, seen);
    for (const auto& test : cases) {
        SCOPED_TRACE("pin " + test.pin);
        HostedControl control;
        Prepare(control, server);
        control.SetProperty(L"CertificatePin", test.pin.c_str());
        // The host leaves the event's answer as the check found it.
        const CallResult result = control.Call(L"Connect");
        EXPECT_EQ(key, control.Property(L"LastCertificateFingerprint").AsText());
        const std::string logged = NewLogLines(server, seen, test.connects ? "Accepted " : "[preauth]");
        if (test.connects) {
            EXPECT_EQ(S_OK, result.hr) << result.description;
            continue;
        }
        ExpectRaised(control, result, kInternetErrorStatus, ERROR_INTERNET_INVALID_CA);
        // No login was tried.
        EXPECT_EQ(std::string::npos, logged.find("Accepted ")) << logged;
        EXPECT_EQ(std::string::npos, logged.find("Failed ")) << logged;
        EXPECT_NE(std::string::npos, logged.find("[preauth]")) << logged;
        const HostEvent* event = nullptr;
        for (const HostEvent& received : control.sink.events) {
            if (received.id == kServerCertificateEvent)
                event = &received;
        }
        ASSERT_NE(nullptr, event);
        EXPECT_EQ(key, event->args[0].AsText());
        EXPECT_NE(std::string::npos, event->args[1].AsText().find("ecdsa")) << event->args[1].AsText();
        EXPECT_EQ(1, event->args[5].AsLong());  // no authority vouches for a host key
    }
}

TEST(Sftp, AHostKeyThatChangedIsRefusedOnReconnectBeforeAnyLogin)
{
    FtpServer server("openssh", FtpServer::kBehindFaultProxy);
    HostedControl control;
    Prepare(control, server);
    control.SetProperty(L"ReconnectTime", 10L);
    control.sink.acceptCertificate = 1;
    control.Must(L"Connect");
    const std::string accepted = control.Property(L"LastCertificateFingerprint").AsText();
    size_t seen = 0;
    NewLogLines(server, seen, "Accepted ");
    // The server is replaced meanwhile, and the connection breaks: the
    // reconnect meets another key, which the host accepted for nothing.
    server.ChangeHostKeys();
    server.SetFault("drop-control");
    control.sink.events.clear();
    ExpectRaised(control, control.Call(L"GetFileList", {"/pub"}), kInternetErrorStatus, ERROR_INTERNET_INVALID_CA);
    EXPECT_TRUE(control.sink.Received(kReconnectingEvent));
    EXPECT_FALSE(control.sink.Received(kServerCertificateEvent)) << "the host was not asked again";
    const std::string changed = control.Property(L"LastCertificateFingerprint").AsText();
    EXPECT_EQ(64u, changed.size());
    EXPECT_NE(accepted, changed);
    // The refused server was left at once, before any login.
    const std::string logged = NewLogLines(server, seen, "[preauth]");
    EXPECT_NE(std::string::npos, logged.find("[preauth]")) << logged;
    EXPECT_EQ(std::string::npos, logged.find("Accepted ")) << logged;
    EXPECT_EQ(std::string::npos, logged.find("Failed ")) << logged;
}

TEST(Sftp, PortTwentyOneMeansSshsOwnPort)
{
    ScratchDrive drive;
    const std::string trace = drive.PathOf("trace.txt");
    HostedControl control;
    control.SetProperty(L"ConnectTarget", kSftp);
    control.SetProperty(L"ServerName", "127.0.0.1");
    control.SetProperty(L"UserName", FtpServer::kUser);
    control.SetProperty(L"Timeout", 5L);
    control.SetProperty(L"TraceFile", trace.c_str());
    EXPECT_EQ(21, control.Property(L"Port").AsLong());
    // Whatever answers on port 22 of this machine, if anything does.
    EXPECT_NE(S_OK, control.Call(L"Connect").hr);
    EXPECT_NE(std::string::npos, ReadBytes(trace).find("127.0.0.1:22")) << ReadBytes(trace);
}

// Directories, deletions and small transfers run over SFTP with the other
// stores' cases; here files of several libssh2 requests each way, and an
// abort while libssh2 reads ahead.
TEST(Sftp, FilesOfManyRequestsGoWholeAndAnAbortWhileReadingAheadLeavesTheSessionUsable)
{
    FtpServer server("openssh", FtpServer::kAnyPort);
    HostedControl control;
    Prepare(control, server);
    control.sink.acceptCertificate = 1;
    control.SetProperty(L"EnableProgressDialog", false);
    control.Must(L"Connect");
    ScratchDrive drive;

    // Two whole 1 MiB chunks and a part, up and down again.
    const std::string bytes = PatternBytes((5 << 20) / 2 + 7);
    WriteBytes(drive.PathOf("上り.bin"), bytes);
    control.Must(L"SetCurrentDirectory", {"/pub"});
    control.Must(L"PutFile", {drive.PathOf("上り.bin").c_str()});
    EXPECT_TRUE(server.ReadFile("pub/上り.bin") == bytes);
    control.Must(L"RenameFile", {"/pub/上り.bin", "/pub/下り.bin"});
    control.Must(L"SelectFile", {"下り.bin"});
    control.Must(L"GetFile", {drive.Root().c_str()});
    EXPECT_TRUE(ReadBytes(drive.PathOf("下り.bin")) == bytes);

    // The server's refusal, with its reason.
    control.Must(L"SetCurrentDirectory", {"/"});
    const CallResult refused = control.Call(L"PutFile", {drive.PathOf("上り.bin").c_str()});
    ExpectRaised(control, refused, kInternetErrorStatus, ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_NE(std::string::npos, control.LastMessage().find("Permission denied")) << control.LastMessage();

    // An abort in the middle of the 4 GiB file, then the session goes on.
    control.SetProperty(L"TransferByte", 4L);
    CallResult abort;
    control.sink.onProgress = [&](long copied) {
        if (copied == 8192)
            abort = control.Call(L"AbortTransfer");
    };
    control.Must(L"SelectFile", {"big.bin"});
    ExpectOwnError(control, control.Call(L"GetFile", {drive.Root().c_str()}), 20202,
                   "ファイルの転送が中断されました");
    EXPECT_EQ(S_OK, abort.hr);
    EXPECT_FALSE(PathExists(drive.PathOf("big.bin")));
    control.sink.onProgress = nullptr;
    EXPECT_EQ(10, control.Must(L"GetFileSize", {"/small.txt"}).AsLong());
}

TEST(Sftp, ControlsRelayFilesBetweenSftpFtpAndTheLocalDisk)
{
    FtpServer ssh("openssh", FtpServer::kAnyPort);
    FtpServer ftp("normal", FtpServer::kAnyPort);
    const std::string sftpUrl = AddressOf(ssh);
    const std::string ftpUrl = AddressOf(ftp);
    const std::string account = std::string("?uid=") + FtpServer::kUser + "&pw=" + FtpServer::kPassword;

    // SFTP to FTP and back, from a control on the SSH server.
    HostedControl control;
    Prepare(control, ssh);
    control.sink.acceptCertificate = 1;
    control.SetProperty(L"EnableProgressDialog", false);
    control.Must(L"Connect");
    control.Must(L"SelectFile", {"表.txt"});
    control.Must(L"GetFile", {(ftpUrl + "/" + account).c_str()});
    EXPECT_EQ(ssh.ReadFile("表.txt"), ftp.ReadFile("表.txt"));
    ftp.WriteFile("戻り.txt", "from ftp");
    control.Must(L"SetCurrentDirectory", {"/pub"});
    control.Must(L"PutFile", {(ftpUrl + "/戻り.txt" + account).c_str()});
    EXPECT_EQ("from ftp", ssh.ReadFile("pub/戻り.txt"));

    // The local disk takes a file from an sftp URL, as a drop gives it.
    ScratchDrive drive;
    HostedControl local;
    local.SetProperty(L"ConnectTarget", 0L);
    local.SetProperty(L"ServerName", drive.Root().c_str());
    local.SetProperty(L"EnableProgressDialog", false);
    local.sink.acceptCertificate = 1;
    local.Must(L"Connect");
    local.Must(L"PutFile", {(sftpUrl + "/pub/戻り.txt" + account).c_str()});
    EXPECT_EQ("from ftp", ReadBytes(drive.PathOf("戻り.txt")));
}

TEST(Sftp, ABreakBetweenCallsOrMidTransferReconnectsAndResumesOrFails)
{
    FtpServer server("openssh", FtpServer::kBehindFaultProxy);
    const std::string bytes = PatternBytes(3 << 20);
    server.WriteFile("pub/data.bin", bytes);
    enum class When { betweenCalls, midDownload, midUpload };
    for (const long reconnectSeconds : {0L, 10L}) {
        for (const When when : {When::betweenCalls, When::midDownload, When::midUpload}) {
            SCOPED_TRACE(std::to_string(reconnectSeconds) + " " + std::to_string(static_cast<int>(when)));
            HostedControl control;
            Prepare(control, server);
            control.sink.acceptCertificate = 1;
            control.SetProperty(L"EnableProgressDialog", false);
            control.SetProperty(L"ReconnectTime", reconnectSeconds);
            ScratchDrive drive;
            control.SetProperty(L"TraceFile", drive.PathOf("trace.txt").c_str());
            control.Must(L"Connect");
            control.Must(L"SetCurrentDirectory", {"/pub"});
            control.sink.events.clear();
            control.sink.onProgress = [&](long copied) {
                if (copied == 1 << 20)
                    server.SetFault("drop-control");
            };
            CallResult result;
            if (when == When::midDownload) {
                control.Must(L"SelectFile", {"data.bin"});
                result = control.Call(L"GetFile", {drive.Root().c_str()});
            } else if (when == When::midUpload) {
                WriteBytes(drive.PathOf("up.bin"), bytes);
                result = control.Call(L"PutFile", {drive.PathOf("up.bin").c_str()});
            } else {
                server.SetFault("drop-control");
                result = control.Call(L"GetFileList", {"/pub"});
            }
            const std::string trace = ReadBytes(drive.PathOf("trace.txt"));
            if (reconnectSeconds == 0) {
                ExpectRaised(control, result, kInternetErrorStatus, ERROR_INTERNET_CONNECTION_ABORTED);
                EXPECT_FALSE(PathExists(drive.PathOf("data.bin")));
                control.Must(L"DisConnect");  // lets the trace file go
                continue;
            }
            ASSERT_EQ(S_OK, result.hr) << control.LastMessage();
            size_t reconnects = 0;
            for (const HostEvent& event : control.sink.events)
                reconnects += event.id == kReconnectingEvent;
            EXPECT_EQ(1u, reconnects);
            // Each goes on from where it broke: a download from what came,
            // an upload from what the server holds.
            if (when == When::midDownload) {
                EXPECT_TRUE(ReadBytes(drive.PathOf("data.bin")) == bytes);
                EXPECT_NE(std::string::npos, trace.find("OPEN READ /pub/data.bin @1048576")) << trace;
            } else if (when == When::midUpload) {
                EXPECT_TRUE(server.ReadFile("pub/up.bin") == bytes);
                EXPECT_NE(std::string::npos, trace.find("OPEN WRITE /pub/up.bin @")) << trace;
            }
            EXPECT_EQ("/pub", control.Must(L"GetCurrentDirectory", {0L}).AsText());
        }
    }
}

TEST(Sftp, AServerThatStallsAnywhereInTheHandshakeTimesOut)
{
    // A server scripted here: it takes the connection, sends the row's
    // bytes, and then nothing more until the control has given up.
    const std::string banner = "SSH-2.0-Scripted_1.0\r\n";
    // The length and padding of a key exchange packet whose rest never comes.
    const std::string packetStart("\x00\x00\x01\x2c\x06\x14", 6);
    const struct {
        const char* what;
        std::string sent;
    } stalls[] = {
        {"before its banner", ""},
        {"after its banner", banner},
        {"inside its first packet", banner + packetStart},
    };
    for (const auto& stall : stalls) {
        SCOPED_TRACE(stall.what);
        const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address));
        ASSERT_EQ(0, listen(listener, 1));
        int length = sizeof address;
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        const HANDLE givenUp = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread server([&] {
            const SOCKET peer = accept(listener, nullptr, nullptr);
            send(peer, stall.sent.data(), static_cast<int>(stall.sent.size()), 0);
            WaitForSingleObject(givenUp, 30000);
            closesocket(peer);
        });
        HostedControl control;
        control.SetProperty(L"ConnectTarget", kSftp);
        control.SetProperty(L"ServerName", "127.0.0.1");
        control.SetProperty(L"Port", static_cast<long>(ntohs(address.sin_port)));
        control.SetProperty(L"UserName", FtpServer::kUser);
        control.SetProperty(L"Timeout", 1L);
        ExpectRaised(control, control.Call(L"Connect"), kInternetErrorStatus, ERROR_INTERNET_TIMEOUT);
        SetEvent(givenUp);
        server.join();
        CloseHandle(givenUp);
        closesocket(listener);
    }
}

TEST(Sftp, ADownloadThatEndsShortOfItsSizeIsNoSuccess)
{
    FtpServer server("openssh", FtpServer::kAnyPort);
    server.WriteFile("pub/short.bin", std::string(1 << 20, 's'));
    HostedControl control;
    Prepare(control, server);
    control.sink.acceptCertificate = 1;
    control.SetProperty(L"EnableProgressDialog", false);
    control.SetProperty(L"TransferByte", 4L);
    control.Must(L"Connect");
    control.Must(L"SetCurrentDirectory", {"/pub"});
    // The file shrinks on the server once the download has begun: the
    // server then reports its end early.
    control.sink.onProgress = [&](long copied) {
        if (copied == 4096)
            server.WriteFile("pub/short.bin", "s");
    };
    ScratchDrive drive;
    control.Must(L"SelectFile", {"short.bin"});
    ExpectOwnError(control, control.Call(L"GetFile", {drive.Root().c_str()}), 20204,
                   "転送したバイト数がファイルのサイズと一致しません");
    EXPECT_FALSE(PathExists(drive.PathOf("short.bin")));
}
