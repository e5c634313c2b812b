// A remote file opened on an FTP connection (FtpOpenFileA), read or written in chunks.
#pragma once
#include "framework/File.h"
#include "framework/InternetHandle.h"

#include <string>

// Owns the file handle (move-only); made by CFtpConnection::OpenFile. Every
// failure throws CInternetException by value. A CFile, so a copy loop moves
// data between local and remote files alike.
class CInternetFile : public CFile {
public:
    CInternetFile(HINTERNET file, std::string fileName, DWORD_PTR context);
    CInternetFile(CInternetFile&& other) noexcept;
    CInternetFile& operator=(CInternetFile&& other) noexcept;
    ~CInternetFile() override;

    HINTERNET GetHandle() const { return m_hFile; }
    // The length the server listed for a file being read, so that Close can
    // tell a download that was cut off from a complete one.
    void SetExpectedLength(LONGLONG length) { m_llExpected = length; }

    // Returns the number of bytes read; 0 when the server has sent all (or
    // has closed the data connection early: see Close).
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    // Closing ends the transfer and brings the server's final reply. Every
    // read and write may have succeeded and the transfer still have failed:
    // - an error reply (4xx or 5xx, such as "426 transfer aborted") throws
    //   CInternetException 12003, the reply being the last response;
    // - no completion reply at all, and fewer bytes read than the expected
    //   length, throws CInternetException 12030 (connection aborted).
    // A completion reply (2xx) is trusted even for fewer bytes: a listed
    // length can be that of a link rather than of the file.
    void Close() override;
    // Ends the transfer early, ignoring any error: for clean-up.
    void Abort() override;

private:
    HINTERNET m_hFile = nullptr;
    DWORD_PTR m_dwContext = 0;
    ULONGLONG m_ullRead = 0;
    LONGLONG m_llExpected = -1;
};
