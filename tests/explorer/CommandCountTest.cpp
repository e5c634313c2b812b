// The commands each operation sends: each directory listed once per call, a tree level without a listing per subdirectory, no probing by commands expected to fail.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/fixture/ScratchDrive.h"

#include <algorithm>
#include <map>

namespace {

constexpr int kSubdirectories = 300;

// What a stretch of the server's command log did.
struct Commands {
    std::map<std::string, int> listings;  // per directory listed
    std::map<std::string, int> verbs;
    int total = 0;
    int mostListingsOfOneDirectory = 0;
    int backgroundListings = 0;  // on the tree's own session
    std::string text;  // the verbs with their counts, for messages
};

// Reads the log since the last reading, following CWD from here so that a
// LIST without an argument counts for the directory it was sent in. The
// control's session is the first one the server saw; the tree asks about
// its buttons on a later one.
Commands Read(const FtpServer& server, std::string& here)
{
    Commands read;
    const std::vector<FtpServer::LoggedCommand> logged = server.SessionCommands();
    long controlSession = logged.empty() ? 0 : logged.front().session;
    for (const FtpServer::LoggedCommand& command : logged)
        controlSession = std::min(controlSession, command.session);
    for (const auto& [session, line] : logged) {
        if (session != controlSession) {
            read.backgroundListings += line.rfind("MLSD", 0) == 0 || line.rfind("LIST", 0) == 0;
            continue;
        }
        const size_t space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
        ++read.verbs[verb];
        ++read.total;
        if (verb == "CWD")
            here = argument;
        else if (verb == "LIST" || verb == "MLSD")
            read.mostListingsOfOneDirectory =
                std::max(read.mostListingsOfOneDirectory, ++read.listings[argument.empty() ? here : argument]);
    }
    for (const auto& [verb, count] : read.verbs)
        read.text += verb + " " + std::to_string(count) + ", ";
    server.ForgetCommands();
    return read;
}

TEST(CommandCount, EachOperationListsADirectoryOnceAndProbesNothing)
{
    // "normal" lists with MLSD, which tells no link counts; "list-only" with LIST.
    for (const std::string kind : {"normal", "list-only"}) {
        SCOPED_TRACE(kind);
        FtpServer server(kind.c_str());
        // A level of many directories, each with one subdirectory, and a file.
        for (int index = 0; index < kSubdirectories; ++index) {
            const std::string name = "d" + std::to_string(1000 + index);
            server.MakeDirectory(name);
            server.MakeDirectory(name + "/inner");
        }
        server.WriteFile("d1000/file.txt", "contents");
        ExplorerHost host;
        HostedControl& control = host.Control();
        std::string here = "/";
        // Shown as the screen shows it, so that items decided as they are shown are decided.
        ConnectToServer(control, server);
        SettlePainting(host.Host());
        WaitForTreeAnswers(host.Tree());
        Commands commands = Read(server, here);
        EXPECT_EQ(1, commands.listings["/"]) << commands.text;
        EXPECT_EQ(1u, commands.listings.size()) << commands.text;
        // A LIST tells each subdirectory's own subdirectories by its link
        // count; MLSD does not, and then the items on screen, and only
        // they, are asked about on the tree's own session.
        if (kind == "list-only") {
            EXPECT_EQ(0, commands.backgroundListings);
        } else {
            EXPECT_LT(0, commands.backgroundListings);
            EXPECT_GT(kSubdirectories / 4, commands.backgroundListings);
        }
        EXPECT_EQ("/[d1000+ ", TreeOutline(host.Tree()).substr(0, 9));

        // Entering a directory: one CWD, one listing of it.
        control.Must(L"SetCurrentDirectory", {"/d1000"});
        SettlePainting(host.Host());
        commands = Read(server, here);
        EXPECT_EQ(1, commands.verbs["CWD"]) << commands.text;
        EXPECT_EQ(1, commands.listings["/d1000"]) << commands.text;
        EXPECT_EQ(1, commands.mostListingsOfOneDirectory) << commands.text;

        // A download asks what the name is (MLST or SIZE) without entering
        // it or listing; the views are then shown afresh, with one listing.
        ScratchDrive drive;
        control.Must(L"SelectFile", {"file.txt"});
        control.Must(L"GetFile", {drive.Root().c_str()});
        commands = Read(server, here);
        EXPECT_EQ(0, commands.verbs["CWD"]) << commands.text;
        EXPECT_EQ(1, commands.verbs["RETR"]) << commands.text;
        EXPECT_EQ(1, commands.listings["/d1000"]) << commands.text;
        EXPECT_GE(7, commands.total) << commands.text;

        // A directory is refused as a download the same way.
        control.Must(L"ClearSelectedFile", {""});
        control.Must(L"SelectFile", {"inner"});
        control.Call(L"GetFile", {drive.Root().c_str()});
        commands = Read(server, here);
        EXPECT_EQ(0, commands.verbs["CWD"]) << commands.text;
        EXPECT_EQ(0, commands.verbs["RETR"]) << commands.text;
    }
}

}  // namespace
