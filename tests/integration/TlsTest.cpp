// FTP over TLS against real servers: explicit and implicit, certificates checked, pinned or refused, no password in clear.
#include "tests/integration/HostSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"
#include "tests/fixture/TrustTestAuthority.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <string>

namespace {

constexpr long kExplicit = 1;
constexpr long kImplicit = 2;

// Sets the control up for server (Connect not called). The certificates
// name the server "localhost" (and 127.0.0.1, which Wine's name check does
// not read).
void Prepare(const HostedControl& control, const FtpServer& server, long mode, const std::string& pin = "")
{
    control.SetProperty(L"ConnectTarget", 1L);
    control.SetProperty(L"ServerName", "localhost");
    control.SetProperty(L"Port", static_cast<long>(server.Port()));
    control.SetProperty(L"PassiveMode", true);
    control.SetProperty(L"Timeout", 5L);
    control.SetProperty(L"SecurityMode", mode);
    control.SetProperty(L"CertificatePin", pin.c_str());
}

class Tls : public testing::Test {
protected:
    static void SetUpTestSuite() { TrustTestAuthority(); }
};

}  // namespace

TEST_F(Tls, ExplicitAndImplicitSessionsListDownloadAndUploadWithTheirDataProtected)
{
    // vsftpd sends names as they are on disk (UTF-8); the pyftpdlib kind
    // speaks Shift-JIS.
    const struct {
        const char* kind;
        long mode;
        long encoding;
        bool passive;
    } cases[] = {{"vsftpd-tls", kExplicit, 1, true},
                 {"vsftpd-tls", kExplicit, 1, false},
                 {"vsftpd-tls-implicit", kImplicit, 1, true},
                 {"tls", kExplicit, 0, true},
                 {"tls", kExplicit, 0, false}};
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.kind) + (test.passive ? " passive" : " active"));
        FtpServer server(test.kind, FtpServer::kAnyPort);
        const std::string base = std::string(test.kind) == "tls" ? "" : "pub/";
        server.WriteFile(base + "表.txt", "secret bytes");
        HostedControl control;
        Prepare(control, server, test.mode);
        control.SetProperty(L"ServerEncoding", test.encoding);
        control.SetProperty(L"PassiveMode", test.passive);
        control.Must(L"Connect");
        EXPECT_EQ(FtpServer::Certificate("good").sha256, control.Property(L"LastCertificateFingerprint").AsText());
        EXPECT_EQ(12, control.Must(L"GetFileSize", {("/" + base + "表.txt").c_str()}).AsLong());

        ScratchDrive drive;
        control.Must(L"SetCurrentDirectory", {("/" + base).c_str()});
        control.Must(L"SelectFile", {"表.txt"});
        control.Must(L"GetFile", {drive.Root().c_str()});
        EXPECT_EQ("secret bytes", ReadBytes(drive.PathOf("表.txt")));

        // Two whole 1 MiB chunks and a part: each goes as a batch of records.
        const std::string upload = PatternBytes((5 << 20) / 2 + 7);
        WriteBytes(drive.PathOf("up.bin"), upload);
        control.Must(L"PutFile", {drive.PathOf("up.bin").c_str()});
        EXPECT_TRUE(server.ReadFile(base + "up.bin") == upload);
        control.Must(L"DisConnect");
    }
}

