// A VBScript host drives the registered control against a real FTP server: For Each over GetFileList, Item.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"

#include <string>

namespace {

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

TEST(ScriptHost, ForEachOverAnFtpListingVisitsTheEntriesInIndexOrder)
{
    FtpServer server;
    server.MakeDirectory("list");
    server.WriteFile("list/a.txt", "1");
    server.WriteFile("list/b.txt", "22");
    server.WriteFile("list/c.txt", "333");
    server.MakeDirectory("list/sub");
    const ProgramRun run = RunScript(ScriptPath(L"FileList.vbs"), std::wstring(server.Host().begin(), server.Host().end()));
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("PASS")) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("FAIL")) << run.output;
}

}  // namespace
