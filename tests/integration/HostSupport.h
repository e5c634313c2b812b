// A host of the registered control: its event sink, calls by name, error checks and listing helpers.
#pragma once
#include "tests/control/ComTestSupport.h"
#include "tests/control/EventSink.h"

#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

// Status codes the control raises, and the category descriptions that come with them.
inline constexpr SCODE kFileErrorStatus = static_cast<SCODE>(0x800A03E8);
inline constexpr SCODE kInternetErrorStatus = static_cast<SCODE>(0x800A03E9);
inline constexpr SCODE kOwnErrorStatus = static_cast<SCODE>(0x800A03EA);
inline const std::string kFileErrorDescription = "WIN32エラー";
inline const std::string kInternetErrorDescription = "WININETエラー";
inline const std::string kOwnErrorDescription = "WYFTPエラー";

// One control of the registered module, created through COM as a host does,
// with a sink connected to its events.
class HostedControl {
public:
    HostedControl();
    // A control the host already has (one a container created).
    explicit HostedControl(ComPtr<IDispatch> control);
    ~HostedControl();
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    IDispatch* Get() const { return m_control.Get(); }
    CallResult Call(const wchar_t* method, std::vector<Variant> args = {}) const;
    // A method expected to succeed; its result.
    Variant Must(const wchar_t* method, std::vector<Variant> args = {}) const;
    Variant Property(const wchar_t* name) const;
    void SetProperty(const wchar_t* name, Variant value) const;
    long LastError() const;
    std::string LastMessage() const;

    HostEventSink sink;

private:
    ComPtr<IDispatch> m_control;
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

class FtpServer;

// The servers the cases that run on every kind of remote store run on: an
// FTP server, where the control logs in anonymously, and an SSH server over
// SFTP. The server's refusals carry its own text: FTP's reply code first,
// SFTP a status text of its own.
struct RemoteKind {
    const char* name;     // the case's suffix
    const char* server;   // FtpServer's kind
    const char* refusal;  // how a refusal's text begins
};
inline constexpr RemoteKind kRemoteKinds[] = {{"Ftp", "normal", "550"}, {"Sftp", "openssh-store", ""}};
inline std::string RemoteKindName(const testing::TestParamInfo<RemoteKind>& info)
{
    return info.param.name;
}

// Points control at server for Connect: an FTP server anonymously (or as
// the fixture's user when asUser), an SSH server as the fixture's user on
// its port over SFTP, its host key accepted when the control offers it.
void PointAt(HostedControl& control, const FtpServer& server, bool asUser = false);
// What the control puts before a path on server in addresses: the scheme,
// the host, and the port when it is not the protocol's own.
std::string AddressOf(const FtpServer& server);

// Checks a call that raised: the status, the category description, and
// (when code is not 0) the recorded code.
void ExpectRaised(const HostedControl& control, const CallResult& result, SCODE status, long code = 0);
// Checks a call that raised one of the control's own errors with its
// recorded code and the message of that code.
void ExpectOwnError(const HostedControl& control, const CallResult& result, long code, const std::string& message);

// What a program printed and how it ended.
struct ProgramRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;  // as the program wrote it: the system code page (932 here)
};
// Runs a command line to its end and collects what it prints, its errors included.
ProgramRun RunProgram(std::wstring commandLine);
// Wine's cscript on the script (a Windows path) with arguments.
ProgramRun RunScript(const std::wstring& script, const std::wstring& arguments);

// The Japanese system text for a platform error number, or "" when the
// system has none.
std::string SystemErrorText(DWORD code);

// One entry of a listing the control returned, as a host reads it.
struct ListedFile {
    std::string name;
    long type;
    long size;
    DATE lastWriteTime;
    IDispatch* object;  // held by the collection
};
std::vector<ListedFile> ReadListing(IDispatch* files);
const ListedFile* FindListed(const std::vector<ListedFile>& files, const std::string& name);

// A file time as the control shows it: converted to local time, as an OLE date.
DATE LocalOleDate(const FILETIME& utc);
// The last-write time of a file or directory, read through the file system.
FILETIME LastWriteTimeOf(const std::string& path);