TEST_F(Tls, DirectoriesRenamesDeletionsHugeFilesAndAbortsWorkOverTls)
{
    FtpServer server("tls", FtpServer::kAnyPort);
    server.WriteFile("表.txt", std::string(200000, 'h'));
    // A sparse file of 4 GiB + 5 bytes, made through the platform.
    const HANDLE huge = CreateFileW(ToWide(server.PathOf("huge.bin")).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, huge);
    LARGE_INTEGER end;
    end.QuadPart = 4294967301LL;
    SetFilePointerEx(huge, end, nullptr, FILE_BEGIN);
    SetEndOfFile(huge);
    CloseHandle(huge);
    HostedControl control;
    Prepare(control, server, kExplicit);
    control.Must(L"Connect");

    control.Must(L"CreateDirectory", {"/新しい"});
    EXPECT_TRUE(server.Exists("新しい"));
    control.Must(L"RenameFile", {"/新しい", "/古い"});
    EXPECT_TRUE(server.Exists("古い"));
    control.Must(L"RemoveDirectory", {"/古い"});
    EXPECT_FALSE(server.Exists("古い"));
    EXPECT_EQ(-2, control.Must(L"GetFileSize", {"/huge.bin"}).AsLong());
    bool listed = false;
    for (const ListedFile& file : ReadListing(control.Must(L"GetFileList", {"/"}).AsDispatch())) {
        if (file.name == "huge.bin") {
            listed = true;
            EXPECT_EQ(-2, file.size);
        }
    }
    EXPECT_TRUE(listed);

    // An abort in the middle of a download over TLS, then the same download whole.
    ScratchDrive drive;
    HostedControl local;
    local.SetProperty(L"ConnectTarget", 0L);
    local.SetProperty(L"ServerName", drive.Root().c_str());
    local.SetProperty(L"TransferByte", 4L);
    local.SetProperty(L"PassiveMode", true);
    local.SetProperty(L"CertificatePin", FtpServer::Certificate("good").sha256.c_str());
    local.Must(L"Connect");
    const std::string url = "ftpes://localhost:" + std::to_string(server.Port()) + "/表.txt?uid=anonymous&pw=x";
    CallResult abort;
    local.sink.onProgress = [&](long bytes) {
        if (bytes == 8192)
            abort = local.Call(L"AbortTransfer");
    };
    ExpectOwnError(local, local.Call(L"PutFile", {url.c_str()}), 20202, "ファイルの転送が中断されました");
    EXPECT_EQ(S_OK, abort.hr);
    EXPECT_FALSE(PathExists(drive.PathOf("表.txt")));
    local.sink.onProgress = nullptr;
    local.Must(L"PutFile", {url.c_str()});
    EXPECT_EQ(std::string(200000, 'h'), ReadBytes(drive.PathOf("表.txt")));
}

TEST_F(Tls, ClearLoginsAreRefusedAndNoPasswordGoesInClear)
{
    // The server refuses a session without TLS: the password never left
    // the machine in clear because the control did not try.
    FtpServer refusing("vsftpd-tls", FtpServer::kAnyPort);
    HostedControl clear;
    Prepare(clear, refusing, 0);
    ExpectRaised(clear, clear.Call(L"Connect"), kInternetErrorStatus, ERROR_INTERNET_LOGIN_FAILURE);

    FtpServer recording("tls-recording", FtpServer::kAnyPort);
    recording.WriteFile("a.txt", "a");
    HostedControl control;
    Prepare(control, recording, kExplicit);
    control.SetProperty(L"UserName", FtpServer::kUser);
    control.SetProperty(L"Password", FtpServer::kPassword);
    control.Must(L"Connect");
    control.Must(L"GetFileList", {"/"});
    const std::string clearText = recording.ClearText();
    EXPECT_NE(std::string::npos, clearText.find("AUTH TLS")) << clearText;
    EXPECT_EQ(std::string::npos, clearText.find("PASS")) << clearText;
    EXPECT_EQ(std::string::npos, clearText.find(FtpServer::kPassword)) << clearText;
}

TEST_F(Tls, CertificatesAreCheckedPinnedOrRefusedEachWithItsError)
{
    const std::string selfSigned = FtpServer::Certificate("selfsigned").sha256;
    // The pin as a person copies it: colons, lower case.
    std::string spelled;
    for (size_t at = 0; at < selfSigned.size(); at += 2)
        spelled += (at ? ":" : "") + std::string(1, static_cast<char>(tolower(selfSigned[at])))
            + static_cast<char>(tolower(selfSigned[at + 1]));
    const struct {
        const char* kind;
        const char* certificate;
        std::string pin;
        DWORD error;  // 0: connects
    } cases[] = {
        {"tls-recording", "selfsigned", spelled, 0},
        {"tls-recording", "expired", "", ERROR_INTERNET_SEC_CERT_DATE_INVALID},
        {"tls-recording", "otherhost", "", ERROR_INTERNET_SEC_CERT_CN_INVALID},
        // Issued by an authority nothing trusts: the platform's SSL policy
        // may pass such a chain, its trust status does not.
        {"vsftpd-tls", "unknownca", "", ERROR_INTERNET_INVALID_CA},
        {"vsftpd-tls", "unknownca", FtpServer::Certificate("unknownca").sha256, 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.kind) + " " + test.certificate + " pin " + test.pin);
        FtpServer server(test.kind, FtpServer::kAnyPort, test.certificate);
        HostedControl control;
        Prepare(control, server, kExplicit, test.pin);
        const CallResult result = control.Call(L"Connect");
        if (test.error == 0) {
            EXPECT_EQ(S_OK, result.hr) << result.description;
        } else {
            ExpectRaised(control, result, kInternetErrorStatus, static_cast<long>(test.error));
            // Refused before the login: nothing more went to the server.
            EXPECT_EQ(std::string::npos, server.ClearText().find("USER"));
            const std::vector<std::string> commands = server.Commands();
            ASSERT_FALSE(commands.empty());
            EXPECT_EQ("AUTH TLS", commands.back());
        }
        // The fingerprint of what was seen, for a person to pin.
        EXPECT_EQ(FtpServer::Certificate(test.certificate).sha256,
                  control.Property(L"LastCertificateFingerprint").AsText());
    }
}

