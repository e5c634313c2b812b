// A host application that puts the WyFTP control on a window and drives it: download, connect, list, upload,
// rename, handle errors and events, and end on the explorer opened on a directory. Copy it as a starting point.
//
// Usage: WyFTPDemo <ftp server address> [user] [password] [--snapshot picture.png]
// Prints a transcript in Shift-JIS (code page 932). With --snapshot it saves a picture of its window and ends;
// without, the window stays open until the user closes it.
#include "Automation.h"
#include "DemoEventSink.h"
#include "DemoFrame.h"
#include "UserGestures.h"
#include "WindowSnapshot.h"

#include <windows.h>
#include <ole2.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

struct Options {
    std::wstring server;
    std::wstring user = L"anonymous";
    std::wstring password;
    std::wstring snapshot;  // empty: keep the window open instead
};

bool ParseOptions(int argc, wchar_t** argv, Options& options)
{
    std::vector<std::wstring> positional;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--snapshot") {
            if (++i >= argc)
                return false;
            options.snapshot = argv[i];
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.empty() || positional.size() > 3)
        return false;
    options.server = positional[0];
    if (positional.size() > 1)
        options.user = positional[1];
    if (positional.size() > 2)
        options.password = positional[2];
    return true;
}

// Reports a call the way a host would: on failure the control raised an
// automation error; its code and message are read back from the control.
bool Check(IDispatch* control, const char* what, const Result& result)
{
    if (SUCCEEDED(result.hr)) {
        std::printf("  %-28s ok %s\n", what, result.value.AsText().c_str());
        return true;
    }
    const long code = Call(control, L"GetLastError").value.AsLong();
    const std::string message = Call(control, L"GetErrorMessage").value.AsText();
    std::printf("  %-28s failed: %s (%ld) %s\n", what, Narrow(result.description.c_str()).c_str(), code,
                message.c_str());
    return false;
}

void PrintListing(IDispatch* control, const wchar_t* directory)
{
    const Result list = Call(control, L"GetFileList", {Text(directory)});
    if (!Check(control, "GetFileList", list))
        return;
    IDispatch* files = list.value.AsDispatch();
    const long count = Get(files, L"Count").value.AsLong();
    for (long i = 0; i < count; ++i) {
        const Result item = Get(files, L"Item", {Number(i)});
        IDispatch* file = item.value.AsDispatch();
        if (!file)
            continue;
        const std::string name = Get(file, L"Name").value.AsText();
        const long type = Get(file, L"Type").value.AsLong();
        const long size = Get(file, L"Size").value.AsLong();
        const Result written = Get(file, L"LastWriteTime");
        SYSTEMTIME time = {};
        if (written.value.Get().vt == VT_DATE)
            VariantTimeToSystemTime(written.value.Get().date, &time);
        std::printf("    %s %10ld  %04d/%02d/%02d %02d:%02d  %s\n", type == 0 ? "<DIR>" : "     ", size, time.wYear,
                    time.wMonth, time.wDay, time.wHour, time.wMinute, name.c_str());
    }
}

// A local file of size bytes to upload; returns its path, or "" when it cannot be written.
std::wstring WriteSampleFile(const std::wstring& directory, const std::string& name, size_t size)
{
    const std::wstring path = directory + L"\\" + Wide(name);
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('A' + i % 26);
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return wrote && written == bytes.size() ? path : std::wstring();
}

// The local disk: the same methods as on a server; an ftp URL as PutFile's
// source downloads that file from the server into the current local directory.
void DownloadToLocalDisk(IDispatch* control, const Options& options, const std::wstring& scratch)
{
    std::printf("== Local disk: %s\n", Narrow(scratch.c_str()).c_str());
    Set(control, L"ConnectTarget", Number(0));
    Set(control, L"ServerName", Text(scratch.substr(0, 2)));
    std::wstring local = scratch.substr(2);
    for (wchar_t& ch : local)
        ch = ch == L'\\' ? L'/' : ch;
    Set(control, L"ConnectDirectory", Text(local));
    if (!Check(control, "Connect", Call(control, L"Connect")))
        return;
    const std::wstring url =
        L"ftp://" + options.server + L"/pub/表.txt?uid=" + options.user + L"&pw=" + options.password;
    Check(control, "PutFile (ftp URL)", Call(control, L"PutFile", {Text(url)}));
    PrintListing(control, local.c_str());
    Check(control, "DisConnect", Call(control, L"DisConnect"));
}

