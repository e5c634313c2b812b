// The string resources of a module loaded as data, as UTF-8.
#include "tools/reference/ModuleStrings.h"

#include "tools/reference/Utf8Text.h"

#include <stdexcept>

ModuleStrings::ModuleStrings(const std::wstring& path)
    // As data: none of the module's code runs.
    : m_module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
{
    if (!m_module)
        throw std::runtime_error("cannot load " + Utf8FromWide(path) + " as data (error "
                                 + std::to_string(GetLastError()) + ")");
}

ModuleStrings::~ModuleStrings()
{
    FreeLibrary(m_module);
}

std::string ModuleStrings::Load(UINT id) const
{
    // With a zero buffer size LoadStringW hands out a pointer into the
    // resource itself, which is UTF-16 whatever the code page.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(m_module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        throw std::runtime_error("the module has no string " + std::to_string(id));
    return Utf8FromWide(std::wstring_view(text, static_cast<size_t>(length)));
}
