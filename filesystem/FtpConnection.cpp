// A logged-in FTP connection as the FTP store uses it: directories, renames, deletions and remote files.
#include "filesystem/FtpConnection.h"

#include "filesystem/WyFTPUrl.h"
#include "filesystem/InternetError.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "filesystem/RemotePath.h"
#include "framework/OleDateTime.h"
#include "ftp/ListingReader.h"
#include "ftp/FtpSession.h"
#include "ftp/FtpTransfer.h"
#include "ftp/ReplyParsers.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

void Check(const FtpError& error)
{
    if (error)
        RaiseFtpError(error);
}

CWyDirectoryEntry StoreEntry(const FtpEntry& listed)
{
    CWyDirectoryEntry entry;
    entry.name = listed.name;
    entry.type = listed.kind == FtpEntry::Kind::directory ? CWyDirectoryEntry::kDirectory : CWyDirectoryEntry::kFile;
    entry.length = listed.size;
    entry.unresolvedLink = listed.kind == FtpEntry::Kind::link;
    entry.size = static_cast<DWORD>(listed.size);
    entry.lastWriteTime = COleDateTime(listed.written).m_dt;
    // A Unix directory links to itself, from its parent and from each
    // subdirectory; a count below 2 tells nothing (some file systems).
    if (listed.kind == FtpEntry::Kind::directory && listed.links >= 2)
        entry.subdirectories = static_cast<int>(std::min<unsigned>(listed.links - 2, 0x7FFFFFFF));
    return entry;
}

}  // namespace

std::unique_ptr<CFtpConnection> CFtpConnection::Open(const std::string& server, const std::string& user,
                                                     const std::string& password, const CFtpOptions& options,
                                                     CNetworkWaitHook* standingHook)
{
    if (options.port == 0)
        throw CWyFTPException(WyFTPErrorCreateObject);
    auto session = std::make_unique<CFtpSession>(options, MakeTcpConnector());
    session->SetStandingHook(standingHook);
    Check(session->Open(server, user, password));
    return std::make_unique<CFtpConnection>(std::move(session), server, options.port);
}

CFtpConnection::CFtpConnection(std::unique_ptr<CFtpSession> session, std::string serverName, WORD port)
    : m_session(std::move(session)), m_serverName(std::move(serverName)), m_port(port)
{
}

CFtpConnection::~CFtpConnection()
{
    Close();
}

std::string CFtpConnection::GetUrlPrefix() const
{
    CFtpOptions options;
    options.security = m_session->SecurityMode();
    const std::string prefix = std::string(SchemeOf(options)) + m_serverName;
    return m_port == kFtpPort ? prefix : prefix + ":" + std::to_string(m_port);
}

void CFtpConnection::PathCommand(const char* verb, const char* path, int expected) const
{
    std::string wire;
    Check(m_session->Names().ToWire(TextOf(path), wire));
    Check(m_session->Expect(std::string(verb) + " " + wire, expected));
}

FtpError CFtpConnection::Retried(const std::function<FtpError()>& operation) const
{
    const FtpError error = operation();
    return error && m_session->WillReconnect() ? operation() : error;
}

void CFtpConnection::SetCurrentDirectory(const char* directory)
{
    Check(Retried([&] { return m_session->ChangeDirectory(TextOf(directory)); }));
}

std::string CFtpConnection::GetCurrentDirectory() const
{
    std::string directory;
    Check(Retried([&] { return m_session->AskWorkingDirectory(directory); }));
    return directory;
}


void CFtpConnection::CreateDirectory(const char* directory)
{
    PathCommand("MKD", directory);
}

void CFtpConnection::RemoveDirectory(const char* directory)
{
    PathCommand("RMD", directory);
}

void CFtpConnection::Remove(const char* fileName)
{
    PathCommand("DELE", fileName);
}

void CFtpConnection::Rename(const char* oldName, const char* newName)
{
    // Both names are checked before RNFR: a refused new name must not leave
    // the server waiting for the RNTO of a rename that will not come.
    std::string wire;
    Check(m_session->Names().ToWire(TextOf(newName), wire));
    PathCommand("RNFR", oldName, 350);
    PathCommand("RNTO", newName);
}

std::unique_ptr<CFtpTransfer> CFtpConnection::OpenTransfer(const char* verb, const std::string& wirePath)
{
    std::unique_ptr<CFtpTransfer> transfer;
    Check(Retried([&] { return m_session->OpenTransfer(std::string(verb) + " " + wirePath, 'I', transfer); }));
    return transfer;
}

