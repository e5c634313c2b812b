// Loading the module's type library: registered first, else from the module's own resource.
#include "framework/TypeLibrary.h"

#include "framework/ComPtr.h"
#include "framework/Module.h"

#include <oleauto.h>

HRESULT LoadModuleTypeLib(const TypeLibraryId& library, ITypeLib** typeLib)
{
    if (!typeLib)
        return E_POINTER;
    *typeLib = nullptr;
    if (SUCCEEDED(LoadRegTypeLib(library.libid, library.major, library.minor, LOCALE_NEUTRAL, typeLib)))
        return S_OK;
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return TYPE_E_CANTLOADLIBRARY;
    return LoadTypeLibEx(path, REGKIND_NONE, typeLib);
}

HRESULT GetTypeInfoOf(const TypeLibraryId& library, REFGUID type, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeLib> typeLib;
    const HRESULT hr = LoadModuleTypeLib(library, typeLib.Put());
    if (FAILED(hr))
        return hr;
    return typeLib->GetTypeInfoOfGuid(type, info);
}
