// Component categories: creating a category and marking a class as implementing it.
#include "control/ComponentCategories.h"

#include "framework/ComPtr.h"

#include <comcat.h>

#include <cwchar>

namespace {

constexpr LCID kEnglish = 1033;

ComPtr<ICatRegister> CategoryManager()
{
    ComPtr<ICatRegister> manager;
    CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                     reinterpret_cast<void**>(manager.Put()));
    return manager;
}

}  // namespace

HRESULT CreateComponentCategory(REFGUID category, const wchar_t* description)
{
    ComPtr<ICatRegister> manager = CategoryManager();
    if (!manager)
        return REGDB_E_CLASSNOTREG;
    CATEGORYINFO info = {};
    info.catid = category;
    info.lcid = kEnglish;
    // The record holds at most 127 characters and the terminator.
    wcsncpy(info.szDescription, description, 127);
    info.szDescription[127] = L'\0';
    return manager->RegisterCategories(1, &info);
}

HRESULT RegisterCLSIDInCategory(REFCLSID clsid, REFGUID category)
{
    ComPtr<ICatRegister> manager = CategoryManager();
    if (!manager)
        return REGDB_E_CLASSNOTREG;
    CATID id = category;
    return manager->RegisterClassImplCategories(clsid, 1, &id);
}

HRESULT UnRegisterCLSIDInCategory(REFCLSID clsid, REFGUID category)
{
    ComPtr<ICatRegister> manager = CategoryManager();
    if (!manager)
        return REGDB_E_CLASSNOTREG;
    CATID id = category;
    return manager->UnRegisterClassImplCategories(clsid, 1, &id);
}