// The server: connect, list, upload, make a directory, move the upload into
// it, and fail once on purpose. Leaves the control connected.
bool WorkOnServer(IDispatch* control, const Options& options, const std::wstring& scratch)
{
    std::printf("== FTP: %s as %s\n", Narrow(options.server.c_str()).c_str(), Narrow(options.user.c_str()).c_str());
    Set(control, L"ConnectTarget", Number(1));
    Set(control, L"ServerName", Text(options.server));
    Set(control, L"UserName", Text(options.user));
    Set(control, L"Password", Text(options.password));
    Set(control, L"ConnectDirectory", Text(L"/pub"));
    if (!Check(control, "Connect", Call(control, L"Connect")))
        return false;
    Check(control, "GetCurrentDirectory(0)", Call(control, L"GetCurrentDirectory", {Number(0)}));
    Check(control, "GetCurrentDirectory(1)", Call(control, L"GetCurrentDirectory", {Number(1)}));
    PrintListing(control, L"/pub");

    const std::string uploadName = "アップロード.txt";
    const std::wstring upload = WriteSampleFile(scratch, uploadName, 300 * 1024);
    Check(control, "PutFile", Call(control, L"PutFile", {Text(upload)}));
    Check(control, "GetFileSize", Call(control, L"GetFileSize", {Text(Wide(uploadName))}));
    Check(control, "CreateDirectory", Call(control, L"CreateDirectory", {Text(L"新しいフォルダ")}));
    Check(control, "RenameFile",
          Call(control, L"RenameFile", {Text(Wide(uploadName)), Text(L"新しいフォルダ/報告.txt")}));
    PrintListing(control, L"/pub/新しいフォルダ");
    std::printf("  (an error on purpose)\n");
    Check(control, "SetCurrentDirectory", Call(control, L"SetCurrentDirectory", {Text(L"/no-such-directory")}));
    Check(control, "DirUp", Call(control, L"DirUp"));
    return true;
}

// What the user does with the mouse and keys, played on the list: a file
// dropped from the shell is uploaded, then renamed by editing its label.
void PlayUserGestures(HWND frame, const std::wstring& scratch)
{
    std::printf("== The user: a file dropped from the shell, then renamed in the list\n");
    const std::wstring dropped = WriteSampleFile(scratch, "ドロップ.txt", 2048);
    std::printf("  %-28s %s\n", "drop on the list", DropFileOnList(frame, dropped) ? "uploaded" : "refused");
    std::printf("  %-28s %s\n", "F2, type, Enter",
                RenameInList(frame, L"ドロップ.txt", L"受け取り済み.txt") ? "renamed" : "no editor");
}

// What the window is left showing: the tree opened down to a directory that
// has directories of its own, and that directory's files, largest first.
void ShowExplorer(IDispatch* control, HWND frame, const std::wstring& scratch)
{
    std::printf("== Explorer: /pub/資料, largest first\n");
    Check(control, "SetCurrentDirectory", Call(control, L"SetCurrentDirectory", {Text(L"/pub/資料")}));
    PlayUserGestures(frame, scratch);
    PrintListing(control, L"/pub/資料");
    Check(control, "SortListItem(size, desc)", Call(control, L"SortListItem", {Number(1), Number(1)}));
    Check(control, "SelectFile", Call(control, L"SelectFile", {Text(L"報告書.txt")}));
    Check(control, "GetCurrentFile(1)", Call(control, L"GetCurrentFile", {Number(1)}));
}

std::wstring ScratchDirectory()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring scratch = std::wstring(temp) + L"wyftp-demo";
    CreateDirectoryW(scratch.c_str(), nullptr);
    return scratch;
}

int RunDemo(const Options& options)
{
    // The control on a real window, hosted by the platform's ATL container.
    DemoFrame frame;
    ComPtr<IDispatch> control;
    if (!frame.Create(L"WyFTP demo", L"WyFTP.WyFTPCtrl.1", 760, 440)
        || FAILED(frame.Control().As(&control))) {
        std::printf("the WyFTP control is not registered (regsvr32 WyFTP.ocx), or atl.dll is missing\n");
        return 1;
    }
    DemoEventSink sink;
    const EventConnection events(control.Get(), &sink);
    if (!events.IsConnected())
        std::printf("(the control's events cannot be connected; going on without them)\n");
    Set(control.Get(), L"TransferByte", Number(64));
    Set(control.Get(), L"EnableProgressDialog", Number(0));
    Set(control.Get(), L"ListViewMode", Number(1));  // report: name, size, type, date columns
    Set(control.Get(), L"TreeViewWidth", Number(220));  // room for the directory names

    const std::wstring scratch = ScratchDirectory();
    DownloadToLocalDisk(control.Get(), options, scratch);
    if (!WorkOnServer(control.Get(), options, scratch))
        return 1;
    ShowExplorer(control.Get(), frame.Hwnd(), scratch);

    int status = 0;
    if (options.snapshot.empty()) {
        std::printf("== The window stays open until you close it\n");
        frame.RunUntilClosed();
    } else {
        frame.LetPaintingFinish();
        const HRESULT hr = SaveWindowAsPng(frame.Hwnd(), options.snapshot);
        if (SUCCEEDED(hr)) {
            std::printf("== Picture of the window: %s\n", Narrow(options.snapshot.c_str()).c_str());
        } else {
            std::printf("== No picture of the window: error 0x%08lX\n", static_cast<unsigned long>(hr));
            status = 1;
        }
    }
    Check(control.Get(), "DisConnect", Call(control.Get(), L"DisConnect"));
    return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    // The transcript goes to a file or a pipe as often as to a console;
    // unbuffered, each line is there as soon as it happens.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::printf("usage: WyFTPDemo <ftp server address> [user] [password] [--snapshot picture.png]\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        std::printf("OLE cannot be initialised\n");
        return 1;
    }
    const int status = RunDemo(options);
    OleUninitialize();
    return status;
}
