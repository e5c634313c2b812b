// A directory finder on an FTP connection: one listing of the server.
#pragma once
#include "framework/FileFind.h"
#include "ftp/FtpError.h"

#include <vector>

class CFtpConnection;

// Used as CFileFind, so listings of both stores become entries through the
// same code. The pattern is a server path or a pattern such as "/pub/*"
// ('*' and '?' in its last part only). The whole listing is read at
// FindFile and the data connection closed, so the connection is free for
// the next operation while the entries are walked.
class CFtpFileFind : public CFileFind {
public:
    // The connection is not owned and must outlive the finder.
    explicit CFtpFileFind(CFtpConnection& connection);
    ~CFtpFileFind() override;

    // After a FindFile that failed: the listing failed otherwise than by the
    // server refusing it (it ended the listing with an error reply such as
    // 426, with none, or ran out of time), so the entries received are not
    // the directory. Failure() tells why.
    bool WasCutOff() const { return m_bCutOff; }
    const FtpError& Failure() const { return m_failure; }

protected:
    void* OpenSearch(const char* pattern, DWORD flags, WIN32_FIND_DATAA& first) override;
    BOOL SearchNext(void* search, WIN32_FIND_DATAA& next) override;
    void CloseSearch(void* search) override;

private:
    CFtpConnection& m_connection;
    bool m_bCutOff = false;
    FtpError m_failure;
    std::vector<WIN32_FIND_DATAA> m_entries;
    size_t m_nNext = 0;
};
