// Debian's FTP servers: every directory of their trees lists, opens and downloads as it is, with its times and sizes.
#include "tests/integration/HostSupport.h"

#include "framework/CodePage932.h"
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/ScratchDrive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The Debian kinds serving the tree of ftp_fixture_debian.py. The Japanese
// names are UTF-8 on disk and on the wire: automatic where FEAT lists UTF8,
// UTF-8 where it does not (GNU ftpd), and always over SFTP.
struct ServerKind {
    const char* kind;
    long encoding;      // ServerEncoding
    bool facts;         // MLSD or SFTP attributes: exact UTC times to the second
    int listingOffset;  // hours ahead of UTC of the times a LIST gives
    long target = 1;    // ConnectTarget
};
// The fixture runs the servers with TZ=Asia/Tokyo; proftpd lists in UTC.
const ServerKind kServers[] = {{"proftpd", 2, true, 0},   {"proftpd-nomlsd", 2, false, 0},
                               {"pure-ftpd", 2, true, 9}, {"inetutils", 1, false, 9},
                               {"openssh", 0, true, 0, 2}};

constexpr LONGLONG kNoSize = -1;  // directories, and entries whose size is not the listing's to give

struct Entry {
    const char* name;
    long type;  // 0 directory, 1 file
    LONGLONG size;
};

struct Directory {
    const char* path;
    std::vector<Entry> entries;     // none: GetFileList raises "no files"
    const char* current = nullptr;  // what GetCurrentDirectory answers once inside; nullptr: path
};

const std::vector<Entry> kInsideAB = {{"inner", 0, kNoSize}, {"in a b.txt", 1, 11}};

// Every directory of the tree and what it holds; links show what they lead to.
const Directory kTree[] = {
    {"/",
     {{"a b", 0, kNoSize},         {" lead", 0, kNoSize},      {"trail ", 0, kNoSize},       {"file a b.txt", 1, 13},
      {" lead.txt", 1, 10},        {"trail.txt ", 1, 11},      {"-dash.txt", 1, 10},         {"資料", 0, kNoSize},
      {"表.txt", 1, 8},            {"日本語 名前.txt", 1, 21}, {"small.txt", 1, 10},         {"big.bin", 1, 4294967301LL},
      {"old.txt", 1, 8},           {"recent.txt", 1, 11},      {"link-file", 1, 10},         {"link-dir", 0, kNoSize},
      {"pub", 0, kNoSize}}},
    {"/a b", kInsideAB},
    {"/a b/inner", {}},
    {"/ lead", {{"x.txt", 1, 6}}},
    {"/trail ", {}},
    {"/資料", {{"表", 0, kNoSize}, {"報告書.txt", 1, 14}}},
    {"/資料/表", {}},
    // The servers answer PWD in a linked directory with the link resolved.
    {"/link-dir", kInsideAB, "/a b"},
    {"/pub", {}},
};

// What GetFileList's Size answers for a file of size bytes: from 4 GiB - 1
// on, 0xFFFFFFFE ("at least this big").
long LongSize(LONGLONG size)
{
    return size >= 0xFFFFFFFFLL ? -2L : static_cast<long>(size);
}

// One entry as "name|type|Size|ExactSize", the sizes only where they are known.
std::string Describe(const std::string& name, long type, LONGLONG size, long longSize, double exact)
{
    std::string text = name + "|" + std::to_string(type);
    if (size != kNoSize)
        text += "|" + std::to_string(longSize) + "|" + std::to_string(static_cast<LONGLONG>(exact));
    return text;
}

double ExactSizeOf(IDispatch* file)
{
    const Variant exact = Get(file, L"ExactSize");
    EXPECT_EQ(VT_R8, exact.Type());
    return exact.Type() == VT_R8 ? exact.Value().dblVal : -1;
}

void ExpectListing(const HostedControl& control, const std::string& directory, const std::vector<Entry>& expected)
{
    SCOPED_TRACE("GetFileList " + directory);
    if (expected.empty()) {
        ExpectOwnError(control, control.Call(L"GetFileList", {directory.c_str()}), 20200,
                       "指定ディレクトリにファイルは存在しません");
        return;
    }
    std::vector<std::string> wanted;
    for (const Entry& entry : expected)
        wanted.push_back(Describe(entry.name, entry.type, entry.size, LongSize(entry.size), entry.size));
    std::vector<std::string> listed;
    const Variant files = control.Must(L"GetFileList", {directory.c_str()});  // holds the file objects
    for (const ListedFile& file : ReadListing(files.AsDispatch())) {
        const auto known = std::find_if(expected.begin(), expected.end(),
                                        [&](const Entry& entry) { return file.name == entry.name; });
        const LONGLONG size = known != expected.end() && known->size == kNoSize ? kNoSize : 0;
        listed.push_back(Describe(file.name, file.type, size, file.size, ExactSizeOf(file.object)));
    }
    std::sort(wanted.begin(), wanted.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(wanted, listed);
}

void ConnectTo(HostedControl& control, const FtpServer& server, const ServerKind& kind)
{
    control.SetProperty(L"ConnectTarget", kind.target);
    control.sink.acceptCertificate = 1;  // the SSH server's host key is new
    control.SetProperty(L"ServerName", server.Host().c_str());
    control.SetProperty(L"Port", static_cast<long>(server.Port()));
    control.SetProperty(L"UserName", FtpServer::kUser);
    control.SetProperty(L"Password", FtpServer::kPassword);
    control.SetProperty(L"ServerEncoding", kind.encoding);
    control.Must(L"Connect");
}

// Runs check(kind, server, control) with a control connected to each kind
// of server in turn, each server started afresh.
template <typename Check>
void OnEveryServer(Check check)
{
    for (const ServerKind& test : kServers) {
        SCOPED_TRACE(test.kind);
        FtpServer server(test.kind, FtpServer::kAnyPort);
        HostedControl control;
        ConnectTo(control, server, test);
        check(test, server, control);
    }
}

// The bytes a file of the tree holds: its name in UTF-8 and a line feed.
std::string ContentOf(const std::string& shiftJisName)
{
    const std::wstring wide = ToWide(shiftJisName);
    std::string utf8(wide.size() * 4, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8 + "\n";
}

// Times compared and printed to the second: "2001-02-03 13:05:06".
std::string TextOf(DATE date)
{
    const LONGLONG seconds = std::llround(date * 86400.0);
    SYSTEMTIME day = {};
    VariantTimeToSystemTime(static_cast<double>(seconds / 86400), &day);
    const LONGLONG inDay = seconds % 86400;
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02lld:%02lld:%02lld", day.wYear, day.wMonth, day.wDay,
                  inDay / 3600, inDay / 60 % 60, inDay % 60);
    return text;
}

// A UTC time shown in local time, as the control shows exact times.
DATE LocalOfUtc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    const SYSTEMTIME utc = {year, month, 0, day, hour, minute, second, 0};
    FILETIME time;
    SystemTimeToFileTime(&utc, &time);
    return LocalOleDate(time);
}

