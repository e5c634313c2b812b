// The file store of an FTP server: connection, navigation, directories, deletions, listings.
#include "filesystem/WyFTPFileSystem.h"

#include "filesystem/ConnectionSettings.h"
#include "filesystem/DirectoryListing.h"
#include "filesystem/FileSizeAnswer.h"
#include "filesystem/LastInternetError.h"
#include "filesystem/ParentDirectory.h"
#include "filesystem/RemoteFileSize.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "filesystem/WyUrlConnection.h"
#include "framework/FtpFileFind.h"
#include "framework/InternetException.h"

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
    return FileSizeAnswer(FindRemoteFileSize(m_pConnection.get(), name, 1));
}

void CWyFTPFileSystem::Connect(const char* server, const char* user, const char* password)
{
    if (m_pSession)
        throw CWyFTPException(WyFTPErrorConnectionExists);
    const CWyConnectionSettings settings = ConnectionSettingsOf(*m_pCtrl);
    try {
        m_pSession = std::make_unique<CWyInternetSession>();
    } catch (const CInternetException&) {
        throw CWyFTPException(WyFTPErrorSessionFailed);
    }
    ApplyConnectionSettings(*m_pSession, settings);

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
    // The session stays: a second Connect on this object is refused until
    // Disconnect.
    if (serverName.empty())
        throw CWyFTPException(WyFTPErrorNoServerName);
    if (userName.empty())
        userName = kAnonymousUser;
    if (pass.empty())
        pass = kDefaultPassword;
    if (m_pConnection)
        throw CWyFTPException(WyFTPErrorConnectionExists);

    m_pConnection = m_pSession->GetFtpConnection(serverName.c_str(), userName.c_str(), pass.c_str(), settings.port,
                                                 settings.passive);

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
    if (!m_pConnection->CreateDirectory(name))
        ThrowLastInternetError();
}

void CWyFTPFileSystem::Disconnect()
{
    m_pConnection.reset();
    m_pSession.reset();
}

std::string CWyFTPFileSystem::GetCurrentDirectory(BOOL asUrl)
{
    RequireConnection();
    std::string directory;
    const BOOL ok = asUrl == 1 ? m_pConnection->GetCurrentDirectoryAsURL(directory)
                               : m_pConnection->GetCurrentDirectory(directory);
    if (!ok)
        ThrowLastInternetError();
    return directory;
}

void CWyFTPFileSystem::GetFileList(const char* directory, CWyFileList* files)
{
    RequireConnection();
    CWyPath pattern(directory);
    pattern.RemoveTrailingSlash();
    CFtpFileFind finder(m_pConnection.get(), 1);
    if (!finder.FindFile((pattern.Str() + "/*").c_str(), CFtpFileFind::reload)) {
        // A listing the server cut off is a failure with its reply, not an
        // empty directory.
        if (finder.WasCutOff())
            ThrowLastInternetError();
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
    if (!m_pConnection->RemoveDirectory(directory)) {
        m_bBusy = FALSE;
        ThrowLastInternetError();
    }
    if (leaving)
        SetCurrentDirectory(parent.c_str());
}

void CWyFTPFileSystem::RemoveFile(const char* name)
{
    RequireConnection();
    if (!m_pConnection->Remove(name))
        ThrowLastInternetError();
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
    if (!m_pConnection->Rename(from.c_str(), to.c_str())) {
        m_bBusy = FALSE;
        ThrowLastInternetError();
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

void CWyFTPFileSystem::RequireConnection() const
{
    if (!m_pConnection)
        throw CWyFTPException(WyFTPErrorNotConnected);
}

void CWyFTPFileSystem::ChangeDirectory(const char* path)
{
    if (!m_pConnection->SetCurrentDirectory(Text(path).c_str()))
        ThrowLastInternetError();
    CWyPath current(path);
    current.Normalize();
    m_pCtrl->SetCurrentDirectoryString(current.Str());
    m_pCtrl->FireChangeCurrentDirectory(current.c_str());
}
