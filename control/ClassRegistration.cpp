// The module's creatable classes: how each is created, registered and unregistered.
#include "control/ClassRegistration.h"

#include "control/ComponentCategories.h"
#include "control/Registry.h"
#include "control/WyFTPConnectionPage.h"
#include "control/WyFTPCtrl.h"
#include "control/WyFTPIds.h"
#include "control/WyFTPPropPage.h"
#include "framework/CodePage932.h"
#include "resources/resource.h"

#include <comcat.h>
#include <objsafe.h>
#include <olectl.h>

#include <iterator>

namespace {

constexpr wchar_t kControlProgId[] = L"WyFTP.WyFTPCtrl.1";
constexpr wchar_t kVersion[] = L"1.0";
// OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
constexpr DWORD kMiscStatus = 0x20191;
constexpr int kToolboxBitmap = 1;

IUnknown* CreateControl() { return static_cast<IDispatch*>(new CWyFTPCtrl); }
IUnknown* CreatePropertyPage() { return static_cast<IPropertyPage*>(new CWyFTPPropPage); }
IUnknown* CreateConnectionPage() { return static_cast<IPropertyPage*>(new CWyFTPConnectionPage); }

std::wstring ClassKey(REFCLSID clsid) { return L"CLSID\\" + GuidText(clsid); }

// The keys every in-process class has: its name and its server.
bool RegisterInprocClass(REFCLSID clsid, const std::wstring& typeName)
{
    const std::wstring key = ClassKey(clsid);
    return SetClassesRootValue(key, nullptr, typeName)
        && SetClassesRootValue(key + L"\\InprocServer32", nullptr, ModulePath())
        && SetClassesRootValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
}

bool RegisterControl()
{
    // A category that cannot be recorded does not stop the class registration.
    if (SUCCEEDED(CreateComponentCategory(CATID_Control, L"Controls")))
        RegisterCLSIDInCategory(CLSID_WyFTP, CATID_Control);
    if (SUCCEEDED(CreateComponentCategory(CATID_SafeForInitializing,
                                          L"Controls safelyinitializable from persistent data")))
        RegisterCLSIDInCategory(CLSID_WyFTP, CATID_SafeForInitializing);

    const std::wstring typeName = ToWide(LoadResourceString(IDS_WYFTP));
    const std::wstring key = ClassKey(CLSID_WyFTP);
    const std::wstring progIdKey = kControlProgId;
    return RegisterInprocClass(CLSID_WyFTP, typeName)
        && SetClassesRootValue(key + L"\\ProgID", nullptr, kControlProgId)
        && CreateClassesRootKey(key + L"\\Control")
        && CreateClassesRootKey(key + L"\\Insertable")
        && SetClassesRootValue(key + L"\\ToolboxBitmap32", nullptr,
                               ModulePath() + L", " + std::to_wstring(kToolboxBitmap))
        && SetClassesRootValue(key + L"\\MiscStatus", nullptr, L"0")
        && SetClassesRootValue(key + L"\\MiscStatus\\1", nullptr, std::to_wstring(kMiscStatus))
        && SetClassesRootValue(key + L"\\TypeLib", nullptr, GuidText(kWyFTPTypeLibrary.libid))
        && SetClassesRootValue(key + L"\\Version", nullptr, kVersion)
        && SetClassesRootValue(progIdKey, nullptr, typeName)
        && SetClassesRootValue(progIdKey + L"\\CLSID", nullptr, GuidText(CLSID_WyFTP))
        && CreateClassesRootKey(progIdKey + L"\\Insertable");
}

bool UnregisterControl()
{
    // The categories themselves stay: other controls may belong to them.
    UnRegisterCLSIDInCategory(CLSID_WyFTP, CATID_Control);
    UnRegisterCLSIDInCategory(CLSID_WyFTP, CATID_SafeForInitializing);
    return DeleteClassesRootTree(ClassKey(CLSID_WyFTP)) && DeleteClassesRootTree(kControlProgId);
}

bool RegisterPropertyPage()
{
    return RegisterInprocClass(CLSID_WyFTPPropPage, ToWide(LoadResourceString(IDS_WYFTP_PPG)));
}

bool UnregisterPropertyPage()
{
    return DeleteClassesRootTree(ClassKey(CLSID_WyFTPPropPage));
}

bool RegisterConnectionPage()
{
    return RegisterInprocClass(CLSID_WyFTPConnectionPage, ToWide(LoadResourceString(IDS_CONNECTION_PPG)));
}

bool UnregisterConnectionPage()
{
    return DeleteClassesRootTree(ClassKey(CLSID_WyFTPConnectionPage));
}

const ClassRegistration kClasses[] = {
    {CLSID_WyFTP, &CreateControl, &RegisterControl, &UnregisterControl},
    {CLSID_WyFTPPropPage, &CreatePropertyPage, &RegisterPropertyPage, &UnregisterPropertyPage},
    {CLSID_WyFTPConnectionPage, &CreateConnectionPage, &RegisterConnectionPage, &UnregisterConnectionPage},
};

}  // namespace

const ClassRegistration* FindClass(REFCLSID clsid)
{
    for (const ClassRegistration& registration : kClasses) {
        if (registration.clsid == clsid)
            return &registration;
    }
    return nullptr;
}

const ClassRegistration* ClassesBegin() { return std::begin(kClasses); }
const ClassRegistration* ClassesEnd() { return std::end(kClasses); }
