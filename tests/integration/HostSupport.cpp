// A host of the registered control: its event sink, calls by name, error checks and listing helpers.
#include "tests/integration/HostSupport.h"

#include "control/WyFTPIds.h"
#include "tests/fixture/FtpServer.h"

#include <olectl.h>
#include <wininet.h>

HostedControl::HostedControl() : HostedControl(CreateControl()) {}

HostedControl::HostedControl(ComPtr<IDispatch> control) : m_control(std::move(control))
{
    if (!m_control)
        return;
    auto container = m_control.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    EXPECT_TRUE(container) << "the control offers no connection points";
    if (!container)
        return;
    EXPECT_EQ(S_OK, container->FindConnectionPoint(DIID__DWyFTPEvents, m_point.Put()));
    if (m_point) {
        EXPECT_EQ(S_OK, m_point->Advise(&sink, &m_cookie));
    }
}

HostedControl::~HostedControl()
{
    if (m_point && m_cookie)
        m_point->Unadvise(m_cookie);
}

CallResult HostedControl::Call(const wchar_t* method, std::vector<Variant> args) const
{
    EXPECT_NE(DISPID_UNKNOWN, DispIdOf(m_control.Get(), method));
    return ::Call(m_control.Get(), method, std::move(args));
}

Variant HostedControl::Must(const wchar_t* method, std::vector<Variant> args) const
{
    CallResult result = Call(method, std::move(args));
    EXPECT_EQ(S_OK, result.hr) << ShiftJisFromBstr(CBstr(method).Get()) << " raised: " << result.description
                               << " / code " << LastError() << ": " << LastMessage();
    return result.value;
}

Variant HostedControl::Property(const wchar_t* name) const
{
    return ::Get(m_control.Get(), name);
}

void HostedControl::SetProperty(const wchar_t* name, Variant value) const
{
    EXPECT_EQ(S_OK, Put(m_control.Get(), name, std::move(value)).hr) << ShiftJisFromBstr(CBstr(name).Get());
}

long HostedControl::LastError() const
{
    return ::Call(m_control.Get(), L"GetLastError").value.AsLong();
}

std::string HostedControl::LastMessage() const
{
    return ::Call(m_control.Get(), L"GetErrorMessage").value.AsText();
}

void PointAt(HostedControl& control, const FtpServer& server, bool asUser)
{
    control.SetProperty(L"ServerName", server.Host().c_str());
    if (server.SpeaksSsh()) {
        control.SetProperty(L"ConnectTarget", 2L);
        control.SetProperty(L"Port", static_cast<long>(server.Port()));
        control.sink.acceptCertificate = 1;
        asUser = true;
    }
    if (asUser) {
        control.SetProperty(L"UserName", FtpServer::kUser);
        control.SetProperty(L"Password", FtpServer::kPassword);
    }
}

std::string AddressOf(const FtpServer& server)
{
    const bool ssh = server.SpeaksSsh();
    const std::string address = (ssh ? "sftp://" : "ftp://") + server.Host();
    return server.Port() == (ssh ? 22 : 21) ? address : address + ":" + std::to_string(server.Port());
}

void ExpectRaised(const HostedControl& control, const CallResult& result, SCODE status, long code)
{
    ASSERT_EQ(DISP_E_EXCEPTION, result.hr) << "the call raised nothing";
    EXPECT_EQ(status, result.scode) << std::hex << "got 0x" << result.scode << ", expected 0x" << status;
    const std::string& expected = status == kFileErrorStatus       ? kFileErrorDescription
                                  : status == kInternetErrorStatus ? kInternetErrorDescription
                                                                   : kOwnErrorDescription;
    EXPECT_EQ(expected, result.description);
    if (code != 0) {
        EXPECT_EQ(code, control.LastError());
    }
    // A method's failure is raised to the caller, not fired as Error.
    EXPECT_FALSE(control.sink.Received(DISPID_ERROREVENT));
}

void ExpectOwnError(const HostedControl& control, const CallResult& result, long code, const std::string& message)
{
    ExpectRaised(control, result, kOwnErrorStatus, code);
    EXPECT_EQ("WyFTPエラー：" + message, control.LastMessage());
}

std::string SystemErrorText(DWORD code)
{
    char text[1024] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                        MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), text, sizeof text, nullptr);
    return length ? text : "";
}

std::vector<ListedFile> ReadListing(IDispatch* files)
{
    std::vector<ListedFile> listing;
    if (!files)
        return listing;
    const long count = Get(files, L"Count").AsLong();
    for (long i = 0; i < count; ++i) {
        Variant item = ::Call(files, L"Item", {i}, DISPATCH_PROPERTYGET).value;
        IDispatch* file = item.AsDispatch();
        EXPECT_NE(nullptr, file) << "Item " << i << " of " << count;
        if (!file)
            continue;
        Variant written = Get(file, L"LastWriteTime");
        EXPECT_EQ(VT_DATE, written.Type());
        listing.push_back({Get(file, L"Name").AsText(), Get(file, L"Type").AsLong(), Get(file, L"Size").AsLong(),
                           written.Value().date, file});
    }
    return listing;
}

const ListedFile* FindListed(const std::vector<ListedFile>& files, const std::string& name)
{
    for (const ListedFile& file : files) {
        if (file.name == name)
            return &file;
    }
    return nullptr;
}

DATE LocalOleDate(const FILETIME& utc)
{
    FILETIME local;
    SYSTEMTIME time;
    DATE date = 0;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &time);
    SystemTimeToVariantTime(&time, &date);
    return date;
}

FILETIME LastWriteTimeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    EXPECT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) << path;
    return data.ftLastWriteTime;
}

ProgramRun RunScript(const std::wstring& script, const std::wstring& arguments)
{
    return RunProgram(L"cscript.exe //nologo \"" + script + L"\" " + arguments);
}

ProgramRun RunProgram(std::wstring commandLine)
{
    ProgramRun run;
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
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        run.output = "the program could not be started, error " + std::to_string(GetLastError());
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
