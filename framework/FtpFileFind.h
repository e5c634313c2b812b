// A directory finder on an FTP connection: one listing of the server.
#pragma once
#include "framework/FileFind.h"

#include <vector>

class CFtpConnection;

// Used as CFileFind; the pattern is a server path or a pattern such as
// "/pub/*" ('*' and '?' in its last part only). The whole listing is read at
// FindFile and the data connection closed, so the connection is free for
// the next operation while the entries are walked.
class CFtpFileFind : public CFileFind {
public:
    // The reload flag: always list from the server (there is no cache).
    static constexpr DWORD reload = 0x80000000;

    // The connection is not owned and must outlive the finder.
    explicit CFtpFileFind(CFtpConnection* connection, DWORD_PTR context = 1);
    ~CFtpFileFind() override;

    BOOL FindFile(const char* pattern = nullptr, DWORD flags = reload) override;
    // After a FindFile that failed: the listing failed otherwise than by the
    // server refusing it (it ended the listing with an error reply such as
    // 426, with none, or ran out of time), so the entries received are not
    // the directory. The thread's last error tells why.
    bool WasCutOff() const { return m_bCutOff; }

protected:
    void* OpenSearch(const char* pattern, DWORD flags, WIN32_FIND_DATAA& first) override;
    BOOL SearchNext(void* search, WIN32_FIND_DATAA& next) override;
    void CloseSearch(void* search) override;

private:
    // Reads the listing of argument ("" for the working directory).
    DWORD ReadListing(const std::string& argument, std::string& listing);

    CFtpConnection* m_pConnection;
    DWORD_PTR m_dwContext;
    bool m_bCutOff = false;
    std::vector<WIN32_FIND_DATAA> m_entries;
    size_t m_nNext = 0;
};
