// The listing benchmark's transfer section: one small file downloaded with GetFile, as a user's selection is, and uploaded again.
#include "bench/ListingSections.h"

void RunDownloadSection(HostedExplorer& explorer, const ListingSetup& setup)
{
    const std::string directory = setup.smallFile.substr(0, setup.smallFile.find_last_of('/'));
    const std::string name = LastComponent(setup.smallFile);
    const std::string downloaded = setup.downloadDir + "/" + name;
    explorer.Put(L"VisibleTree", Argument(false));
    explorer.Put(L"EnableProgressDialog", Argument(false));
    explorer.Call(L"SetCurrentDirectory", {Argument(directory.empty() ? std::string("/") : directory)});
    explorer.Call(L"SelectFile", {Argument(name)});
    RemoveLocalFile(downloaded);

    ListingSample sample = explorer.Time(L"GetFile", {Argument(setup.downloadDir)});
    sample.label = "get";
    sample.what = "getfile";
    sample.directory = setup.smallFile;
    Expect(static_cast<long>(LocalFileSize(downloaded)), setup.smallFileBytes, "bytes of the downloaded " + downloaded);
    PrintSample(sample);

    explorer.Call(L"SetCurrentDirectory", {Argument(setup.uploadDir)});
    const std::string uploaded = setup.uploadDir + "/" + name;
    ListingSample put = explorer.Time(L"PutFile", {Argument(downloaded)});
    put.label = "put";
    put.what = "putfile";
    put.directory = uploaded;
    PrintSample(put);
    ListingSample size = explorer.Time(L"GetFileSize", {Argument(uploaded)});
    size.label = "put";
    size.what = "getfilesize";
    size.directory = uploaded;
    PrintSample(size);
}
