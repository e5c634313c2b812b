// The shell's file drop format (CF_HDROP): read from a dropped data object, and made for a drag out.
#include "explorer/DropFiles.h"

#include "framework/CodePage932.h"

#include <shlobj.h>

#include <cstring>

namespace {

// Releases the medium GetData filled, whatever way the reading ends.
class StorageMedium {
public:
    StorageMedium() = default;
    ~StorageMedium() { ReleaseStgMedium(&medium); }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;

    STGMEDIUM medium = {};
};

}  // namespace

bool ReadDroppedFiles(IDataObject* data, std::vector<std::string>& names)
{
    if (!data)
        return false;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    StorageMedium storage;
    if (FAILED(data->GetData(&format, &storage.medium)) || storage.medium.tymed != TYMED_HGLOBAL)
        return false;
    const auto drop = static_cast<HDROP>(storage.medium.hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        wchar_t name[kMaxDroppedNameLength + 1] = {};
        if (DragQueryFileW(drop, index, name, kMaxDroppedNameLength + 1) > 0)
            names.push_back(ToShiftJis(name));
    }
    return true;
}

HGLOBAL MakeDropFilesBlock(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return nullptr;
    std::string list;
    for (const std::string& path : paths) {
        list += path;
        list += '\0';
    }
    list += '\0';
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    if (!block)
        return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    if (!header) {
        GlobalFree(block);
        return nullptr;
    }
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(block);
    return block;
}
