// The file store of the local disk: navigation, directories, deletions, listings.
#include "filesystem/WyLocalFileSystem.h"

#include "filesystem/DirectoryListing.h"
#include "filesystem/DirectoryProbes.h"
#include "filesystem/FileSizeAnswer.h"
#include "filesystem/OutsideWorkingDirectory.h"
#include "filesystem/ParentDirectory.h"
#include "filesystem/SubdirectoryProbe.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "framework/File.h"
#include "framework/FileException.h"
#include "framework/FileFind.h"
#include "framework/ShiftJis.h"

#include <direct.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr const char* kDefaultRoot = "C:";

// Clears the runtime's error state before a call, so the error raised after
// it is that call's own and not one left over from earlier.
void ClearRuntimeError()
{
    errno = 0;
    _doserrno = 0;
}

void ThrowIfFailed(int result)
{
    if (result != 0)
        CFileException::ThrowErrno(errno);
}

// Local paths name the same directory whatever the case of their letters.
bool SameLocalPath(const std::string& a, const std::string& b)
{
    return ShiftJis::ToUpper(a) == ShiftJis::ToUpper(b);
}

}  // namespace

CWyLocalFileSystem::CWyLocalFileSystem(CWyFileSystemOwner* owner) : m_owner(owner) {}

CWyLocalFileSystem::~CWyLocalFileSystem() = default;

void CWyLocalFileSystem::DirUp()
{
    const std::string current = m_owner->GetCurrentDirectoryString();
    if (current == "/")
        throw CWyFTPException(WyFTPErrorTopDirectory);
    // A start directory given with its drive ("D:/data") is current as it
    // was given; its parent is found on the store path without the drive.
    CWyPath path(current);
    path.Normalize();
    SetCurrentDirectory(ParentDirectory(path).c_str());
}

std::string CWyLocalFileSystem::GetRoot()
{
    return m_root;
}

DWORD CWyLocalFileSystem::GetFileSize(const char* name)
{
    CFileStatus status;
    if (!CFile::GetStatus(Rooted(name).c_str(), status))
        return kFileNotFoundSize;
    return FileSizeAnswer(static_cast<LONGLONG>(status.m_size));
}

void CWyLocalFileSystem::Connect(const char* server, const char*, const char*)
{
    if (server && *server) {
        m_root = server;
        m_owner->SetServerNameProperty(server);
    } else {
        m_root = m_owner->GetServerNameProperty();
        if (m_root.empty())
            m_root = kDefaultRoot;
    }
    const std::string start = m_owner->GetStartDirectory();
    // Always change the directory: the control may still hold the same path
    // from an earlier connection, on another drive.
    ChangeDirectory(start.c_str());
    m_owner->SetCurrentDirectoryString(start);
}

void CWyLocalFileSystem::CreateDirectory(const char* name)
{
    const CWyPath directory = Rooted(name);
    ClearRuntimeError();
    ThrowIfFailed(_mkdir(directory.c_str()));
}

void CWyLocalFileSystem::Disconnect() {}

std::string CWyLocalFileSystem::GetCurrentDirectory(BOOL)
{
    ClearRuntimeError();
    // Allocated by the runtime at the length it needs: never cut.
    std::unique_ptr<char, decltype(&std::free)> working(_getcwd(nullptr, 0), &std::free);
    if (!working)
        CFileException::ThrowErrno(errno);
    return working.get();
}

void CWyLocalFileSystem::GetFileList(const char* directory, CWyFileList* files)
{
    CWyPath pattern = Rooted(directory);
    pattern.RemoveTrailingSlash();
    CFileFind finder;
    if (!finder.FindFile((pattern.Str() + "/*").c_str()))
        throw CWyFTPException(WyFTPErrorNoFiles);
    AppendFoundEntries(finder, files);
}

void CWyLocalFileSystem::RemoveDirectory(const char* directory)
{
    const CWyPath target = Rooted(directory);
    const CWyPath parent = ParentDirectory(CWyPath(directory).ToForwardSlashes());
    RunOutsideWorkingDirectory(*this, SameLocalPath(WorkingDirectoryForComparison(), target.Str()), TextOf(directory),
                               parent.Str(), [&] {
                                   ClearRuntimeError();
                                   ThrowIfFailed(_rmdir(target.c_str()));
                               });
}

void CWyLocalFileSystem::RemoveFile(const char* name)
{
    CFile::Remove(Rooted(name).c_str());
}

void CWyLocalFileSystem::RenameFile(const char* oldName, const char* newName)
{
    const CWyPath from = Rooted(oldName);
    const CWyPath to = Rooted(newName);
    RunOutsideWorkingDirectory(*this, SameLocalPath(WorkingDirectoryForComparison(), from.Str()), TextOf(oldName),
                               TextOf(newName), [&] {
                                   ClearRuntimeError();
                                   ThrowIfFailed(std::rename(from.c_str(), to.c_str()));
                               });
}

void CWyLocalFileSystem::SetCurrentDirectory(const char* path)
{
    if (std::string(path ? path : "") == m_owner->GetCurrentDirectoryString())
        return;
    ChangeDirectory(path);
}

void CWyLocalFileSystem::AbortTransfer()
{
    m_abort = TRUE;
}

std::string CWyLocalFileSystem::GetAddressPrefix()
{
    std::string prefix = m_root;
    if (ShiftJis::EndsWithChar(prefix, '/'))
        prefix.pop_back();
    return prefix;
}

std::string CWyLocalFileSystem::GetDragOutEntry(const std::string& path)
{
    return GetAddressPrefix() + path;
}

bool CWyLocalFileSystem::IsDirectory(const char* path)
{
    return IsLocalDirectory(Rooted(path).c_str()) == 1;
}

std::unique_ptr<CWySubdirectoryProbe> CWyLocalFileSystem::MakeSubdirectoryProbe()
{
    return m_root.empty() ? nullptr : MakeLocalSubdirectoryProbe(m_root);
}

void CWyLocalFileSystem::ChangeDirectory(const char* path)
{
    CWyPath directory = Rooted(path);
    ClearRuntimeError();
    ThrowIfFailed(_chdir(directory.c_str()));
    directory.Normalize();
    m_owner->SetCurrentDirectoryString(directory.Str());
    m_owner->FireChangeCurrentDirectory(directory.c_str());
}

CWyPath CWyLocalFileSystem::Rooted(const char* name) const
{
    CWyPath path(name);
    path.ToForwardSlashes();
    path.PrependRoot(m_root);
    return path;
}

std::string CWyLocalFileSystem::WorkingDirectoryForComparison()
{
    CWyPath working(GetCurrentDirectory(FALSE));
    working.ToForwardSlashes();
    return working.Str();
}
