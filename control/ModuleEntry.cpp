// The module's four exported entry points and its load and unload handling.
#include "control/ClassRegistration.h"
#include "control/Registry.h"
#include "control/WyFTPIds.h"
#include "framework/ComGuard.h"
#include "framework/ComModule.h"
#include "framework/ComPtr.h"

#include <new>
#include <oleauto.h>
#include <olectl.h>

namespace {

// COM must be usable while registering (the category manager is a COM
// object), whatever the registration tool did.
class ComInitialization {
public:
    ComInitialization() : m_initialized(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComInitialization()
    {
        if (m_initialized)
            CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

private:
    bool m_initialized;
};

#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    else if (reason == DLL_PROCESS_DETACH)
        UnregisterClassW(L"WyFTPControlWindow", instance);
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    const ClassRegistration* registration = FindClass(clsid);
    if (!registration)
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) CClassFactory(registration->create);
    if (!factory)
        return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return ComModule::CanUnload() ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    ComInitialization com;
    return GuardComCall([] {
        ComPtr<ITypeLib> typeLib;
        const std::wstring path = ModulePath();
        if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, typeLib.Put()))
            || FAILED(RegisterTypeLib(typeLib.Get(), const_cast<wchar_t*>(path.c_str()), nullptr)))
            return SELFREG_E_TYPELIB;
        for (const ClassRegistration* it = ClassesBegin(); it != ClassesEnd(); ++it) {
            if (!it->registerClass())
                return SELFREG_E_CLASS;
        }
        return S_OK;
    });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    ComInitialization com;
    return GuardComCall([] {
        if (FAILED(UnRegisterTypeLib(kWyFTPTypeLibrary.libid, kWyFTPTypeLibrary.major, kWyFTPTypeLibrary.minor,
                                     LOCALE_NEUTRAL, kSysKind)))
            return SELFREG_E_TYPELIB;
        for (const ClassRegistration* it = ClassesBegin(); it != ClassesEnd(); ++it) {
            if (!it->unregisterClass())
                return SELFREG_E_CLASS;
        }
        return S_OK;
    });
}
