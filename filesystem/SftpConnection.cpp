// A logged-in SFTP connection as the server store uses it: a working directory of its own, listings, directories, renames, deletions and remote files.
#include "filesystem/SftpConnection.h"

#include "filesystem/InternetError.h"
#include "filesystem/SftpFile.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyFTPUrl.h"
#include "filesystem/WyPath.h"
#include "framework/OleDateTime.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Seconds since 1970 (UTC) as a FILETIME.
FILETIME FileTimeOfUnixTime(unsigned long seconds)
{
    const ULONGLONG ticks = (static_cast<ULONGLONG>(seconds) + 11644473600ULL) * 10000000ULL;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

bool IsDirectory(const LIBSSH2_SFTP_ATTRIBUTES& attributes)
{
    return (attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) && LIBSSH2_SFTP_S_ISDIR(attributes.permissions);
}

// A directory's size in its attributes is that of its own record, not of
// what it holds: it is shown as 0, as the FTP listings show it.
void SetTypeAndSize(CWyDirectoryEntry& entry, const LIBSSH2_SFTP_ATTRIBUTES& attributes)
{
    const bool directory = IsDirectory(attributes);
    entry.type = directory ? CWyDirectoryEntry::kDirectory : CWyDirectoryEntry::kFile;
    entry.length = directory ? 0 : attributes.filesize;
    entry.size = static_cast<DWORD>(entry.length);
}

// The link count, the second field of the long name "drwxr-xr-x 3 user ...";
// 0 when the server writes none.
unsigned LinkCount(const char* longName)
{
    const char* field = longName;
    while (*field && *field != ' ')
        ++field;
    return static_cast<unsigned>(std::strtoul(field, nullptr, 10));
}

// An absolute path made of directory and a path relative to it.
std::string Joined(const std::string& directory, const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    if (path.empty())
        return directory;
    return directory.back() == '/' ? directory + path : directory + "/" + path;
}

}  // namespace

std::unique_ptr<CSftpConnection> CSftpConnection::Open(const std::string& server, const std::string& user,
                                                       const std::string& password, const CFtpOptions& options,
                                                       CNetworkWaitHook* standingHook)
{
    if (options.port == 0)
        throw CWyFTPException(WyFTPErrorCreateObject);
    auto connection = std::make_unique<CSftpConnection>(options, standingHook, server);
    if (const FtpError error = connection->m_session.Open(server, user, password))
        RaiseFtpError(error);
    return connection;
}

CSftpConnection::CSftpConnection(const CFtpOptions& options, CNetworkWaitHook* standingHook, std::string serverName)
    : m_session(options, standingHook), m_serverName(std::move(serverName)), m_port(options.port)
{
    m_names.SpeakUtf8(true);
}

std::string CSftpConnection::GetUrlPrefix() const
{
    const std::string prefix = std::string(kSftpScheme) + m_serverName;
    return m_port == kSshPort ? prefix : prefix + ":" + std::to_string(m_port);
}

std::string CSftpConnection::WirePath(const std::string& path) const
{
    std::string wire;
    if (const FtpError error = m_names.ToWire(Joined(m_directory, path), wire))
        RaiseFtpError(error);
    return wire;
}

void CSftpConnection::RaiseFailure()
{
    RaiseFtpError(m_session.Failure());
}

FtpError CSftpConnection::TryRequest(const std::string& request, const std::function<int()>& operation)
{
    m_session.Trace(request);
    for (bool again = true;; again = false) {
        if (const FtpError error = m_session.Revive())
            return error;
        if (operation() >= 0)
            return {};
        const FtpError error = m_session.Failure();
        if (!(again && m_session.IsBroken() && m_session.WillReconnect())) {
            if (!error.reply.empty())
                m_session.Trace("--- " + error.reply);
            return error;
        }
    }
}

void CSftpConnection::Request(const std::string& request, const std::function<int()>& operation)
{
    if (const FtpError error = TryRequest(request, operation))
        RaiseFtpError(error);
}

int CSftpConnection::StatCall(const std::string& wirePath, LIBSSH2_SFTP_ATTRIBUTES& attributes)
{
    return m_session.Run([&] {
        return libssh2_sftp_stat_ex(m_session.Sftp(), wirePath.c_str(), static_cast<unsigned>(wirePath.size()),
                                    LIBSSH2_SFTP_STAT, &attributes);
    });
}

bool CSftpConnection::Stat(const std::string& wirePath, LIBSSH2_SFTP_ATTRIBUTES& attributes)
{
    const FtpError error = TryRequest("STAT " + wirePath, [&] { return StatCall(wirePath, attributes); });
    if (error && error != FtpErrorCode::refused)
        RaiseFtpError(error);
    return !error;
}

void CSftpConnection::SetCurrentDirectory(const char* directory)
{
    const std::string wire = WirePath(TextOf(directory));
    // The server's own form of the path: ".." and links resolved.
    char canonical[4096];
    int length = 0;
    Request("REALPATH " + wire, [&] {
        return length = m_session.Run([&] {
                   return libssh2_sftp_symlink_ex(m_session.Sftp(), wire.c_str(), static_cast<unsigned>(wire.size()),
                                                  canonical, sizeof canonical - 1, LIBSSH2_SFTP_REALPATH);
               });
    });
    const std::string resolved(canonical, static_cast<size_t>(length));
    LIBSSH2_SFTP_ATTRIBUTES attributes = {};
    Request("STAT " + resolved, [&] { return StatCall(resolved, attributes); });
    if (!IsDirectory(attributes))
        RaiseFtpError({FtpErrorCode::refused, "Not a directory"});
    m_directory = m_names.FromWire(resolved);
}

