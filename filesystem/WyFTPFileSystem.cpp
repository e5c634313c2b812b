// The file store of an FTP server: connection, navigation, directories, deletions, listings.
#include "filesystem/WyFTPFileSystem.h"

#include "filesystem/FileSizeAnswer.h"
#include "filesystem/OutsideWorkingDirectory.h"
#include "filesystem/ParentDirectory.h"
#include "filesystem/SubdirectoryProbe.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyFTPUrl.h"
#include "filesystem/WyPath.h"
#include "filesystem/WyUrlConnection.h"
#include "framework/ShiftJis.h"
#include "ftp/ListingParser.h"

CWyFTPFileSystem::CWyFTPFileSystem(CWyFileSystemOwner* owner) : m_owner(owner) {}

CWyFTPFileSystem::~CWyFTPFileSystem()
{
    Disconnect();
}

void CWyFTPFileSystem::DirUp()
{
    RequireConnection();
    const CWyPath current(m_owner->GetCurrentDirectoryString());
    if (current.Str() == "/")
        throw CWyFTPException(WyFTPErrorTopDirectory);
    SetCurrentDirectory(ParentDirectory(current).c_str());
}

std::string CWyFTPFileSystem::GetRoot()
{
    return {};
}

DWORD CWyFTPFileSystem::GetFileSize(const char* name)
{
    RequireConnection();
    CWyPath path(TextOf(name));
    path.ToForwardSlashes();
    const CWyRemotePath facts = DescribeRemotePath(*m_connection, path.Str(), ListedEntry(path.Str()));
    return FileSizeAnswer(facts.exists && !facts.directory ? facts.size : -1);
}

void CWyFTPFileSystem::Connect(const char* server, const char* user, const char* password)
{
    if (m_connectStarted)
        throw CWyFTPException(WyFTPErrorConnectionExists);
    const CFtpOptions options = m_owner->GetConnectionOptions();
    m_connectStarted = true;

    std::string serverName, userName, pass;
    if (server && user && password) {
        serverName = server;
        userName = user;
        pass = password;
    } else {
        serverName = m_owner->GetServerNameProperty();
        userName = m_owner->GetUserNameProperty();
        pass = m_owner->GetPasswordProperty();
    }
    // A second Connect on this object is refused until Disconnect.
    if (serverName.empty())
        throw CWyFTPException(WyFTPErrorNoServerName);
    // Anonymous FTP has an account of its own; an SSH server has none.
    if (options.protocol == CFtpOptions::ftp) {
        if (userName.empty())
            userName = kAnonymousUser;
        if (pass.empty())
            pass = kDefaultPassword;
    }
    if (m_connection)
        throw CWyFTPException(WyFTPErrorConnectionExists);

    m_connection = OpenRemoteConnection(serverName, userName, pass, options, &m_answeringWait);
    m_userName = userName;
    m_password = pass;

    m_owner->SetServerNameProperty(serverName);
    m_owner->SetUserNameProperty(userName);
    m_owner->SetPasswordProperty(pass);

    ChangeDirectory(m_owner->GetStartDirectory().c_str());
}

void CWyFTPFileSystem::CreateDirectory(const char* name)
{
    RequireConnection();
    ForgetListings();
    m_connection->CreateDirectory(name);
}

void CWyFTPFileSystem::Disconnect()
{
    m_connection.reset();
    m_password.clear();
    m_connectStarted = false;
    ForgetListings();
}

std::string CWyFTPFileSystem::GetCurrentDirectory(BOOL asUrl)
{
    RequireConnection();
    return asUrl == 1 ? m_connection->GetCurrentDirectoryAsURL() : m_connection->GetCurrentDirectory();
}

void CWyFTPFileSystem::GetFileList(const char* directory, CWyFileList* files)
{
    RequireConnection();
    // A pattern in the last part is matched here; servers differ on it.
    std::string path = CWyPath(TextOf(directory)).ToForwardSlashes().Str();
    std::string pattern;
    const size_t slash = path.rfind('/');
    const std::string last = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (last.find_first_of("*?") != std::string::npos) {
        pattern = last;
        path.erase(slash == std::string::npos ? 0 : slash + 1);
    }
    CWyPath listed(path);
    listed.RemoveTrailingSlash();
    bool found = false;
    for (const CWyDirectoryEntry& entry : Listing(listed.Str().empty() ? "/" : listed.Str())) {
        if (!pattern.empty() && !MatchesPattern(pattern.c_str(), entry.name.c_str()))
            continue;
        found = true;
        if (files)
            files->AddEntry(entry);
    }
    if (!found)
        throw CWyFTPException(WyFTPErrorNoFiles);
}

