// Empties the Internet library's URL cache, which keeps a copy of every FTP download.
#include "bench/UrlCache.h"

#include <shlobj.h>
#include <wininet.h>

#include <string>
#include <vector>

namespace {

INTERNET_CACHE_ENTRY_INFOA* EntryIn(std::vector<char>& buffer)
{
    return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
}

// Runs read(entry, size) once, and once more with a larger buffer when the
// platform asks for one.
template <typename Read>
bool ReadEntry(std::vector<char>& buffer, Read read)
{
    DWORD size = static_cast<DWORD>(buffer.size());
    if (read(EntryIn(buffer), &size))
        return true;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    buffer.resize(size);
    size = static_cast<DWORD>(buffer.size());
    return read(EntryIn(buffer), &size);
}

// The entries the cache's index knows: deleted through the library.
unsigned DeleteIndexedEntries()
{
    // Collect the names first: deleting while enumerating may skip entries.
    std::vector<std::string> urls;
    std::vector<char> buffer(4096);
    HANDLE search = nullptr;
    bool found = ReadEntry(buffer, [&search](INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size) {
        search = FindFirstUrlCacheEntryA(nullptr, entry, size);
        return search != nullptr;
    });
    while (found) {
        urls.emplace_back(EntryIn(buffer)->lpszSourceUrlName);
        found = ReadEntry(buffer, [search](INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size) {
            return FindNextUrlCacheEntryA(search, entry, size) != FALSE;
        });
    }
    if (search)
        FindCloseUrlCache(search);
    unsigned deleted = 0;
    for (const std::string& url : urls)
        deleted += DeleteUrlCacheEntryA(url.c_str()) ? 1 : 0;
    return deleted;
}

// The files (or the folders) in folder that match pattern, as full paths.
std::vector<std::string> Find(const std::string& folder, const char* pattern, bool folders)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::string name = entry.cFileName;
        if (isFolder == folders && name != "." && name != "..")
            names.push_back(folder + "\\" + name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

// The files in the cache's subfolders (Content.IE5\XXXXXXXX\name[0]) that
// no index entry owns any more; the index files themselves stay.
unsigned DeleteLeftFiles()
{
    char root[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_INTERNET_CACHE, nullptr, SHGFP_TYPE_CURRENT, root)))
        return 0;
    unsigned deleted = 0;
    for (const std::string& container : Find(root, "*", true))
        for (const std::string& folder : Find(container, "*", true))
            for (const std::string& file : Find(folder, "*", false))
                deleted += DeleteFileA(file.c_str()) ? 1 : 0;
    return deleted;
}

}  // namespace

unsigned ClearUrlCache()
{
    return DeleteIndexedEntries() + DeleteLeftFiles();
}
