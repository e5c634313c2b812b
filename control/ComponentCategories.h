// Component categories: creating a category and marking a class as implementing it.
#pragma once
#include <windows.h>

HRESULT CreateComponentCategory(REFGUID category, const wchar_t* description);
HRESULT RegisterCLSIDInCategory(REFCLSID clsid, REFGUID category);
HRESULT UnRegisterCLSIDInCategory(REFCLSID clsid, REFGUID category);
