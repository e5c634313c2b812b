// The control's automation methods: connection, navigation, transfers and file operations.
#include "control/WyFTPCtrl.h"

#include "control/FileSystemFactory.h"
#include "control/WyAboutBox.h"
#include "control/WyFTPFiles.h"
#include "control/WyFTPIds.h"
#include "explorer/WyExplorerWnd.h"
#include "filesystem/WyFTPException.h"
#include "framework/Bstr.h"
#include "framework/Module.h"
#include "framework/ShiftJis.h"

namespace {

// True when an optional argument was given and is not null. An Empty
// value was given: it reads as the empty string.
bool IsPresent(const VARIANT& argument)
{
    return !(argument.vt == VT_ERROR && argument.scode == DISP_E_PARAMNOTFOUND) && argument.vt != VT_NULL;
}

std::string AsText(const VARIANT& argument)
{
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&argument), 0, VT_BSTR)))
        return {};
    std::string result = ShiftJisFromBstr(text.bstrVal);
    VariantClear(&text);
    return result;
}

}  // namespace

// Marks a transfer as running for as long as it lives, whatever way it ends.
class TransferScope {
public:
    explicit TransferScope(CWyFTPCtrl& control) : m_control(control) { m_control.SetTransferring(true); }
    ~TransferScope() { m_control.SetTransferring(false); }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    CWyFTPCtrl& m_control;
};

// The common frame of every method: false while a transfer runs (the method
// then returns its busy result at once, reporting nothing); raises 20104
// when there is no file store.
bool CWyFTPCtrl::EnterMethod()
{
    if (IsTransferring())
        return false;
    if (!m_pFileSystem)
        RequireFileSystem();
    return true;
}

void CWyFTPCtrl::RequireName(const std::string& name)
{
    if (name.empty())
        RaiseNoFileName();
}

// Connection and navigation

void CWyFTPCtrl::Connect(const VARIANT& targetName, const VARIANT& userName, const VARIANT& password)
{
    if (IsTransferring())
        return;
    if (m_pFileSystem)
        RaiseOwnError(WyFTPErrorConnectionExists);
    m_pFileSystem = CreateFileSystem(GetConnectTargetValue(), *this);
    if (!m_pFileSystem)
        RaiseOwnError(WyFTPErrorCreateObject);
    const unsigned connection = ++m_nConnections;

    // The three arguments count only together; otherwise the store falls
    // back on the ServerName, UserName and Password properties.
    const bool given = IsPresent(targetName) && IsPresent(userName) && IsPresent(password);
    const std::string server = given ? AsText(targetName) : std::string();
    const std::string user = given ? AsText(userName) : std::string();
    const std::string secret = given ? AsText(password) : std::string();
    RunGuarded([&] {
        m_pFileSystem->Connect(given ? server.c_str() : nullptr, given ? user.c_str() : nullptr,
                               given ? secret.c_str() : nullptr);
    });
    // A handler of the first ChangeCurrentDirectory may have disconnected
    // (and a DisConnected handler connected again, announcing that itself).
    if (m_pFileSystem && connection == m_nConnections) {
        FireConnected();
        // A Connected handler may have disconnected or connected anew.
        if (connection == m_nConnections) {
            ShowStartDirectory();
            StartKeepAlive();
        }
    }
}

void CWyFTPCtrl::DisConnect()
{
    if (!EnterMethod())
        return;
    // Called from an event the store fires: the store is still running
    // one of its operations and must not be deleted under it.
    if (m_nFileSystemUsers > 0) {
        m_bDisconnectAsked = true;
        return;
    }
    CloseFileSystem();
}

void CWyFTPCtrl::UseFileSystem(const std::function<void(CWyFileSystem&)>& work)
{
    if (!m_pFileSystem)
        return;
    WithFileSystemInUse([&] { work(*m_pFileSystem); });
}

bool CWyFTPCtrl::IsKnownConnectTarget() const
{
    const long target = GetConnectTargetValue();
    return target == WyFTPConnectTargetLocal || target == WyFTPConnectTargetFTP || target == WyFTPConnectTargetSFTP;
}

void CWyFTPCtrl::RefreshViews()
{
    CWyExplorerWnd* explorer = Explorer();
    if (!explorer || !m_pFileSystem)
        return;
    if (GetVisibleTree())
        explorer->RefreshTree(m_strCurrentDirectory);
    explorer->RefreshList(m_strCurrentDirectory);
}

