// A directory finder on an FTP connection: one listing of the server.
#include "framework/FtpFileFind.h"

#include "framework/FtpConnection.h"
#include "framework/FtpListing.h"
#include "framework/InternetException.h"

#include <wininet.h>

#include <string>

static_assert(CFtpFileFind::reload == INTERNET_FLAG_RELOAD);

namespace {

// A listing larger than this is refused rather than held: no directory a
// person browses comes near it.
constexpr size_t kMaxListing = 256u * 1024 * 1024;

}  // namespace

CFtpFileFind::CFtpFileFind(CFtpConnection* connection, DWORD_PTR context)
    : m_pConnection(connection), m_dwContext(context)
{
}

CFtpFileFind::~CFtpFileFind()
{
    Close();
}

BOOL CFtpFileFind::FindFile(const char* pattern, DWORD flags)
{
    return CFileFind::FindFile(pattern ? pattern : "*", flags);
}

DWORD CFtpFileFind::ReadListing(const std::string& argument, std::string& listing)
{
    CFtpControlChannel* channel = m_pConnection->GetChannel();
    std::string wire;
    if (const DWORD error = channel->ToWire(argument, wire))
        return error;
    CSocket data;
    if (const DWORD error = channel->OpenData(wire.empty() ? "LIST" : "LIST " + wire, 'A', data)) {
        m_bCutOff = error != ERROR_INTERNET_EXTENDED_ERROR;
        return error;
    }
    // Read as a remote file is: the same deadlines and pace, and the
    // listing counts only when the server's final reply confirms it (a
    // listing ended by 426 or by a dropped connection is not the directory).
    CInternetFile file(channel, std::move(data), false, argument, m_dwContext);
    try {
        char buffer[16 * 1024];
        while (const UINT read = file.Read(buffer, sizeof buffer)) {
            if (listing.size() + read > kMaxListing) {
                file.Abort();
                m_bCutOff = true;
                return ERROR_NOT_ENOUGH_MEMORY;
            }
            listing.append(buffer, read);
        }
        file.Close();
    } catch (const CInternetException& error) {
        m_bCutOff = true;
        return error.m_dwError;
    }
    return 0;
}

void* CFtpFileFind::OpenSearch(const char* pattern, DWORD, WIN32_FIND_DATAA& first)
{
    m_bCutOff = false;
    m_entries.clear();
    m_nNext = 0;
    if (!m_pConnection || !m_pConnection->GetChannel()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A pattern in the last part is matched here; servers differ on it.
    std::string path = pattern;
    std::string match;
    const size_t slash = path.rfind('/');
    const std::string last = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (last.find_first_of("*?") != std::string::npos) {
        match = last;
        path.erase(slash == std::string::npos ? 0 : (slash == 0 ? 1 : slash));
    }
    std::string listing;
    if (const DWORD error = ReadListing(path, listing)) {
        SetLastError(error);
        return nullptr;
    }
    CFtpControlChannel* channel = m_pConnection->GetChannel();
    SYSTEMTIME now;
    GetSystemTime(&now);
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        std::string line = listing.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        WIN32_FIND_DATAA entry;
        if (!ParseListingLine(line, now, entry))
            continue;
        const std::string name = channel->FromWire(entry.cFileName);
        if (name.size() >= sizeof entry.cFileName || (!match.empty() && !MatchesPattern(match.c_str(), name.c_str())))
            continue;
        lstrcpynA(entry.cFileName, name.c_str(), sizeof entry.cFileName);
        m_entries.push_back(entry);
    }
    if (m_entries.empty()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return nullptr;
    }
    first = m_entries[m_nNext++];
    return this;
}

BOOL CFtpFileFind::SearchNext(void*, WIN32_FIND_DATAA& next)
{
    if (m_nNext >= m_entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    next = m_entries[m_nNext++];
    return TRUE;
}

void CFtpFileFind::CloseSearch(void*)
{
    m_entries.clear();
    m_nNext = 0;
}
