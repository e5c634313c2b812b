// The listing benchmark's list section: a directory of many files listed into the list, the tree shown and hidden.
#include "bench/ListingSections.h"

#include "bench/WinInetListing.h"

namespace {

const std::string kTop = "/";

}  // namespace

void RunListSection(HostedExplorer& explorer, const ListingSetup& setup)
{
    const auto record = [&](ListingSample sample, const char* what) {
        sample.label = "list";
        sample.what = what;
        sample.directory = setup.filesDir;
        Expect(sample.entries, setup.files, sample.tool + " " + what + ": rows of " + setup.filesDir);
        PrintSample(sample);
    };
    // The listing transfer itself, on a connection of its own (Wine's WinInet
    // takes minutes over 10,000 entries: only when asked for).
    if (setup.wininet)
        record(ListWithWinInet(setup.server, setup.filesDir), "listing");

    // The tree shown: Refresh reads the tree level again and lists.
    explorer.Put(L"VisibleTree", Argument(true));
    explorer.Call(L"SetCurrentDirectory", {Argument(setup.filesDir)});
    record(explorer.Time(L"Refresh"), "tree-refresh");

    // The tree hidden: the call changes directory (or not) and lists the
    // directory into the list, nothing else.
    explorer.Put(L"VisibleTree", Argument(false));
    explorer.Call(L"SetCurrentDirectory", {Argument(kTop)});
    record(explorer.Time(L"SetCurrentDirectory", {Argument(setup.filesDir)}), "setdir");
    record(explorer.Time(L"Refresh"), "refresh");
}