void CWyFTPCtrl::ShowStartDirectory()
{
    CWyExplorerWnd* explorer = Explorer();
    if (!explorer || !m_pFileSystem)
        return;
    // The local disk's drive in front; FTP has none.
    const std::string path = m_pFileSystem->GetRoot() + GetStartDirectory();
    if (GetVisibleTree())
        explorer->InitTreeForPath(path);
    explorer->RefreshList(path);
}

void CWyFTPCtrl::EndCall()
{
    if (--m_nCallDepth == 0 && ++m_nCallGeneration == 0)
        m_nCallGeneration = 1;
}

void CWyFTPCtrl::WithFileSystemInUse(const std::function<void()>& work)
{
    ++m_nFileSystemUsers;
    try {
        work();
    } catch (...) {
        --m_nFileSystemUsers;
        DisconnectIfAsked();
        throw;
    }
    --m_nFileSystemUsers;
    DisconnectIfAsked();
}

void CWyFTPCtrl::DisconnectIfAsked()
{
    if (m_nFileSystemUsers > 0 || !m_bDisconnectAsked)
        return;
    m_bDisconnectAsked = false;
    if (m_pFileSystem)
        CloseFileSystem();
}

void CWyFTPCtrl::CloseFileSystem()
{
    m_pFileSystem->Disconnect();
    m_pFileSystem.reset();
    if (CWyExplorerWnd* explorer = ExistingExplorer())
        explorer->ClearViews();
    FireDisConnected();
}

void CWyFTPCtrl::SetCurrentDirectory(const std::string& directory)
{
    if (!EnterMethod())
        return;
    RequireName(directory);
    RunGuarded([&] { m_pFileSystem->SetCurrentDirectory(directory.c_str()); });
    CWyExplorerWnd* explorer = Explorer();
    if (!explorer || !m_pFileSystem)
        return;
    if (GetVisibleTree())
        explorer->InitTreeForPath(directory);
    explorer->RefreshList(directory);
}

std::string CWyFTPCtrl::GetCurrentDirectory(long fullPath)
{
    if (!EnterMethod())
        return {};
    std::string directory;
    RunGuarded([&] { directory = m_pFileSystem->GetCurrentDirectory(fullPath); });
    ShiftJis::ReplaceAll(directory, '\\', '/');
    // The local disk answers with its drive ("C:/data"); cut it off unless
    // the full path is asked for.
    if (m_pFileSystem && !m_pFileSystem->GetRoot().empty() && fullPath != 1) {
        const size_t slash = ShiftJis::FindFirst(directory, '/');
        directory = slash == std::string::npos ? std::string() : directory.substr(slash);
    }
    return directory;
}

void CWyFTPCtrl::DirUp()
{
    if (!EnterMethod())
        return;
    RunGuarded([&] { m_pFileSystem->DirUp(); });
    CWyExplorerWnd* explorer = Explorer();
    if (!explorer || !m_pFileSystem)
        return;
    const std::string path = m_pFileSystem->GetRoot() + m_strCurrentDirectory;
    if (GetVisibleTree())
        explorer->SelectTreeParent();
    explorer->RefreshList(path);
}

void CWyFTPCtrl::Refresh()
{
    if (!EnterMethod())
        return;
    RefreshViews();
}

void CWyFTPCtrl::SelectFile(const std::string& name)
{
    if (!EnterMethod())
        return;
    RequireName(name);
    if (CWyExplorerWnd* explorer = Explorer())
        explorer->SelectListItem(name);
}

std::string CWyFTPCtrl::GetCurrentFile(long fullPath)
{
    if (!EnterMethod())
        return {};
    CWyExplorerWnd* explorer = Explorer();
    const std::string name = explorer ? explorer->GetCurrentFileName() : std::string();
    if (name.empty() || fullPath == 0)
        return name;
    std::string directory;
    RunGuarded([&] { directory = m_pFileSystem->GetCurrentDirectory(fullPath); });
    ShiftJis::ReplaceAll(directory, '\\', '/');
    if (!ShiftJis::EndsWithChar(directory, '/'))
        directory += '/';
    return directory + name;
}

void CWyFTPCtrl::ClearSelectedFile(const std::string& name)
{
    if (!EnterMethod())
        return;
    if (CWyExplorerWnd* explorer = Explorer())
        explorer->ClearSelection(name);
}

