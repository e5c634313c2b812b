// The file store of an FTP server: connection, navigation, directories, deletions, listings.
#include "filesystem/WyFTPFileSystem.h"

#include "filesystem/ConnectionSettings.h"
#include "filesystem/DirectoryListing.h"
#include "filesystem/DirectoryProbes.h"
#include "filesystem/FileSizeAnswer.h"
#include "filesystem/ParentDirectory.h"
#include "filesystem/RemoteFileSize.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "filesystem/WyUrlConnection.h"
#include "framework/ShiftJis.h"
#include "filesystem/FtpFileFind.h"
#include "filesystem/InternetError.h"

namespace {

std::string Text(const char* text)
{
    return text ? text : "";
}

}  // namespace

CWyFTPFileSystem::CWyFTPFileSystem(CWyFileSystemOwner* owner) : m_pCtrl(owner) {}

CWyFTPFileSystem::~CWyFTPFileSystem()
{
    Disconnect();
}

void CWyFTPFileSystem::SetBusy(BOOL busy)
{
    m_bBusy = busy;
}

void CWyFTPFileSystem::DirUp()
{
    RequireConnection();
    const CWyPath current(m_pCtrl->GetCurrentDirectoryString());
    if (current.Str() == "/")
        throw CWyFTPException(WyFTPErrorTopDirectory);
    SetCurrentDirectory(ParentDirectory(current).c_str());
}

std::string CWyFTPFileSystem::GetRoot()
{
    return {};
}

CFtpConnection* CWyFTPFileSystem::GetConnection()
{
    return m_pConnection.get();
}

DWORD CWyFTPFileSystem::GetFileSize(const char* name)
{
    RequireConnection();
    return FileSizeAnswer(FindRemoteFileSize(m_pConnection.get(), name));
}

void CWyFTPFileSystem::Connect(const char* server, const char* user, const char* password)
{
    if (m_bConnectStarted)
        throw CWyFTPException(WyFTPErrorConnectionExists);
    const CWyConnectionSettings settings = ConnectionSettingsOf(*m_pCtrl);
    m_bConnectStarted = true;

    std::string serverName, userName, pass;
    if (server && user && password) {
        serverName = server;
        userName = user;
        pass = password;
    } else {
        serverName = m_pCtrl->GetServerNameProperty();
        userName = m_pCtrl->GetUserNameProperty();
        pass = m_pCtrl->GetPasswordProperty();
    }
    // A second Connect on this object is refused until Disconnect.
    if (serverName.empty())
        throw CWyFTPException(WyFTPErrorNoServerName);
    if (userName.empty())
        userName = kAnonymousUser;
    if (pass.empty())
        pass = kDefaultPassword;
    if (m_pConnection)
        throw CWyFTPException(WyFTPErrorConnectionExists);

    m_pConnection = OpenFtpConnection(serverName, userName, pass, settings);

    m_pCtrl->SetServerNameProperty(serverName);
    m_pCtrl->SetUserNameProperty(userName);
    m_pCtrl->SetPasswordProperty(pass);

    std::string start = m_pCtrl->GetConnectDirectoryProperty();
    if (start.empty())
        start = "/";
    ChangeDirectory(start.c_str());
}

void CWyFTPFileSystem::CreateDirectory(const char* name)
{
    RequireConnection();
    m_pConnection->CreateDirectory(name);
}

void CWyFTPFileSystem::Disconnect()
{
    m_pConnection.reset();
    m_bConnectStarted = false;
}

std::string CWyFTPFileSystem::GetCurrentDirectory(BOOL asUrl)
{
    RequireConnection();
    return asUrl == 1 ? m_pConnection->GetCurrentDirectoryAsURL() : m_pConnection->GetCurrentDirectory();
}

void CWyFTPFileSystem::GetFileList(const char* directory, CWyFileList* files)
{
    RequireConnection();
    CWyPath pattern(directory);
    pattern.RemoveTrailingSlash();
    CFtpFileFind finder(*m_pConnection);
    if (!finder.FindFile((pattern.Str() + "/*").c_str())) {
        // A listing the server cut off is a failure with its reply, not an
        // empty directory.
        if (finder.WasCutOff())
            RaiseFtpError(finder.Failure());
        throw CWyFTPException(WyFTPErrorNoFiles);
    }
    AppendFoundEntries(finder, files);
}

void CWyFTPFileSystem::RemoveDirectory(const char* directory)
{
    // The server cannot remove the directory it stands in: leave it first.
    const bool leaving = GetCurrentDirectory(FALSE) == Text(directory);
    if (leaving)
        SetCurrentDirectory("/");
    const CWyPath parent = ParentDirectory(CWyPath(directory).ToForwardSlashes());
    try {
        m_pConnection->RemoveDirectory(directory);
    } catch (const CException&) {
        m_bBusy = FALSE;
        throw;
    }
    if (leaving)
        SetCurrentDirectory(parent.c_str());
}

void CWyFTPFileSystem::RemoveFile(const char* name)
{
    RequireConnection();
    m_pConnection->Remove(name);
}

void CWyFTPFileSystem::RenameFile(const char* oldName, const char* newName)
{
    CWyPath directory(GetCurrentDirectory(FALSE));
    CWyPath from(oldName);
    CWyPath to(newName);
    directory.ToForwardSlashes();
    from.ToForwardSlashes();
    to.ToForwardSlashes();
    // Renaming the working directory: step out of it, then into its new name.
    const bool moving = directory == from;
    if (moving)
        SetCurrentDirectory("/");
    try {
        m_pConnection->Rename(from.c_str(), to.c_str());
    } catch (const CException&) {
        m_bBusy = FALSE;
        throw;
    }
    if (moving)
        SetCurrentDirectory(to.c_str());
}

void CWyFTPFileSystem::SetCurrentDirectory(const char* path)
{
    RequireConnection();
    if (Text(path) == m_pCtrl->GetCurrentDirectoryString())
        return;
    ChangeDirectory(path);
}

void CWyFTPFileSystem::AbortTransfer()
{
    m_bAbort = TRUE;
}

std::string CWyFTPFileSystem::GetAddressPrefix()
{
    // The connection's own prefix carries a port other than 21.
    std::string prefix = m_pConnection ? m_pConnection->GetUrlPrefix() : "ftp://" + m_pCtrl->GetServerNameProperty();
    if (ShiftJis::EndsWithChar(prefix, '/'))
        prefix.pop_back();
    return prefix;
}

std::string CWyFTPFileSystem::GetDragOutEntry(const std::string& path)
{
    // The entry carries the account so that another control can fetch the
    // file: whoever receives the drop receives the password.
    return GetAddressPrefix() + path + "?uid=" + m_pCtrl->GetUserNameProperty() + "&pw="
        + m_pCtrl->GetPasswordProperty();
}

bool CWyFTPFileSystem::IsDirectory(const char* path)
{
    return IsRemoteDirectory(path, m_pConnection.get()) == 1;
}

void CWyFTPFileSystem::RequireConnection() const
{
    if (!m_pConnection)
        throw CWyFTPException(WyFTPErrorNotConnected);
}

void CWyFTPFileSystem::ChangeDirectory(const char* path)
{
    m_pConnection->SetCurrentDirectory(Text(path).c_str());
    CWyPath current(path);
    current.Normalize();
    m_pCtrl->SetCurrentDirectoryString(current.Str());
    m_pCtrl->FireChangeCurrentDirectory(current.c_str());
}
