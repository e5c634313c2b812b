// The listing benchmark's sections, each printing its samples: the list, the sorts, the tree level, a download, the local disk.
#pragma once
#include "bench/HostedExplorer.h"
#include "bench/ListingCase.h"

// The directory of files listed into the list: by the bare WinInet listing
// (when the setup asks for it), and by the control with the tree shown and hidden (SetCurrentDirectory
// from the top, then Refresh). Leaves the control in that directory with
// the tree hidden.
void RunListSection(HostedExplorer& explorer, const ListingSetup& setup);
// SortListItem on every column in both orders, in turn, on the list as it
// is, filled with directory's rows.
void RunSortSection(HostedExplorer& explorer, const std::string& label, const std::string& directory, long rows);
// The level of subdirectories read into the tree (SetCurrentDirectory and
// Refresh with the tree shown), listed with it hidden, and when the setup
// asks for them the bare listings of the level and of one subdirectory.
void RunTreeSection(HostedExplorer& explorer, const ListingSetup& setup);
// The small file selected in its directory and downloaded with GetFile
// into the download directory, tree hidden, the progress dialog off; then
// uploaded with PutFile into the upload directory, and GetFileSize of it
// (TYPE I and SIZE; every upload asks the SIZE after its final reply to
// check that the server holds all of it).
void RunDownloadSection(HostedExplorer& explorer, const ListingSetup& setup);
// The same files on the local disk: connected there, the listing costs
// little, so Refresh shows what filling the list costs; then the sorts.
// Ends the server connection.
void RunLocalSection(HostedExplorer& explorer, const ListingSetup& setup);