void CWyFTPCtrl::SortListItem(long column, long order)
{
    if (!EnterMethod())
        return;
    if (CWyExplorerWnd* explorer = Explorer())
        explorer->SortList(static_cast<int>(column), static_cast<int>(order));
}

IDispatch* CWyFTPCtrl::GetFileList(const std::string& directory)
{
    if (!EnterMethod())
        return nullptr;
    RequireName(directory);
    ComPtr<CWyFTPFiles> files = ComPtr<CWyFTPFiles>::Attach(new CWyFTPFiles);
    RunGuarded([&] { m_pFileSystem->GetFileList(directory.c_str(), files.Get()); });
    return files.Detach()->GetIDispatch();
}

// Transfers and file operations

void CWyFTPCtrl::GetFile(const VARIANT& localDirectory)
{
    if (!EnterMethod())
        return;
    const DWORD chunkSize = GetTransferChunkSize();
    std::string destination = IsPresent(localDirectory) ? AsText(localDirectory) : std::string();
    if (destination.empty())
        destination = Text(L"DownloadDirectory");
    RequireName(destination);
    std::vector<std::string> names;
    if (CWyExplorerWnd* explorer = Explorer())
        explorer->GetSelectedNames(names);
    if (names.empty())
        RaiseNoFileName();
    std::string prefix = GetServerNameProperty() + m_strCurrentDirectory;
    if (m_strCurrentDirectory != "/" && !ShiftJis::EndsWithChar(prefix, '/'))
        prefix += '/';
    if (!IsKnownConnectTarget())
        return;
    RunGuarded([&] {
        for (const std::string& name : names) {
            const std::string source = prefix + name;
            FireTransferStart(source);
            {
                TransferScope transfer(*this);
                m_pFileSystem->GetFile(source.c_str(), destination.c_str(), chunkSize);
            }
            FireTransferEnd();
            // A TransferEnd handler may have disconnected.
            if (!m_pFileSystem)
                return;
        }
    });
    RefreshViews();
}

void CWyFTPCtrl::PutFile(const std::string& localFile)
{
    if (!EnterMethod())
        return;
    RequireName(localFile);
    const std::string destination = GetServerNameProperty() + m_strCurrentDirectory;
    const DWORD chunkSize = GetTransferChunkSize();
    if (!IsKnownConnectTarget())
        return;
    RunGuarded([&] {
        FireTransferStart(localFile);
        {
            TransferScope transfer(*this);
            m_pFileSystem->PutFile(localFile.c_str(), destination.c_str(), chunkSize);
        }
        FireTransferEnd();
    });
    RefreshViews();
}

void CWyFTPCtrl::AbortTransfer()
{
    // No busy check: this is the one call meant to arrive during a transfer.
    if (!m_pFileSystem)
        RequireFileSystem();
    m_pFileSystem->AbortTransfer();
}

long CWyFTPCtrl::GetFileSize(const std::string& name)
{
    if (!EnterMethod())
        return -1;
    RequireName(name);
    DWORD size = 0xFFFFFFFF;
    RunGuarded([&] { size = m_pFileSystem->GetFileSize(name.c_str()); });
    return static_cast<long>(size);
}

void CWyFTPCtrl::CreateDirectory(const std::string& name)
{
    if (!EnterMethod())
        return;
    RequireName(name);
    RunGuarded([&] { m_pFileSystem->CreateDirectory(name.c_str()); });
    RefreshViews();
}

void CWyFTPCtrl::RemoveDirectory(const std::string& name)
{
    if (!EnterMethod())
        return;
    RequireName(name);
    RunGuarded([&] { m_pFileSystem->RemoveDirectory(name.c_str()); });
    RefreshViews();
}

void CWyFTPCtrl::RemoveFile(const std::string& name)
{
    if (!EnterMethod())
        return;
    RequireName(name);
    RunGuarded([&] { m_pFileSystem->RemoveFile(name.c_str()); });
    RefreshViews();
}

void CWyFTPCtrl::RenameFile(const std::string& oldName, const std::string& newName)
{
    if (!EnterMethod())
        return;
    if (oldName.empty() || newName.empty())
        RaiseNoFileName();
    RunGuarded([&] { m_pFileSystem->RenameFile(oldName.c_str(), newName.c_str()); });
    RefreshViews();
}

void CWyFTPCtrl::AboutBox()
{
    CWyAboutBox box;
    box.DoModal(GetHwnd());
}
