// A local file opened with CreateFileA: read, write, length, and the static remove and status queries.
#pragma once
#include <windows.h>

#include <string>

// What GetStatus reports about a file or directory.
struct CFileStatus {
    ULONGLONG m_size = 0;
    DWORD m_attribute = 0;
    FILETIME m_mtime = {};  // last write, UTC
};

// Owns its handle (move-only). Every failure throws CFileException by value
// with the cause, the platform error number and the file name. A remote
// file (CInternetFile) is a CFile too, so a copy loop reads and writes
// either kind through this class.
class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,  // create, truncating an existing file
    };

    CFile() = default;
    // Opens at once; throws CFileException when the file cannot be opened.
    CFile(const char* fileName, UINT openFlags);
    CFile(CFile&& other) noexcept;
    CFile& operator=(CFile&& other) noexcept;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes without reporting errors; call Close to have them reported.
    virtual ~CFile();

    const std::string& GetFilePath() const { return m_strFileName; }
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // Reading shares the file with other readers only, so the same file
    // cannot be created (truncated) for writing while it is being read.
    // Writing opens it exclusively.
    void Open(const char* fileName, UINT openFlags);
    // Returns the number of bytes read; 0 at the end of the file.
    virtual UINT Read(void* buffer, UINT count);
    // Writes all count bytes.
    virtual void Write(const void* buffer, UINT count);
    virtual void Close();
    // Closes, ignoring any error: for clean-up after a failure.
    virtual void Abort();
    // Whether a copy may go on after the last failure of this file (a
    // remote file whose connection broke); a local file's never.
    virtual bool CanResume() const { return false; }
    // Goes on from offset: opens the file again with its flags (never
    // truncating) when it was closed, and moves there; a file written loses
    // what lies beyond. Returns offset.
    virtual ULONGLONG ResumeAt(ULONGLONG offset);
    ULONGLONG GetLength() const;

    static void Remove(const char* fileName);
    // FALSE when the name cannot be found.
    static BOOL GetStatus(const char* fileName, CFileStatus& status);

protected:
    // For derived files that keep a handle of another kind.
    explicit CFile(std::string fileName) : m_strFileName(std::move(fileName)) {}

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    std::string m_strFileName;
    UINT m_nOpenFlags = modeRead;
};
