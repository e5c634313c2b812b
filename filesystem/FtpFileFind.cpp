// A directory finder on an FTP connection: one listing of the server.
#include "filesystem/FtpFileFind.h"

#include "filesystem/FtpConnection.h"
#include "ftp/ListingParser.h"
#include "ftp/ListingReader.h"

#include <algorithm>
#include <string>

CFtpFileFind::CFtpFileFind(CFtpConnection& connection) : m_connection(connection) {}

CFtpFileFind::~CFtpFileFind()
{
    Close();
}

void* CFtpFileFind::OpenSearch(const char* pattern, DWORD, WIN32_FIND_DATAA& first)
{
    m_bCutOff = false;
    m_failure = {};
    m_entries.clear();
    m_nNext = 0;
    // A pattern in the last part is matched here; servers differ on it.
    std::string path = pattern ? pattern : "";
    std::string match;
    const size_t slash = path.rfind('/');
    const std::string last = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (last.find_first_of("*?") != std::string::npos) {
        match = last;
        path.erase(slash == std::string::npos ? 0 : (slash == 0 ? 1 : slash));
    }
    m_failure = ReadListing(m_connection.Session(), path, m_entries, m_bCutOff);
    if (!match.empty()) {
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [&](const WIN32_FIND_DATAA& entry) {
                                           return !MatchesPattern(match.c_str(), entry.cFileName);
                                       }),
                        m_entries.end());
    }
    if (m_failure || m_entries.empty())
        return nullptr;
    first = m_entries[m_nNext++];
    return this;
}

BOOL CFtpFileFind::SearchNext(void*, WIN32_FIND_DATAA& next)
{
    if (m_nNext >= m_entries.size())
        return FALSE;
    next = m_entries[m_nNext++];
    return TRUE;
}

void CFtpFileFind::CloseSearch(void*)
{
    m_entries.clear();
    m_nNext = 0;
}
