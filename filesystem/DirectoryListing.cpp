// Turns the entries of a directory finder into listing entries.
#include "filesystem/DirectoryListing.h"

#include "framework/FileFind.h"
#include "framework/OleDateTime.h"

void AppendFoundEntries(CFileFind& finder, CWyFileList* files)
{
    BOOL more;
    do {
        more = finder.FindNextFile();
        CWyDirectoryEntry entry;
        entry.name = finder.GetFileName();
        entry.type = finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) ? CWyDirectoryEntry::kDirectory : CWyDirectoryEntry::kFile;
        entry.length = finder.GetLength();
        entry.size = static_cast<DWORD>(entry.length);
        FILETIME written = {};
        finder.GetLastWriteTime(&written);
        entry.lastWriteTime = COleDateTime(written).m_dt;
        if (files)
            files->AddEntry(entry);
    } while (more);
}
