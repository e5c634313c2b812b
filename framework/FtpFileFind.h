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

protected:
    void* OpenSearch(const char* pattern, DWORD flags, WIN32_FIND_DATAA& first) override;
    BOOL SearchNext(void* search, WIN32_FIND_DATAA& next) override;
    void CloseSearch(void* search) override;

private:
    CFtpConnection* m_pConnection;
    DWORD_PTR m_dwContext;
};
