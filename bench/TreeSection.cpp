// The listing benchmark's tree section: a level of subdirectories read into the tree, one probe per subdirectory.
#include "bench/ListingSections.h"

#include "bench/WinInetListing.h"
#include "framework/CodePage932.h"

namespace {

const std::string kTop = "/";
// The bare listing of a one-entry subdirectory is short: its figure is the
// mean of this many.
constexpr int kSubdirListings = 20;

// The bare WinInet listings of the level and of one of its subdirectories.
void ListWithWinInetBeside(const ListingSetup& setup)
{
    ListingSample level = ListWithWinInet(setup.server, setup.levelsDir);
    level.label = "tree";
    level.what = "listing";
    Expect(level.entries, setup.subdirs, "wininet listing: entries of " + setup.levelsDir);
    PrintSample(level);

    ListingSample subdir;
    subdir.tool = "wininet";
    subdir.label = "tree";
    subdir.what = "subdir-listing";
    subdir.directory = setup.oneSubdir;
    subdir.cpuClient = 0;
    subdir.cpuServer = 0;
    for (int i = 0; i < kSubdirListings; ++i) {
        const ListingSample one = ListWithWinInet(setup.server, setup.oneSubdir);
        Expect(one.entries, 1, "bare listing of " + setup.oneSubdir);
        subdir.seconds += one.seconds / kSubdirListings;
        subdir.cpuClient += one.cpuClient / kSubdirListings;
        subdir.cpuServer += one.cpuServer / kSubdirListings;
    }
    subdir.entries = 1;
    PrintSample(subdir);
}

}  // namespace

void RunTreeSection(HostedExplorer& explorer, const ListingSetup& setup)
{
    const std::wstring levelName = ToWide(LastComponent(setup.levelsDir));
    const auto record = [&](ListingSample sample, const char* what, bool treeRead) {
        sample.label = "tree";
        sample.what = what;
        sample.directory = setup.levelsDir;
        Expect(sample.entries, setup.subdirs, sample.tool + " " + what + ": entries of " + setup.levelsDir);
        if (treeRead) {
            // Every subdirectory holds one of its own: every item has its expand button.
            const TreeLevelCounts counts = explorer.TreeLevel(levelName);
            Expect(counts.children, setup.subdirs, std::string(what) + ": tree items below " + setup.levelsDir);
            Expect(counts.expandable, setup.subdirs, std::string(what) + ": expandable items below " + setup.levelsDir);
        }
        PrintSample(sample);
    };

    // Showing the tree at the top makes it anew, so that SetCurrentDirectory
    // reads the level afresh: entering the level ends when both the list and
    // the tree show it.
    explorer.Put(L"VisibleTree", Argument(false));
    explorer.Call(L"SetCurrentDirectory", {Argument(kTop)});
    explorer.Put(L"VisibleTree", Argument(true));
    record(explorer.Time(L"SetCurrentDirectory", {Argument(setup.levelsDir)}), "tree-setdir", true);
    record(explorer.Time(L"Refresh"), "tree-refresh", true);
    explorer.Put(L"VisibleTree", Argument(false));
    record(explorer.Time(L"Refresh"), "refresh", false);
    if (setup.wininet)
        ListWithWinInetBeside(setup);
}
