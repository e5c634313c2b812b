// Self-registration and the module's entry points, called as regsvr32 and COM call them.
#include "tests/control/ComTestSupport.h"

#include "control/WyFTPIds.h"

#include <comcat.h>
#include <objsafe.h>
#include <olectl.h>

#include <string>

namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();
using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

std::wstring Key(REFGUID guid)
{
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring DefaultValue(const std::wstring& path)
{
    wchar_t value[512] = L"";
    LONG size = sizeof value;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, path.c_str(), value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

DWORD SubkeyCount(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return count;
}

// The module loaded as regsvr32 loads it.
class Module {
public:
    Module() : m_module(LoadLibraryW(ModuleUnderTest().c_str())) {}
    ~Module() { FreeLibrary(m_module); }
    template <typename F>
    F Entry(const char* name) const
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
    }
    bool Loaded() const { return m_module != nullptr; }

private:
    HMODULE m_module;
};

const std::wstring kControlKey = L"CLSID\\" + Key(CLSID_WyFTP);
const std::wstring kPageKey = L"CLSID\\" + Key(CLSID_WyFTPPropPage);

void ExpectRegistered()
{
    EXPECT_EQ(L"WyFTP Control", DefaultValue(kControlKey));
    EXPECT_EQ(L"WyFTP.WyFTPCtrl.1", DefaultValue(kControlKey + L"\\ProgID"));
    EXPECT_EQ(ModuleUnderTest(), DefaultValue(kControlKey + L"\\InprocServer32"));
    EXPECT_TRUE(KeyExists(kControlKey + L"\\Control"));
    EXPECT_TRUE(KeyExists(kControlKey + L"\\Insertable"));
    EXPECT_EQ(L"131473", DefaultValue(kControlKey + L"\\MiscStatus\\1"));
    EXPECT_EQ(Key(kWyFTPTypeLibrary.libid), DefaultValue(kControlKey + L"\\TypeLib"));
    EXPECT_EQ(L"1.0", DefaultValue(kControlKey + L"\\Version"));
    EXPECT_EQ(Key(CLSID_WyFTP), DefaultValue(L"WyFTP.WyFTPCtrl.1\\CLSID"));
    EXPECT_EQ(L"WyFTP Property Page", DefaultValue(kPageKey));
    EXPECT_EQ(ModuleUnderTest(), DefaultValue(kPageKey + L"\\InprocServer32"));
    // One entry per implemented category.
    EXPECT_EQ(2u, SubkeyCount(kControlKey + L"\\Implemented Categories"));
    EXPECT_TRUE(KeyExists(kControlKey + L"\\Implemented Categories\\" + Key(CATID_Control)));
    EXPECT_TRUE(KeyExists(kControlKey + L"\\Implemented Categories\\" + Key(CATID_SafeForInitializing)));
    EXPECT_TRUE(KeyExists(L"TypeLib\\" + Key(kWyFTPTypeLibrary.libid) + L"\\1.0"));
}

TEST(Registration, RegisteringTwiceLeavesOneEntryAndUnregisteringKeepsTheCategories)
{
    Module module;
    ASSERT_TRUE(module.Loaded());
    auto registerServer = module.Entry<EntryPoint>("DllRegisterServer");
    auto unregisterServer = module.Entry<EntryPoint>("DllUnregisterServer");
    ASSERT_TRUE(registerServer && unregisterServer);
    // The suites that follow need the module registered, whatever fails here.
    struct RegisteredAtExit {
        EntryPoint registerServer;
        ~RegisteredAtExit() { registerServer(); }
    } registeredAtExit{registerServer};

    ASSERT_EQ(S_OK, registerServer());
    ASSERT_EQ(S_OK, registerServer());
    ExpectRegistered();
    EXPECT_EQ(L"Controls", [] {
        wchar_t value[256] = L"";
        DWORD size = sizeof value;
        RegGetValueW(HKEY_CLASSES_ROOT, (L"Component Categories\\" + Key(CATID_Control)).c_str(), L"409",
                     RRF_RT_REG_SZ, nullptr, value, &size);
        return std::wstring(value);
    }());

    ASSERT_EQ(S_OK, unregisterServer());
    EXPECT_FALSE(KeyExists(kControlKey));
    EXPECT_FALSE(KeyExists(kPageKey));
    EXPECT_FALSE(KeyExists(L"WyFTP.WyFTPCtrl.1"));
    EXPECT_TRUE(KeyExists(L"Component Categories\\" + Key(CATID_Control)));
    EXPECT_TRUE(KeyExists(L"Component Categories\\" + Key(CATID_SafeForInitializing)));
    ComPtr<IDispatch> none;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_WyFTP, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                                    reinterpret_cast<void**>(none.Put())));
    // Unregistering what is not registered reports the type library failure.
    EXPECT_EQ(SELFREG_E_TYPELIB, unregisterServer());

    ASSERT_EQ(S_OK, registerServer());
    ExpectRegistered();
}

TEST(ModuleEntryPoints, CanUnloadNowIsHonestAboutObjectsAndLocks)
{
    Module module;
    ASSERT_TRUE(module.Loaded());
    auto canUnload = module.Entry<EntryPoint>("DllCanUnloadNow");
    auto getClassObject = module.Entry<GetClassObjectFunction>("DllGetClassObject");
    ASSERT_TRUE(canUnload && getClassObject);
    ASSERT_EQ(S_OK, canUnload());

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject(CLSID_WyFTP, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())));
    EXPECT_EQ(S_FALSE, canUnload());
    ComPtr<IDispatch> control;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(control.Put())));
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(control.Get(), IID_IUnknown,
                                                             reinterpret_cast<void**>(aggregated.Put())));
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory,
                                                     reinterpret_cast<void**>(aggregated.Put())));
    factory->LockServer(TRUE);
    factory.Reset();
    EXPECT_EQ(S_FALSE, canUnload());  // an object and a lock
    control.Reset();
    EXPECT_EQ(S_FALSE, canUnload());  // the lock
    ASSERT_EQ(S_OK, getClassObject(CLSID_WyFTP, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())));
    factory->LockServer(FALSE);
    factory.Reset();
    EXPECT_EQ(S_OK, canUnload());

    ComPtr<IUnknown> unknownClass;
    const CLSID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(other, IID_IClassFactory,
                                                        reinterpret_cast<void**>(unknownClass.Put())));
    EXPECT_EQ(E_POINTER, getClassObject(CLSID_WyFTP, IID_IClassFactory, nullptr));
}

}  // namespace
