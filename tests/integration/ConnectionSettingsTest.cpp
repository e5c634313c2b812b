// The connection properties against real servers: passive and active mode, ports, ftp URL ports, time limits.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <wininet.h>

namespace {

// A control aimed at a server on a free port of 127.0.0.1.
void AimAt(const HostedControl& control, const FtpServer& server)
{
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"Port", static_cast<long>(server.Port()));
}

struct ModeCase {
    const char* kind;
    bool passive;
    bool lists;
};

TEST(ConnectionSettings, PassiveModeIsTheModeOfEveryDataConnection)
{
    const ModeCase cases[] = {
        {"normal", false, true}, {"normal", true, true},
        {"passive-only", true, true}, {"passive-only", false, false},
        {"active-only", false, true}, {"active-only", true, false},
        {"vsftpd", false, true}, {"vsftpd", true, true},  // a second server, Debian's
    };
    for (const ModeCase& mode : cases) {
        SCOPED_TRACE(std::string(mode.kind) + (mode.passive ? " passive" : " active"));
        FtpServer server(mode.kind, FtpServer::kAnyPort);
        server.WriteFile("a.txt", "abc");
        HostedControl control;
        AimAt(control, server);
        control.SetProperty(L"PassiveMode", mode.passive);
        control.Must(L"Connect");
        const CallResult listing = control.Call(L"GetFileList", {"/"});
        EXPECT_EQ(mode.lists ? S_OK : DISP_E_EXCEPTION, listing.hr) << listing.description;
        if (mode.lists) {
            EXPECT_NE(nullptr, FindListed(ReadListing(listing.value.AsDispatch()), "a.txt"));
        }
        control.Must(L"DisConnect");
    }
}

TEST(ConnectionSettings, ThePortIsTheServersAndOneOutsideTheRangeIsRefusedAtConnect)
{
    FtpServer server("normal", FtpServer::kAnyPort);
    HostedControl control;
    AimAt(control, server);
    control.Must(L"Connect");
    EXPECT_EQ("/", control.Must(L"GetCurrentDirectory", {0}).AsText());
    // The control's own ftp URLs name the port, so that they lead back here.
    const std::string address = "ftp://" + server.Host() + ":" + std::to_string(server.Port()) + "/";
    EXPECT_EQ(address, control.Must(L"GetCurrentDirectory", {1}).AsText());
    control.Must(L"DisConnect");

    for (long port : {0L, 65536L, -21L}) {
        control.SetProperty(L"Port", port);
        EXPECT_EQ(port, control.Property(L"Port").AsLong()) << "stored as given";
        ExpectOwnError(control, control.Call(L"Connect"), 20002, "必要なオブジェクトの生成に失敗しました");
        control.Must(L"DisConnect");
    }
}

TEST(ConnectionSettings, AnFtpUrlsOwnPortIsUsed)
{
    FtpServer here("normal", FtpServer::kAnyPort);
    FtpServer there("normal", FtpServer::kAnyPort);
    there.MakeDirectory("pub");
    there.WriteFile("pub/far.txt", "from far away");
    HostedControl control;
    AimAt(control, here);
    control.Must(L"Connect");
    const std::string url = "ftp://" + there.Host() + ":" + std::to_string(there.Port()) + "/pub/far.txt?uid="
        + FtpServer::kUser + "&pw=" + FtpServer::kPassword;
    control.Must(L"PutFile", {url.c_str()});
    EXPECT_EQ("from far away", here.ReadFile("far.txt"));
}

}  // namespace
