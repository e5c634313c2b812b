// The commands each operation sends: each directory listed once per call, a tree level without a listing per subdirectory, no probing by commands expected to fail.
#include "tests/explorer/ExplorerTestSupport.h"

#include "tests/control/WindowTestSupport.h"
#include "tests/fixture/FtpServer.h"
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
};

// Reads the log, following CWD from here so that a LIST without an
// argument counts for the directory it was sent in.
Commands Read(const FtpServer& server, std::string here = "/")
{
    Commands read;
    for (const std::string& line : server.Commands()) {
        const size_t space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
        ++read.verbs[verb];
        ++read.total;
        if (verb == "CWD")
            here = argument;
        else if (verb == "LIST" || verb == "MLSD")
            ++read.listings[argument.empty() ? here : argument];
    }
    return read;
}

std::string Describe(const Commands& commands)
{
    std::string text;
    for (const auto& [verb, count] : commands.verbs)
        text += verb + " " + std::to_string(count) + ", ";
    return text;
}

int MostListingsOfOneDirectory(const Commands& commands)
{
    int most = 0;
    for (const auto& [directory, count] : commands.listings)
        most = std::max(most, count);
    return most;
}

struct CountedServer {
    explicit CountedServer(const char* kind) : server(kind)
    {
        // A level of many directories, each with one subdirectory, and a file.
        for (int index = 0; index < kSubdirectories; ++index) {
            const std::string name = "d" + std::to_string(1000 + index);
            server.MakeDirectory(name);
            server.MakeDirectory(name + "/inner");
        }
        server.WriteFile("d1000/file.txt", "contents");
        host.Control().SetProperty(L"ServerName", server.Host().c_str());
    }

    // Shows the tree as the screen does, so that items decided as they are
    // shown are decided.
    void Show() { SettlePainting(host.Host()); }

    FtpServer server;
    ExplorerHost host;
};

// "normal" lists with MLSD, which tells no link counts; "list-only" with LIST.
const char* const kKinds[] = {"normal", "list-only"};

}  // namespace

TEST(CommandCount, ConnectListsEachDirectoryOnceAndNotEverySubdirectoryOfALevel)
{
    for (const char* kind : kKinds) {
        SCOPED_TRACE(kind);
        CountedServer counted(kind);
        counted.host.Control().Must(L"Connect");
        counted.Show();
        Commands commands = Read(counted.server);
        EXPECT_EQ(1, commands.listings["/"]) << Describe(commands);
        EXPECT_EQ(1, MostListingsOfOneDirectory(commands)) << Describe(commands);
        // A LIST tells each subdirectory's own subdirectories by its link
        // count; MLSD does not, and then only the items on screen are asked.
        if (std::string(kind) == "list-only")
            EXPECT_EQ(1u, commands.listings.size()) << Describe(commands);
        else
            EXPECT_GT(kSubdirectories / 4, static_cast<int>(commands.listings.size())) << Describe(commands);
        EXPECT_EQ("/[d1000+ ", TreeOutline(counted.host.Tree()).substr(0, 9));
    }
}

TEST(CommandCount, DownloadsAndNavigationProbeNothingAndListNothingTwice)
{
    for (const char* kind : kKinds) {
        SCOPED_TRACE(kind);
        CountedServer counted(kind);
        HostedControl& control = counted.host.Control();
        control.Must(L"Connect");
        counted.Show();

        // Entering a directory: one CWD, one listing of it.
        counted.server.ForgetCommands();
        control.Must(L"SetCurrentDirectory", {"/d1000"});
        counted.Show();
        Commands commands = Read(counted.server);
        EXPECT_EQ(1, commands.verbs["CWD"]) << Describe(commands);
        EXPECT_EQ(1, commands.listings["/d1000"]) << Describe(commands);
        EXPECT_EQ(1, MostListingsOfOneDirectory(commands)) << Describe(commands);

        // A download asks what the name is (MLST or SIZE) without entering
        // it or listing; the views are then shown afresh, with one listing.
        ScratchDrive drive;
        control.Must(L"SelectFile", {"file.txt"});
        counted.server.ForgetCommands();
        control.Must(L"GetFile", {drive.Root().c_str()});
        commands = Read(counted.server, "/d1000");
        EXPECT_EQ(0, commands.verbs["CWD"]) << Describe(commands);
        EXPECT_EQ(1, commands.verbs["RETR"]) << Describe(commands);
        EXPECT_EQ(1, commands.listings["/d1000"]) << Describe(commands);
        EXPECT_GE(7, commands.total) << Describe(commands);

        // A directory is refused as a download the same way.
        control.Must(L"ClearSelectedFile", {""});
        control.Must(L"SelectFile", {"inner"});
        counted.server.ForgetCommands();
        control.Call(L"GetFile", {drive.Root().c_str()});
        commands = Read(counted.server);
        EXPECT_EQ(0, commands.verbs["CWD"]) << Describe(commands);
        EXPECT_EQ(0, commands.verbs["RETR"]) << Describe(commands);
    }
}
