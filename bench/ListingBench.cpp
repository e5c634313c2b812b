// Listing benchmark host: times the WyFTP control connecting, listing a large directory, sorting it, reading a
// tree level and downloading a small file.
//
// Run by bench/listing, which starts the FTP server and the latency proxy in
// front of it (--port is the proxy's, --counts-file its command counts),
// makes the directories and adds curl's figures. The control sits in
// atl.dll's host window on a frame, in-place active; it is created from its
// registration, not linked. Every measurement prints one line:
//   sample label=connect|list|sort|tree|get|local|local-sort tool=control|wininet|findfile case=C dir=D entries=N
//          seconds=S call=S stall=S cpu_client=S cpu_server=S commands=N verbs=VERB:N,...
// (seconds: the call and the painting it caused, or the bare listing; call:
// the control's method alone, -1 for the bare listing; stall: the longest
// the control's window left a WM_NULL from another thread unanswered
// meanwhile, -1 for the bare listing; entries: rows in the
// list afterwards, or entries the bare listing gave; cpu_client: CPU seconds
// of this process; cpu_server: those of the wineserver given with
// --wineserver-pid, or -1; commands and verbs: what the control sent
// meanwhile, -1 and "-" when not counted). --wininet adds the bare WinInet
// listings. --sections picks what runs after the connect (default
// "list,sort,tree,get,local").
#include "bench/BenchMain.h"
#include "bench/HostedExplorer.h"
#include "bench/ListingSections.h"
#include "bench/Options.h"

#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <set>

namespace {

long Count(const Options& options, const char* name)
{
    const long value = std::atol(Required(options, name).c_str());
    if (value <= 0)
        throw BenchError(std::string("--") + name + " must be a positive number");
    return value;
}

// The sections that may run after the connects (--sections).
const std::set<std::string> kSections = {"list", "sort", "tree", "get", "local"};

std::set<std::string> Sections(const Options& options)
{
    if (!options.count("sections"))
        return kSections;
    std::set<std::string> sections;
    std::istringstream list(Required(options, "sections"));
    for (std::string name; std::getline(list, name, ',');) {
        if (!kSections.count(name))
            throw BenchError("--sections: unknown section " + name);
        sections.insert(name);
    }
    return sections;
}

// Connect timed into a "connect" sample of "/".
void PrintConnect(ListingSample sample, const char* what)
{
    sample.label = "connect";
    sample.what = what;
    sample.directory = "/";
    PrintSample(sample);
}

int Run(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    ListingSetup setup;
    setup.server.host = Required(options, "host");
    setup.server.port = std::atol(Optional(options, "port", "21").c_str());
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
    setup.smallFile = Required(options, "small-file");
    setup.smallFileBytes = Count(options, "small-file-bytes");
    setup.downloadDir = Required(options, "download-dir");
    setup.uploadDir = Required(options, "upload-dir");
    setup.countsFile = Optional(options, "counts-file", "");
    setup.wininet = options.count("wininet") != 0;
    const std::set<std::string> sections = Sections(options);

    HostedExplorer explorer(setup.server, setup.countsFile);
    PrintConnect(explorer.ConnectFtp(), "connect");
    // Connecting again with the tree shown: "/" in the list and the tree.
    explorer.Call(L"DisConnect");
    explorer.Put(L"VisibleTree", Argument(true));
    PrintConnect(explorer.Time(L"Connect"), "connect-tree");
    explorer.Put(L"VisibleTree", Argument(false));
    // The sorts run on the list the list section filled.
    if (sections.count("list"))
        RunListSection(explorer, setup);
    if (sections.count("list") && sections.count("sort"))
        RunSortSection(explorer, "sort", setup.filesDir, setup.files);
    if (sections.count("tree"))
        RunTreeSection(explorer, setup);
    if (sections.count("get"))
        RunDownloadSection(explorer, setup);
    if (sections.count("local"))
        RunLocalSection(explorer, setup);
    explorer.Call(L"DisConnect");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchHost("wyftp_listing_bench", &Run, argc, argv);
}
