// A directory finder on the local disk (FindFirstFileA); the base of the FTP finder.
#pragma once
#include <windows.h>

#include <string>

// FindFile looks the first entry up; each FindNextFile then makes the next
// entry current and returns whether more follow it:
//     if (finder.FindFile(pattern)) { BOOL more; do { more = finder.FindNextFile(); ... } while (more); }
// The finder owns its search handle and closes it in Close or when it goes.
// A finder is a local of the operation that searches: it is neither copied
// nor moved (a moved FTP finder could be sliced into a local one).
class CFileFind {
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    // Derived finders close their own kind of search in their destructor.
    virtual ~CFileFind();

    // FALSE when nothing matches the pattern (or it cannot be searched).
    virtual BOOL FindFile(const char* pattern = "*.*", DWORD flags = 0);
    // Makes the next entry current; FALSE when it is the last one.
    BOOL FindNextFile();
    void Close();

    // The current entry: its name only, without a directory part.
    std::string GetFileName() const { return m_current.cFileName; }
    ULONGLONG GetLength() const;
    // TRUE when the entry carries any of the attribute bits in mask.
    BOOL MatchesMask(DWORD mask) const { return (m_current.dwFileAttributes & mask) != 0; }
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    // "." or "..".
    BOOL IsDots() const;
    // Last write time, UTC.
    BOOL GetLastWriteTime(FILETIME* time) const;

protected:
    // The search primitives: open a search and fetch its first entry (null
    // when nothing is found), fetch the next entry, close the search.
    virtual void* OpenSearch(const char* pattern, DWORD flags, WIN32_FIND_DATAA& first);
    virtual BOOL SearchNext(void* search, WIN32_FIND_DATAA& next);
    virtual void CloseSearch(void* search);

private:
    void* m_hSearch = nullptr;
    bool m_bHasNext = false;
    bool m_bHasCurrent = false;
    WIN32_FIND_DATAA m_next = {};
    WIN32_FIND_DATAA m_current = {};
};