TEST_F(Tls, TheHostDecidesInServerCertificateWithWhatTheCheckFound)
{
    FtpServer server("tls", FtpServer::kAnyPort, "selfsigned");
    server.WriteFile("a.txt", "a");
    HostedControl control;
    Prepare(control, server, kExplicit);
    control.sink.acceptCertificate = 1;
    control.Must(L"Connect");
    const HostEvent* event = nullptr;
    for (const HostEvent& received : control.sink.events) {
        if (received.id == kServerCertificateEvent)
            event = &received;
    }
    ASSERT_NE(nullptr, event);
    ASSERT_EQ(7u, event->args.size());
    EXPECT_EQ(FtpServer::Certificate("selfsigned").sha256, event->args[0].AsText());
    EXPECT_NE(std::string::npos, event->args[1].AsText().find("CN=")) << event->args[1].AsText();
    EXPECT_EQ(VT_DATE, event->args[3].Type());
    EXPECT_LT(event->args[3].Value().date, event->args[4].Value().date);
    EXPECT_EQ(1, event->args[5].AsLong());  // an unknown authority
    control.Must(L"GetFileList", {"/"});
}

TEST_F(Tls, DataWithoutCloseNotifyCountsWhenTheServerConfirmsIt)
{
    // The server's 226 on the protected control connection confirms a
    // transfer whose data connection ended without close_notify.
    FtpServer lax("tls-no-close-notify", FtpServer::kAnyPort);
    lax.WriteFile("a.txt", "all of it");
    HostedControl control;
    Prepare(control, lax, kExplicit);
    control.Must(L"Connect");
    ScratchDrive drive;
    control.Must(L"SelectFile", {"a.txt"});
    control.Must(L"GetFile", {drive.Root().c_str()});
    EXPECT_EQ("all of it", ReadBytes(drive.PathOf("a.txt")));
}

TEST_F(Tls, AServerThatDemandsSessionReuseFailsTheTransferWithItsReplyAndTheControlGoesOn)
{
    // The platform here resumes no TLS session on a second connection. The
    // local disk fetches over an ftpes URL, so the first data connection is
    // the host's transfer.
    FtpServer demanding("vsftpd-tls-reuse", FtpServer::kAnyPort);
    demanding.WriteFile("pub/a.txt", "reused");
    FtpServer lenient("vsftpd-tls", FtpServer::kAnyPort);
    lenient.WriteFile("pub/b.txt", "fresh");
    ScratchDrive drive;
    HostedControl control;
    control.SetProperty(L"ConnectTarget", 0L);
    control.SetProperty(L"ServerName", drive.Root().c_str());
    control.SetProperty(L"PassiveMode", true);
    control.SetProperty(L"Timeout", 10L);
    control.Must(L"Connect");
    const auto url = [](const FtpServer& server, const char* path) {
        return "ftpes://localhost:" + std::to_string(server.Port()) + path + "?uid=anonymous&pw=guest";
    };
    const ULONGLONG start = GetTickCount64();
    ExpectRaised(control, control.Call(L"PutFile", {url(demanding, "/pub/a.txt").c_str()}), kInternetErrorStatus,
                 ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_NE(std::string::npos, control.LastMessage().find("522")) << control.LastMessage();
    EXPECT_GT(start + 8000, GetTickCount64());
    EXPECT_FALSE(PathExists(drive.PathOf("a.txt")));
    control.Must(L"PutFile", {url(lenient, "/pub/b.txt").c_str()});
    EXPECT_EQ("fresh", ReadBytes(drive.PathOf("b.txt")));
}
