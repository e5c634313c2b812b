// The listing benchmark's local section: the same files listed from the local disk, where the listing costs little.
#include "bench/ListingSections.h"

#include "bench/LocalListing.h"

void RunLocalSection(HostedExplorer& explorer, const ListingSetup& setup)
{
    const std::string local = setup.localDrive + setup.localFilesDir;
    const auto record = [&](ListingSample sample, const char* what) {
        sample.label = "local";
        sample.what = what;
        sample.directory = local;
        Expect(sample.entries, setup.localFiles, sample.tool + " " + what + ": rows of " + local);
        PrintSample(sample);
    };
    explorer.Call(L"DisConnect");
    // Connecting lists the start directory into the list.
    explorer.ConnectLocal(setup.localDrive, setup.localFilesDir);
    Expect(explorer.ListCount(), setup.localFiles, "rows of " + local + " after Connect");
    record(ListLocalDirectory(setup.server, local), "listing");
    record(explorer.Time(L"Refresh"), "refresh");
    RunSortSection(explorer, "local-sort", local, setup.localFiles);
}
