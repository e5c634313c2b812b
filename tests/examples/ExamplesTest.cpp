// The examples a host developer copies, run as they are against a fixture server: they print what they document.
#include "tests/integration/HostSupport.h"

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include "framework/CodePage932.h"

#include <ocidl.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string ExamplePath(const std::string& relative)
{
    return std::string(WYFTP_EXAMPLES_DIRECTORY) + "/" + relative;
}

// The Windows path of a file of the source tree (plain ASCII).
std::wstring WindowsPath(const std::string& path)
{
    std::wstring windows = L"Z:" + std::wstring(path.begin(), path.end());
    for (wchar_t& ch : windows) {
        if (ch == L'/')
            ch = L'\\';
    }
    return windows;
}

std::string ReadText(const std::string& path)
{
    const std::wstring windows = WindowsPath(path);
    std::ifstream file(std::string(windows.begin(), windows.end()), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Text in a code page as UTF-8, with CR LF line ends as LF.
std::string AsUtf8(const std::string& text, UINT codePage)
{
    const int wide = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring converted(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), converted.data(), wide);
    const int narrow = WideCharToMultiByte(CP_UTF8, 0, converted.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(CP_UTF8, 0, converted.data(), wide, utf8.data(), narrow, nullptr, nullptr);
    std::string lines;
    for (char ch : utf8) {
        if (ch != '\r')
            lines += ch;
    }
    return lines;
}

// \uXXXX escapes as the characters they stand for, in UTF-8.
std::string Unescaped(const std::string& text)
{
    std::wstring wide;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, 2, "\\u") == 0 && at + 6 <= text.size()) {
            wide += static_cast<wchar_t>(std::stoul(text.substr(at + 2, 4), nullptr, 16));
            at += 5;
        } else {
            wide += static_cast<wchar_t>(static_cast<unsigned char>(text[at]));
        }
    }
    const int narrow =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), narrow, nullptr, nullptr);
    return AsUtf8(utf8, CP_UTF8);
}

// A server with what the examples expect: readme.txt and a directory (the
// SSH server's tree has small.txt and pub).
struct ExampleServer {
    explicit ExampleServer(const char* kind = "normal") : server(kind, FtpServer::kAnyPort)
    {
        if (std::string(kind) != "normal")
            return;
        server.WriteFile("readme.txt", "Welcome to the WyFTP example server.\r\n");
        server.MakeDirectory("docs");
    }
    std::wstring Arguments() const
    {
        const std::string arguments = server.Host() + " " + FtpServer::kUser + " " + FtpServer::kPassword + " "
                                      + std::to_string(server.Port());
        return std::wstring(arguments.begin(), arguments.end());
    }
    FtpServer server;
};

TEST(Examples, TheScriptsPrintWhatTheyDocument)
{
    struct Example {
        const char* script;
        const char* expected;
        // Wine's cscript corrupts its heap when JScript echoes Japanese text
        // (and crashes later): that script escapes Japanese when asked to.
        bool escapes;
        const char* server;
    };
    const Example examples[] = {
        {"vbscript/WyFTPExample.vbs", "vbscript/expected-output.txt", false, "normal"},
        {"vbscript/WyFTPSftpExample.vbs", "vbscript/sftp-expected-output.txt", false, "openssh"},
        {"jscript/WyFTPExample.js", "jscript/expected-output.txt", true, "normal"},
    };
    for (const auto& [script, expected, escapes, kind] : examples) {
        ExampleServer example(kind);
        const ProgramRun run =
            RunScript(WindowsPath(ExamplePath(script)), example.Arguments() + (escapes ? L" escape" : L""));
        const std::string output = escapes ? Unescaped(run.output) : AsUtf8(run.output, 932);
        EXPECT_EQ(0u, run.exitCode) << script << "\n" << output;
        EXPECT_EQ(AsUtf8(ReadText(ExamplePath(expected)), CP_UTF8), output) << script;
        EXPECT_FALSE(example.server.Exists("notes.txt") || example.server.Exists("pub/renamed.txt"))
            << script << " left its upload behind";
    }
}

// Every "<name>" in text as its value.
std::string Filled(std::string text, const std::vector<std::pair<std::string, std::string>>& values)
{
    for (const auto& [name, value] : values) {
        for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
            text.replace(at, name.size(), value);
    }
    return text;
}

TEST(Examples, TheDialogHostLogsTheEventsOfItsButtons)
{
    ExampleServer example;
    ScratchDrive folder;
    WriteBytes(folder.PathOf("upload.txt"), "upload me\r\n");
    const std::string program = WYFTP_DIALOG_HOST;
    const ProgramRun run = RunProgram(WindowsPath(program) + L" " + example.Arguments() + L" " + ToWide(folder.Root())
                                      + L" --press-buttons " + ToWide(folder.PathOf("upload.txt")));
    const std::string output = AsUtf8(run.output, 932);
    EXPECT_EQ(0u, run.exitCode) << output;
    const std::string expected = Filled(AsUtf8(ReadText(ExamplePath("dialog-host/expected-output.txt")), CP_UTF8),
                                        {{"<server>", example.server.Host()}, {"<folder>", folder.Root()}});
    EXPECT_EQ(expected, output);
    EXPECT_EQ("Welcome to the WyFTP example server.\r\n", ReadBytes(folder.PathOf("readme.txt")));
    EXPECT_EQ("upload me\r\n", example.server.ReadFile("upload.txt"));
}

// The <param> elements of a page, as a browser hands them to a control: strings by name.
class ParamBag : public StackComObject<IPropertyBag, IID_IPropertyBag> {
public:
    explicit ParamBag(const std::string& page)
    {
        const std::regex param(R"re(<param\s+name="([^"]*)"\s+value="([^"]*)"\s*/?>)re");
        for (auto match = std::sregex_iterator(page.begin(), page.end(), param); match != std::sregex_iterator();
             ++match)
            values[Wide((*match)[1].str())] = (*match)[2].str();
    }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override
    {
        const auto found = values.find(name);
        if (found == values.end())
            return E_INVALIDARG;
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(Wide(found->second).c_str());
        return S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

    static std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
    std::map<std::wstring, std::string> values;
};

TEST(Examples, ThePagesParamsAreTheControlsPropertiesWithValuesItAccepts)
{
    ParamBag bag(ReadText(ExamplePath("html/WyFTP.html")));
    ASSERT_LE(10u, bag.values.size()) << "the page's <param> elements were not found";
    HostedControl control;
    ComPtr<IPersistPropertyBag> persist = ComPtr<IDispatch>(control.Get()).As<IPersistPropertyBag>(
        IID_IPersistPropertyBag);
    ASSERT_TRUE(persist);
    ASSERT_EQ(S_OK, persist->Load(&bag, nullptr));
    // Read back by name: a name the control does not know has no property;
    // a value it refuses would read back as the default.
    for (const auto& [name, value] : bag.values) {
        Variant loaded = control.Property(name.c_str());
        Variant param(ParamBag::Wide(value).c_str());
        Variant expected;
        ASSERT_EQ(S_OK, VariantChangeType(expected.Get(), param.Get(), 0, loaded.Type())) << ToShiftJis(name);
        EXPECT_EQ(VARCMP_EQ, VarCmp(loaded.Get(), expected.Get(), LOCALE_USER_DEFAULT, 0))
            << ToShiftJis(name) << ": " << loaded.AsText() << " after loading " << value;
    }
}

}  // namespace