const std::vector<CWyDirectoryEntry>& CWyFTPFileSystem::Listing(const std::string& directory)
{
    const unsigned call = m_owner->GetCallGeneration();
    if (call != m_listingsCall) {
        m_listings.clear();
        m_listingsCall = call;
    }
    if (call != 0) {
        const auto held = m_listings.find(directory);
        if (held != m_listings.end())
            return held->second;
    }
    std::vector<CWyDirectoryEntry> entries;
    if (!m_connection->List(directory, entries))
        throw CWyFTPException(WyFTPErrorNoFiles);
    // Outside a call nothing is held: the next listing asks again.
    if (call == 0)
        m_listings.clear();
    return m_listings[directory] = std::move(entries);
}

std::unique_ptr<CWySubdirectoryProbe> CWyFTPFileSystem::MakeSubdirectoryProbe()
{
    if (!m_connection)
        return nullptr;
    CFtpOptions options = m_owner->GetConnectionOptions();
    // The probe meets the server this connection accepted.
    options.certificatePin = m_connection->AcceptedFingerprint();
    return MakeServerSubdirectoryProbe(m_connection->GetServerName(), m_userName, m_password, options);
}

const CWyDirectoryEntry* CWyFTPFileSystem::ListedEntry(const std::string& path)
{
    if (m_owner->GetCallGeneration() != m_listingsCall || m_listingsCall == 0)
        return nullptr;
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return nullptr;
    const auto held = m_listings.find(slash == 0 ? "/" : path.substr(0, slash));
    if (held == m_listings.end())
        return nullptr;
    const std::string name = path.substr(slash + 1);
    for (const CWyDirectoryEntry& entry : held->second) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

void CWyFTPFileSystem::RemoveDirectory(const char* directory)
{
    const CWyPath parent = ParentDirectory(CWyPath(directory).ToForwardSlashes());
    ForgetListings();
    RunOutsideWorkingDirectory(*this, GetCurrentDirectory(FALSE) == TextOf(directory), TextOf(directory), parent.Str(),
                               [&] { m_connection->RemoveDirectory(directory); });
}

void CWyFTPFileSystem::RemoveFile(const char* name)
{
    RequireConnection();
    ForgetListings();
    m_connection->Remove(name);
}

void CWyFTPFileSystem::RenameFile(const char* oldName, const char* newName)
{
    CWyPath directory(GetCurrentDirectory(FALSE));
    CWyPath from(oldName);
    CWyPath to(newName);
    directory.ToForwardSlashes();
    from.ToForwardSlashes();
    to.ToForwardSlashes();
    ForgetListings();
    RunOutsideWorkingDirectory(*this, directory == from, from.Str(), to.Str(),
                               [&] { m_connection->Rename(from.c_str(), to.c_str()); });
}

void CWyFTPFileSystem::SetCurrentDirectory(const char* path)
{
    RequireConnection();
    if (TextOf(path) == m_owner->GetCurrentDirectoryString())
        return;
    ChangeDirectory(path);
}

void CWyFTPFileSystem::KeepAlive()
{
    if (m_connection)
        m_connection->KeepAlive();
}

void CWyFTPFileSystem::AbortTransfer()
{
    m_abort = TRUE;
}

std::string CWyFTPFileSystem::GetAddressPrefix()
{
    // The connection's own prefix carries a port other than 21.
    std::string prefix = m_connection ? m_connection->GetUrlPrefix()
                                       : std::string(SchemeOf(m_owner->GetConnectionOptions()))
            + m_owner->GetServerNameProperty();
    if (ShiftJis::EndsWithChar(prefix, '/'))
        prefix.pop_back();
    return prefix;
}

std::string CWyFTPFileSystem::GetDragOutEntry(const std::string& path)
{
    // The entry carries the account so that another control can fetch the
    // file: whoever receives the drop receives the password.
    return GetAddressPrefix() + path + "?uid=" + m_owner->GetUserNameProperty() + "&pw="
        + m_owner->GetPasswordProperty();
}

bool CWyFTPFileSystem::IsDirectory(const char* path)
{
    if (!m_connection || !path)
        return false;
    const std::string name = CWyPath(path).ToForwardSlashes().Str();
    const CWyRemotePath facts = DescribeRemotePath(*m_connection, name, ListedEntry(name));
    // A directory the server leaves out of its listings can still be entered.
    return facts.directory || (!facts.exists && m_connection->CanEnterDirectory(name));
}

void CWyFTPFileSystem::RequireConnection() const
{
    if (!m_connection)
        throw CWyFTPException(WyFTPErrorNotConnected);
}

void CWyFTPFileSystem::ChangeDirectory(const char* path)
{
    m_connection->SetCurrentDirectory(TextOf(path).c_str());
    CWyPath current(path);
    current.Normalize();
    m_owner->SetCurrentDirectoryString(current.Str());
    m_owner->FireChangeCurrentDirectory(current.c_str());
}
