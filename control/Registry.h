// Writing and removing the module's keys under HKEY_CLASSES_ROOT.
#pragma once
#include <windows.h>

#include <string>

// Creates the key (and its parents) and sets one string value; an empty
// name sets the key's default value. False when the registry refuses.
bool SetClassesRootValue(const std::wstring& key, const wchar_t* name, const std::wstring& value);
// Creates the key with no value.
bool CreateClassesRootKey(const std::wstring& key);
// Removes the key with everything below it; a missing key is no failure.
bool DeleteClassesRootTree(const std::wstring& key);

std::wstring GuidText(REFGUID guid);
std::wstring ModulePath();