// The date alone, as a listing line that gives the year gives it: midnight
// of that day on the server's clock, offsetHours ahead of UTC.
DATE Midnight(WORD year, WORD month, WORD day, int offsetHours)
{
    return LocalOfUtc(year, month, day, 0, 0, 0) - offsetHours / 24.0;
}

}  // namespace

TEST(RealServers, EveryDirectoryListsAndIsEnteredByItsName)
{
    OnEveryServer([](const ServerKind&, const FtpServer&, const HostedControl& control) {
        for (const Directory& directory : kTree) {
            ExpectListing(control, directory.path, directory.entries);
            control.Must(L"SetCurrentDirectory", {directory.path});
            EXPECT_EQ(directory.current ? directory.current : directory.path,
                      control.Must(L"GetCurrentDirectory", {0}).AsText());
        }
    });
}

TEST(RealServers, FilesWithSpacesDashesAndJapaneseNamesDownloadWhole)
{
    const std::pair<const char*, const char*> kFiles[] = {
        {"/a b", "in a b.txt"}, {"/ lead", "x.txt"},    {"/", "-dash.txt"},           {"/", "日本語 名前.txt"},
        {"/", "表.txt"},        {"/資料", "報告書.txt"}, {"/link-dir", "in a b.txt"}, {"/", "link-file"}};
    OnEveryServer([&kFiles](const ServerKind&, const FtpServer&, const HostedControl& control) {
        ScratchDrive local;
        control.SetProperty(L"EnableProgressDialog", false);
        int row = 0;
        for (const auto& [directory, name] : kFiles) {
            SCOPED_TRACE(std::string(directory) + " " + name);
            // A directory of its own for each download: the same name comes twice.
            const std::string into = local.PathOf(std::to_string(++row));
            MakeDirectory(into);
            control.Must(L"SetCurrentDirectory", {directory});
            control.Must(L"SelectFile", {name});
            control.Must(L"GetFile", {into.c_str()});
            const std::string source = std::string(name) == "link-file" ? "small.txt" : name;
            EXPECT_EQ(ContentOf(source), ReadBytes(into + "\\" + name));
        }
    });
}

TEST(RealServers, GetFileSizeAnswersTheFileOrTheLinksTarget)
{
    const std::pair<const char*, long> kSizes[] = {{"big.bin", -2}, {"small.txt", 10}, {"link-file", 10}};
    OnEveryServer([&kSizes](const ServerKind&, const FtpServer&, const HostedControl& control) {
        for (const auto& [name, size] : kSizes)
            EXPECT_EQ(size, control.Must(L"GetFileSize", {name}).AsLong()) << name;
    });
}

TEST(RealServers, ListedTimesAreTheFilesTimesInLocalTime)
{
    // pure-ftpd and GNU ftpd list in the server's clock (the fixture's TZ),
    // proftpd in UTC; MLSD gives UTC to the second. A LIST line of a file
    // older than half a year gives the date only.
    OnEveryServer([](const ServerKind& test, const FtpServer& server, const HostedControl& control) {
        const std::vector<ListedFile> root = ReadListing(control.Must(L"GetFileList", {"/"}).AsDispatch());
        const ListedFile* old = FindListed(root, "old.txt");
        const ListedFile* recent = FindListed(root, "recent.txt");
        ASSERT_TRUE(old && recent);
        const DATE oldTime = test.facts ? LocalOfUtc(2001, 2, 3, 4, 5, 6) : Midnight(2001, 2, 3, test.listingOffset);
        EXPECT_EQ(TextOf(oldTime), TextOf(old->lastWriteTime));
        // Three hours before the server started, to the minute.
        EXPECT_EQ(TextOf(LocalOleDate(LastWriteTimeOf(server.PathOf("recent.txt")))), TextOf(recent->lastWriteTime));
    });
}
