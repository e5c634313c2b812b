// A directory finder on the local disk (FindFirstFileA); the base of the FTP finder.
#include "framework/FileFind.h"

#include <cstring>
#include <utility>

CFileFind::~CFileFind()
{
    Close();
}

BOOL CFileFind::FindFile(const char* pattern, DWORD flags)
{
    Close();
    std::memset(&m_next, 0, sizeof m_next);
    m_hSearch = OpenSearch(pattern ? pattern : "*.*", flags, m_next);
    m_bHasNext = m_hSearch != nullptr;
    return m_bHasNext;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHasNext)
        return FALSE;
    m_current = m_next;
    m_bHasCurrent = true;
    m_bHasNext = SearchNext(m_hSearch, m_next) != FALSE;
    return m_bHasNext;
}

void CFileFind::Close()
{
    if (m_hSearch)
        CloseSearch(std::exchange(m_hSearch, nullptr));
    m_bHasNext = false;
    m_bHasCurrent = false;
}

ULONGLONG CFileFind::GetLength() const
{
    return (static_cast<ULONGLONG>(m_current.nFileSizeHigh) << 32) | m_current.nFileSizeLow;
}

BOOL CFileFind::IsDots() const
{
    return std::strcmp(m_current.cFileName, ".") == 0 || std::strcmp(m_current.cFileName, "..") == 0;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* time) const
{
    if (!time || !m_bHasCurrent)
        return FALSE;
    *time = m_current.ftLastWriteTime;
    return TRUE;
}

void* CFileFind::OpenSearch(const char* pattern, DWORD, WIN32_FIND_DATAA& first)
{
    const HANDLE search = FindFirstFileA(pattern, &first);
    return search == INVALID_HANDLE_VALUE ? nullptr : search;
}

BOOL CFileFind::SearchNext(void* search, WIN32_FIND_DATAA& next)
{
    return ::FindNextFileA(search, &next);
}

void CFileFind::CloseSearch(void* search)
{
    FindClose(search);
}
