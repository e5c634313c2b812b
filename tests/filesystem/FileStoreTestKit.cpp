// What the file-store tests share: a stand-in for the control, scratch directories on a drive of their own, file helpers.
#include "tests/filesystem/FileStoreTestKit.h"

#include "framework/ShiftJis.h"

#include <winioctl.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

// Wine's mount manager defines drive letters the way winecfg does: the
// request names the letter and the Unix directory it stands for (none to
// remove the letter).
struct MountManagerUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool DefineUnixDrive(char letter, const std::string& unixPath)
{
    const HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> request(sizeof(MountManagerUnixDrive) + unixPath.size() + 1);
    auto* drive = reinterpret_cast<MountManagerUnixDrive*>(request.data());
    drive->size = static_cast<ULONG>(request.size());
    drive->letter = static_cast<WCHAR>(letter - 'A' + 'a');
    drive->type = unixPath.empty() ? DRIVE_UNKNOWN : DRIVE_FIXED;
    if (!unixPath.empty()) {
        drive->mountPointOffset = sizeof(MountManagerUnixDrive);
        std::memcpy(request.data() + sizeof(MountManagerUnixDrive), unixPath.c_str(), unixPath.size() + 1);
    }
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                    nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return ok != FALSE;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ToBackslashes(std::string path)
{
    ShiftJis::ReplaceAll(path, '/', '\\');
    return path;
}

}  // namespace

CTestOwner::CTestOwner()
{
    // A top-level window away from the screen's corner, so a dialog placed on
    // it is not placed at (0, 0) by chance. Hidden: its rectangle is all the
    // stores read, and under Wine without a window manager hiding a shown
    // window waits two seconds.
    controlWindow = CreateWindowExA(0, "STATIC", "control", WS_POPUP, 173, 129, 320, 240, nullptr, nullptr,
                                    nullptr, nullptr);
}

CTestOwner::~CTestOwner()
{
    if (controlWindow)
        DestroyWindow(controlWindow);
}

void CTestOwner::FireTransferProgress(LONG bytes)
{
    progress.push_back(bytes);
    if (onProgress)
        onProgress(bytes);
}

std::unique_ptr<CWyProgressDisplay> CTestOwner::CreateProgressDisplay(CWyFileSystem& fileSystem)
{
    if (!provideDialog)
        return nullptr;
    ++dialogsMade;
    auto made = std::make_unique<CWyTransferProgressDlg>(&fileSystem);
    dialog = made.get();
    return made;
}

ScratchDrive::ScratchDrive() : m_savedWorkingDirectory(WorkingDirectory())
{
    static int counter = 0;
    const std::string unixPath =
        "/tmp/wyftp-local-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    m_unixView = ToBackslashes("Z:" + unixPath);
    if (!CreateDirectoryA(m_unixView.c_str(), nullptr))
        throw std::runtime_error("cannot create " + m_unixView);
    for (char letter = 'P'; letter <= 'Y' && m_root.empty(); ++letter) {
        const std::string root = std::string(1, letter) + ":";
        if (GetDriveTypeA((root + "\\").c_str()) == DRIVE_NO_ROOT_DIR && DefineUnixDrive(letter, unixPath))
            m_root = root;
    }
    if (m_root.empty())
        throw std::runtime_error("no free drive letter for " + unixPath);
}

ScratchDrive::~ScratchDrive()
{
    SetCurrentDirectoryA(m_savedWorkingDirectory.c_str());
    DefineUnixDrive(m_root[0], "");
    RemoveTree(m_unixView);
}

std::string ScratchDrive::PathOf(const std::string& relative) const
{
    return ToBackslashes(m_root + "\\" + relative);
}

const CWyDirectoryEntry* CListing::Find(const std::string& name) const
{
    for (const CWyDirectoryEntry& entry : entries) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path);
    std::string bytes;
    std::vector<char> buffer(1 << 16);
    DWORD read = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0)
        bytes.append(buffer.data(), read);
    CloseHandle(file);
    return bytes;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeDirectory(const std::string& path)
{
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create directory " + path);
}

std::vector<std::string> NamesIn(const std::string& directory)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0)
            names.emplace_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

std::string PatternBytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned long long state = 0x9E3779B97F4A7C15ull * (seed + 1);
    for (size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        bytes[i] = static_cast<char>(state >> 56);
    }
    return bytes;
}

std::string WorkingDirectory()
{
    char buffer[MAX_PATH * 4] = "";
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return std::string(buffer, length < sizeof buffer ? length : 0);
}

int WyErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const CWyFTPException& error) {
        return error.m_nErrorCode;
    }
    return -1;
}
