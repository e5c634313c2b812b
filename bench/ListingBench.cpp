// Listing benchmark host: times the WyFTP control listing a large directory, sorting it and reading a tree level.
//
// Run by bench/listing, which starts the FTP server, makes the directories
// and adds curl's figures. The control sits in atl.dll's host window on a
// frame, in-place active; it is created from its registration, not linked.
// Every measurement prints one line:
//   sample label=list|sort|tree|local|local-sort tool=control|wininet|findfile case=C dir=D entries=N seconds=S call=S
//          cpu_client=S cpu_server=S
// (seconds: the call and the painting it caused, or the bare listing; call:
// the control's method alone, -1 for the bare listing; entries: rows in the
// list afterwards, or entries the bare listing gave; cpu_client: CPU seconds
// of this process; cpu_server: those of the wineserver given with
// --wineserver-pid, or -1).
#include "bench/BenchMain.h"
#include "bench/HostedExplorer.h"
#include "bench/ListingSections.h"
#include "bench/Options.h"

#include <ole2.h>

#include <cstdio>
#include <cstdlib>

namespace {

long Count(const Options& options, const char* name)
{
    const long value = std::atol(Required(options, name).c_str());
    if (value <= 0)
        throw BenchError(std::string("--") + name + " must be a positive number");
    return value;
}

int Run(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    ListingSetup setup;
    setup.server.host = Required(options, "host");
    setup.server.user = Required(options, "user");
    setup.server.password = Required(options, "password");
    setup.server.wineserverPid = Optional(options, "wineserver-pid", "");
    setup.filesDir = Required(options, "files-dir");
    setup.files = Count(options, "files");
    setup.levelsDir = Required(options, "levels-dir");
    setup.subdirs = Count(options, "subdirs");
    setup.oneSubdir = Required(options, "one-subdir");
    setup.localDrive = Required(options, "local-drive");
    setup.localFilesDir = Required(options, "local-files-dir");
    setup.localFiles = Count(options, "local-files");

    HostedExplorer explorer(setup.server);
    explorer.ConnectFtp();
    // The sorts run on the list the list section filled.
    RunListSection(explorer, setup);
    RunSortSection(explorer, "sort", setup.filesDir, setup.files);
    RunTreeSection(explorer, setup);
    RunLocalSection(explorer, setup);
    explorer.Call(L"DisConnect");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchHost("wyftp_listing_bench", &Run, argc, argv);
}
