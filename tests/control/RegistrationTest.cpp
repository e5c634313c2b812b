// Self-registration and the module's entry points, called as regsvr32 and COM call them.
#include "tests/control/ComTestSupport.h"

#include "control/WyFTPIds.h"
#include "framework/CodePage932.h"

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

// A value under HKEY_CLASSES_ROOT: the key's default value unless name is given.
std::wstring ValueOf(const std::wstring& path, const wchar_t* name = nullptr)
{
    wchar_t value[512] = L"";
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
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
    const std::pair<std::wstring, std::wstring> values[] = {
        {kControlKey, L"WyFTP Control"},
        {kControlKey + L"\\ProgID", L"WyFTP.WyFTPCtrl.1"},
        {kControlKey + L"\\InprocServer32", ModuleUnderTest()},
        {kControlKey + L"\\MiscStatus\\1", L"131473"},
        {kControlKey + L"\\TypeLib", Key(kWyFTPTypeLibrary.libid)},
        {kControlKey + L"\\Version", L"1.0"},
        {L"WyFTP.WyFTPCtrl.1\\CLSID", Key(CLSID_WyFTP)},
        {kPageKey, L"WyFTP Property Page"},
        {kPageKey + L"\\InprocServer32", ModuleUnderTest()},
    };
    for (const auto& [path, value] : values)
        EXPECT_EQ(value, ValueOf(path)) << ToShiftJis(path);
    for (const std::wstring& path : {kControlKey + L"\\Control", kControlKey + L"\\Insertable",
                                     L"TypeLib\\" + Key(kWyFTPTypeLibrary.libid) + L"\\1.0"})
        EXPECT_TRUE(KeyExists(path)) << ToShiftJis(path);
    // One entry per implemented category.
    const std::wstring categories = kControlKey + L"\\Implemented Categories";
    HKEY key = nullptr;
    DWORD count = 0;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, categories.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr);
        RegCloseKey(key);
    }
    EXPECT_EQ(2u, count);
    EXPECT_TRUE(KeyExists(categories + L"\\" + Key(CATID_Control)));
    EXPECT_TRUE(KeyExists(categories + L"\\" + Key(CATID_SafeForInitializing)));
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
    EXPECT_EQ(L"Controls", ValueOf(L"Component Categories\\" + Key(CATID_Control), L"409"));

    ASSERT_EQ(S_OK, unregisterServer());
    for (const std::wstring& path : {kControlKey, kPageKey, std::wstring(L"WyFTP.WyFTPCtrl.1")})
        EXPECT_FALSE(KeyExists(path)) << ToShiftJis(path);
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
