// A directory finder on an FTP connection (FtpFindFirstFileA): one listing of the server.
#pragma once
#include "framework/FileFind.h"

class CFtpConnection;

// Used as CFileFind; the pattern is a server path or a pattern such as
// "/pub/*". Only one listing or remote file may be open on a connection at a
// time, so close the finder before the next operation on the connection.
class CFtpFileFind : public CFileFind {
public:
    // The reload flag: always list from the server, never from a cache.
    static constexpr DWORD reload = 0x80000000;

    // The connection is not owned and must outlive the finder.
    explicit CFtpFileFind(CFtpConnection* connection, DWORD_PTR context = 1);
    ~CFtpFileFind() override;

    BOOL FindFile(const char* pattern = nullptr, DWORD flags = reload) override;
    // After a FindFile that failed: the server did list but ended the
    // listing with an error reply (426, a connection cut), or with none, so
    // the entries received are not the directory. The thread's last error
    // is then ERROR_INTERNET_EXTENDED_ERROR with the server's reply.
    bool WasCutOff() const { return m_bCutOff; }

protected:
    void* OpenSearch(const char* pattern, DWORD flags, WIN32_FIND_DATAA& first) override;
    BOOL SearchNext(void* search, WIN32_FIND_DATAA& next) override;
    void CloseSearch(void* search) override;

private:
    CFtpConnection* m_pConnection;
    DWORD_PTR m_dwContext;
    bool m_bCutOff = false;
};
