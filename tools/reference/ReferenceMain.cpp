// Writes docs/reference.md from a built WyFTP.ocx: its embedded type library and its string resources.
// Usage: wyftp_reference <WyFTP.ocx> <output.md>
#include "framework/ComPtr.h"
#include "tools/reference/ModuleStrings.h"
#include "tools/reference/ReferenceDocument.h"
#include "tools/reference/TypeLibraryReader.h"
#include "tools/reference/Utf8Text.h"

#include <cstdio>
#include <stdexcept>

namespace {

void WriteFile(const std::wstring& path, const std::string& bytes)
{
    // Binary: the file gets "\n" line ends on every system.
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        throw std::runtime_error("cannot create " + Utf8FromWide(path));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written)
        throw std::runtime_error("cannot write " + Utf8FromWide(path));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: wyftp_reference <WyFTP.ocx> <output.md>\n");
        return 2;
    }
    try {
        const std::wstring module = argv[1];
        ComPtr<ITypeLib> library;
        // The library embedded as resource TYPELIB 1, not a registered one.
        const HRESULT loaded = LoadTypeLibEx(module.c_str(), REGKIND_NONE, library.Put());
        if (FAILED(loaded))
            throw std::runtime_error("LoadTypeLibEx cannot read the type library of " + Utf8FromWide(module));
        const ModuleStrings strings(module);
        WriteFile(argv[2], ReferenceDocument(ReadTypeLibrary(library.Get()), strings));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "wyftp_reference: %s\n", error.what());
        return 1;
    }
}
