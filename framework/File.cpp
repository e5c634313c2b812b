// A local file opened with CreateFileA: read, write, length, and the static remove and status queries.
#include "framework/File.h"

#include "framework/FileException.h"

#include <utility>

CFile::CFile(const char* fileName, UINT openFlags)
{
    Open(fileName, openFlags);
}

CFile::CFile(CFile&& other) noexcept
    : m_hFile(std::exchange(other.m_hFile, INVALID_HANDLE_VALUE)),
      m_strFileName(std::move(other.m_strFileName)),
      m_nOpenFlags(other.m_nOpenFlags)
{
}

CFile& CFile::operator=(CFile&& other) noexcept
{
    if (this != &other) {
        Abort();
        m_hFile = std::exchange(other.m_hFile, INVALID_HANDLE_VALUE);
        m_strFileName = std::move(other.m_strFileName);
        m_nOpenFlags = other.m_nOpenFlags;
    }
    return *this;
}

CFile::~CFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
}

void CFile::Open(const char* fileName, UINT openFlags)
{
    Abort();
    m_strFileName = fileName ? fileName : "";
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ;
    if (openFlags & modeWrite) {
        access = GENERIC_WRITE;
        share = 0;
    } else if (openFlags & modeReadWrite) {
        access = GENERIC_READ | GENERIC_WRITE;
        share = 0;
    }
    const DWORD disposition = (openFlags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    const HANDLE file = CreateFileA(m_strFileName.c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName.c_str());
    m_hFile = file;
    m_nOpenFlags = openFlags;
}

UINT CFile::Read(void* buffer, UINT count)
{
    DWORD read = 0;
    if (count > 0 && !ReadFile(m_hFile, buffer, count, &read, nullptr))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName.c_str());
    return read;
}

void CFile::Write(const void* buffer, UINT count)
{
    DWORD written = 0;
    if (count == 0)
        return;
    if (!WriteFile(m_hFile, buffer, count, &written, nullptr))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName.c_str());
    // A short write without an error means the volume is full.
    if (written != count)
        CFileException::ThrowOsError(ERROR_DISK_FULL, m_strFileName.c_str());
}

void CFile::Close()
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    const HANDLE file = std::exchange(m_hFile, INVALID_HANDLE_VALUE);
    if (!CloseHandle(file))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName.c_str());
}

void CFile::Abort()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(std::exchange(m_hFile, INVALID_HANDLE_VALUE));
}

ULONGLONG CFile::ResumeAt(ULONGLONG offset)
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        Open(std::string(m_strFileName).c_str(), m_nOpenFlags & ~modeCreate);
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    const bool written = (m_nOpenFlags & (modeWrite | modeReadWrite)) != 0;
    if (!SetFilePointerEx(m_hFile, position, nullptr, FILE_BEGIN) || (written && !SetEndOfFile(m_hFile)))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName.c_str());
    return offset;
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName.c_str());
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::Remove(const char* fileName)
{
    if (!DeleteFileA(fileName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), fileName);
}

BOOL CFile::GetStatus(const char* fileName, CFileStatus& status)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!fileName || !GetFileAttributesExA(fileName, GetFileExInfoStandard, &data))
        return FALSE;
    status.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.m_attribute = data.dwFileAttributes;
    status.m_mtime = data.ftLastWriteTime;
    return TRUE;
}