void CSftpConnection::CreateDirectory(const char* directory)
{
    const std::string wire = WirePath(TextOf(directory));
    Request("MKDIR " + wire, [&] {
        return m_session.Run([&] {
            return libssh2_sftp_mkdir_ex(m_session.Sftp(), wire.c_str(), static_cast<unsigned>(wire.size()), 0755);
        });
    });
}

void CSftpConnection::RemoveDirectory(const char* directory)
{
    const std::string wire = WirePath(TextOf(directory));
    Request("RMDIR " + wire, [&] {
        return m_session.Run([&] {
            return libssh2_sftp_rmdir_ex(m_session.Sftp(), wire.c_str(), static_cast<unsigned>(wire.size()));
        });
    });
}

void CSftpConnection::Remove(const char* fileName)
{
    const std::string wire = WirePath(TextOf(fileName));
    Request("REMOVE " + wire, [&] {
        return m_session.Run([&] {
            return libssh2_sftp_unlink_ex(m_session.Sftp(), wire.c_str(), static_cast<unsigned>(wire.size()));
        });
    });
}

void CSftpConnection::Rename(const char* oldName, const char* newName)
{
    const std::string from = WirePath(TextOf(oldName));
    const std::string to = WirePath(TextOf(newName));
    Request("RENAME " + from + " " + to, [&] {
        return m_session.Run([&] {
            return libssh2_sftp_rename_ex(m_session.Sftp(), from.c_str(), static_cast<unsigned>(from.size()),
                                          to.c_str(), static_cast<unsigned>(to.size()),
                                          LIBSSH2_SFTP_RENAME_OVERWRITE | LIBSSH2_SFTP_RENAME_ATOMIC
                                              | LIBSSH2_SFTP_RENAME_NATIVE);
        });
    });
}

std::unique_ptr<CRemoteFile> CSftpConnection::OpenForReading(const char* fileName, LONGLONG size)
{
    return std::make_unique<CSftpFile>(*this, WirePath(TextOf(fileName)), CSftpFile::Direction::download, size);
}

std::unique_ptr<CRemoteFile> CSftpConnection::OpenForWriting(const char* fileName)
{
    return std::make_unique<CSftpFile>(*this, WirePath(TextOf(fileName)), CSftpFile::Direction::upload, -1);
}

bool CSftpConnection::List(const std::string& directory, std::vector<CWyDirectoryEntry>& entries)
{
    const std::string wire = WirePath(directory);
    LIBSSH2_SFTP_HANDLE* handle = nullptr;
    const FtpError error = TryRequest("OPENDIR " + wire, [&] {
        handle = m_session.Run([&] {
            return libssh2_sftp_open_ex(m_session.Sftp(), wire.c_str(), static_cast<unsigned>(wire.size()), 0, 0,
                                        LIBSSH2_SFTP_OPENDIR);
        });
        return handle ? 0 : -1;
    });
    // A directory the server refuses holds no files.
    if (error == FtpErrorCode::refused)
        return false;
    if (error)
        RaiseFtpError(error);
    entries.clear();
    std::vector<std::string> links;  // the wire paths of the entries that are links
    char name[1024];
    char longName[2048];
    for (;;) {
        LIBSSH2_SFTP_ATTRIBUTES attributes = {};
        const int length = m_session.Run([&] {
            return libssh2_sftp_readdir_ex(handle, name, sizeof name, longName, sizeof longName, &attributes);
        });
        if (length == 0)
            break;
        if (length < 0)
            RaiseFailure();
        const std::string wireName(name, static_cast<size_t>(length));
        if (wireName == "." || wireName == "..")
            continue;
        CWyDirectoryEntry entry;
        entry.name = m_names.FromWire(wireName);
        SetTypeAndSize(entry, attributes);
        entry.lastWriteTime = COleDateTime(FileTimeOfUnixTime(attributes.mtime)).m_dt;
        // A Unix directory links to itself, from its parent and from each
        // subdirectory; a count below 2 tells nothing.
        const unsigned linkCount = LinkCount(longName);
        if (entry.type == CWyDirectoryEntry::kDirectory && linkCount >= 2)
            entry.subdirectories = static_cast<int>(std::min<unsigned>(linkCount - 2, 0x7FFFFFFF));
        if ((attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) && LIBSSH2_SFTP_S_ISLNK(attributes.permissions))
            links.push_back(Joined(wire, wireName));
        else
            links.push_back({});
        entries.push_back(entry);
    }
    m_session.Run([&] { return libssh2_sftp_close_handle(handle); });
    // A link shows what it leads to; one that leads nowhere stays a link.
    for (size_t index = 0; index < entries.size(); ++index) {
        if (links[index].empty())
            continue;
        LIBSSH2_SFTP_ATTRIBUTES target = {};
        CWyDirectoryEntry& entry = entries[index];
        if (!Stat(links[index], target)) {
            entry.unresolvedLink = true;
            continue;
        }
        SetTypeAndSize(entry, target);
    }
    return true;
}

CWyRemotePath CSftpConnection::Describe(const std::string& path)
{
    LIBSSH2_SFTP_ATTRIBUTES attributes = {};
    if (!Stat(WirePath(path), attributes))
        return {};
    CWyRemotePath facts;
    facts.exists = true;
    facts.directory = IsDirectory(attributes);
    facts.size = facts.directory || !(attributes.flags & LIBSSH2_SFTP_ATTR_SIZE)
        ? -1
        : static_cast<LONGLONG>(attributes.filesize);
    return facts;
}

bool CSftpConnection::CanEnterDirectory(const std::string&)
{
    // Describe asks the path itself: nothing is hidden from it.
    return false;
}
