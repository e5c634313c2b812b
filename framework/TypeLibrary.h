// Loading the module's type library: registered first, else from the module's own resource.
#pragma once
#include <windows.h>
#include <oaidl.h>

struct TypeLibraryId {
    GUID libid;
    WORD major;
    WORD minor;
};

// The type information for one interface or class of the library; loads
// the registered library, or the module's embedded one when the module is
// not registered.
HRESULT GetTypeInfoOf(const TypeLibraryId& library, REFGUID type, ITypeInfo** info);
HRESULT LoadModuleTypeLib(const TypeLibraryId& library, ITypeLib** typeLib);