std::unique_ptr<CFtpTransfer> CFtpConnection::OpenRefusable(const char* verb, const std::string& wirePath,
                                                            ULONGLONG restartAt, ULONGLONG startsAt)
{
    std::unique_ptr<CFtpTransfer> transfer;
    const FtpError error = Retried([&] {
        return m_session->OpenTransfer(std::string(verb) + " " + wirePath, 'I', transfer, restartAt);
    });
    if (error == FtpErrorCode::refused && !m_session->IsBroken())
        return nullptr;
    Check(error);
    if (startsAt != 0)
        transfer->StartsAt(startsAt);
    return transfer;
}

std::unique_ptr<CFtpTransfer> CFtpConnection::OpenDownload(const std::string& wirePath, LONGLONG size,
                                                           ULONGLONG& offset)
{
    std::unique_ptr<CFtpTransfer> transfer;
    if (offset != 0)
        transfer = OpenRefusable("RETR", wirePath, offset);
    if (!transfer) {
        offset = 0;
        transfer = OpenTransfer("RETR", wirePath);
    }
    transfer->ExpectDownloadOf(size);
    return transfer;
}

std::unique_ptr<CFtpTransfer> CFtpConnection::OpenUpload(const std::string& wirePath, ULONGLONG& offset)
{
    std::unique_ptr<CFtpTransfer> transfer;
    bool appendable = false;  // APPE adds to the end of what the server holds, which must be offset
    if (offset != 0) {
        // What the server holds is what the upload goes on from.
        std::optional<ULONGLONG> held;
        Check(Retried([&] { return m_session->FileSize(wirePath, held); }));
        appendable = held && *held <= offset;
        offset = held ? std::min(*held, offset) : 0;
    }
    if (offset != 0)
        transfer = OpenRefusable("STOR", wirePath, offset);
    if (!transfer && appendable && offset != 0)
        transfer = OpenRefusable("APPE", wirePath, 0, offset);
    if (!transfer) {
        offset = 0;
        transfer = OpenTransfer("STOR", wirePath);
    }
    transfer->VerifyUploadTo(wirePath);
    return transfer;
}

std::unique_ptr<CRemoteFile> CFtpConnection::OpenForReading(const char* fileName, LONGLONG size)
{
    std::string wire;
    Check(m_session->Names().ToWire(TextOf(fileName), wire));
    return std::make_unique<CInternetFile>(*this, wire, CInternetFile::Direction::download, size, TextOf(fileName));
}

std::unique_ptr<CRemoteFile> CFtpConnection::OpenForWriting(const char* fileName)
{
    std::string wire;
    Check(m_session->Names().ToWire(TextOf(fileName), wire));
    return std::make_unique<CInternetFile>(*this, wire, CInternetFile::Direction::upload, -1, TextOf(fileName));
}

bool CFtpConnection::List(const std::string& directory, std::vector<CWyDirectoryEntry>& entries)
{
    std::vector<FtpEntry> listed;
    const FtpError failure = Retried([&] {
        listed.clear();
        return ListDirectory(*m_session, directory, listed);
    });
    if (failure) {
        // A directory the server refuses holds no files; a listing it cut
        // off, or a connection that failed, is a failure with its reply.
        if (failure != FtpErrorCode::refused)
            RaiseFtpError(failure);
        return false;
    }
    entries.clear();
    entries.reserve(listed.size());
    for (const FtpEntry& entry : listed)
        entries.push_back(StoreEntry(entry));
    return true;
}

CWyRemotePath CFtpConnection::Describe(const std::string& path)
{
    return DescribeFtpPath(*m_session, path);
}

bool CFtpConnection::CanEnterDirectory(const std::string& path)
{
    return CanEnterFtpDirectory(*m_session, path);
}

void CFtpConnection::KeepAlive()
{
    // A connection found dropped is brought back by the next call.
    m_session->KeepAlive();
}

std::string CFtpConnection::AcceptedFingerprint() const
{
    return m_session->IsSecure() ? m_session->LastCertificateFingerprint() : std::string();
}

void CFtpConnection::Close()
{
    m_session->Close();
}

bool CFtpConnection::MayResume() const
{
    return m_session->Reconnects() && (!m_session->IsBroken() || m_session->WillReconnect());
}
