// A VBScript host drives the registered control against a real FTP server: For Each over GetFileList, Item.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"

#include <string>

namespace {

struct ScriptRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;  // ASCII only: the scripts print nothing else
};

// The Windows path of a converted script in the build tree.
std::wstring ScriptPath(const wchar_t* script)
{
    // The build tree's path is plain ASCII.
    const std::string directory = WYFTP_SCRIPT_DIRECTORY;
    std::wstring path = L"Z:" + std::wstring(directory.begin(), directory.end()) + L"/" + script;
    for (wchar_t& ch : path) {
        if (ch == L'/')
            ch = L'\\';
    }
    return path;
}

// Runs cscript on the script with one argument and collects what it prints.
ScriptRun RunScript(const wchar_t* script, const std::string& argument)
{
    ScriptRun run;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::wstring commandLine = L"cscript.exe //nologo \"" + ScriptPath(script) + L"\" "
                               + std::wstring(argument.begin(), argument.end());
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        run.output = "cscript could not be started, error " + std::to_string(GetLastError());
        return run;
    }
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0)
        run.output.append(buffer, read);
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return run;
}

TEST(ScriptHost, ForEachOverAnFtpListingVisitsTheEntriesInIndexOrder)
{
    FtpServer server;
    server.MakeDirectory("list");
    server.WriteFile("list/a.txt", "1");
    server.WriteFile("list/b.txt", "22");
    server.WriteFile("list/c.txt", "333");
    server.MakeDirectory("list/sub");
    const ScriptRun run = RunScript(L"FileList.vbs", server.Host());
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("PASS")) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("FAIL")) << run.output;
}

}  // namespace
