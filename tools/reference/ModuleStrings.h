// The string resources of a module loaded as data, as UTF-8.
#pragma once
#include <windows.h>

#include <string>

class ModuleStrings {
public:
    // Throws std::runtime_error when the module cannot be loaded.
    explicit ModuleStrings(const std::wstring& path);
    ~ModuleStrings();
    ModuleStrings(const ModuleStrings&) = delete;
    ModuleStrings& operator=(const ModuleStrings&) = delete;

    // Throws std::runtime_error when the module has no such string.
    std::string Load(UINT id) const;

private:
    HMODULE m_module;
};
