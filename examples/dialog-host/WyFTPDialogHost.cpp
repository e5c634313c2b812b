// A C++ host with the control in a dialog: buttons to connect, refresh, download and upload, and every event logged.
//
// Usage: WyFTPDialogHost <server> <user> <password> <port> <download folder> [--press-buttons <file to upload>]
//
// The dialog (WyFTPDialogHost.rc) holds the control through ATL's host window
// (class "AtlAxWin", window text the ProgID), which creates it, activates it
// in place and keeps its site. The user selects files in the control's list
// and presses the buttons; each event the control fires is added to the list
// box below as it arrives. With --press-buttons the host presses its buttons
// itself (Connect, Refresh, Download with readme.txt selected, Upload of the
// file given), prints the log and closes: expected-output.txt holds that log
// for a server whose top directory holds readme.txt.
#include "DialogIds.h"

#include "../cpp-host/Automation.h"
#include "../cpp-host/DemoEventSink.h"

#include <commdlg.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using Microsoft::WRL::ComPtr;

struct Settings {
    std::wstring server, user, password, downloadFolder, uploadFile;
    long port = 21;
    bool pressButtons = false;
};

// The control's [default, source] interface: the events it fires, with their names.
ComPtr<ITypeInfo> EventInterface(IUnknown* control, IID& iid)
{
    ComPtr<IProvideClassInfo> provider;
    ComPtr<ITypeInfo> coclass;
    TYPEATTR* attributes = nullptr;
    if (FAILED(control->QueryInterface(IID_PPV_ARGS(provider.GetAddressOf())))
        || FAILED(provider->GetClassInfo(coclass.GetAddressOf()))
        || FAILED(coclass->GetTypeAttr(&attributes)))
        return nullptr;
    ComPtr<ITypeInfo> events;
    for (UINT index = 0; index < attributes->cImplTypes && !events; ++index) {
        INT flags = 0;
        HREFTYPE reference = 0;
        if (SUCCEEDED(coclass->GetImplTypeFlags(index, &flags))
            && (flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)
            && SUCCEEDED(coclass->GetRefTypeOfImplType(index, &reference)))
            coclass->GetRefTypeInfo(reference, events.GetAddressOf());
    }
    coclass->ReleaseTypeAttr(attributes);
    TYPEATTR* eventAttributes = nullptr;
    if (events && SUCCEEDED(events->GetTypeAttr(&eventAttributes))) {
        iid = eventAttributes->guid;
        events->ReleaseTypeAttr(eventAttributes);
    }
    return events;
}

// Adds each event to a list box as "Name argument, argument", named from the
// control's type information, so that events of later versions show too.
// Lives as long as the dialog, so it counts no references.
class EventLog : public IDispatch {
public:
    void Attach(HWND list, ComPtr<ITypeInfo> events, const IID& iid)
    {
        m_list = list;
        m_events = std::move(events);
        m_iid = iid;
    }
    void Add(const std::wstring& line) const
    {
        SendMessageW(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        // The control asks for its event interface when it is advised.
        const bool answers = iid == IID_IUnknown || iid == IID_IDispatch || iid == m_iid;
        *object = answers ? static_cast<IDispatch*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        BSTR name = nullptr;
        UINT named = 0;
        std::wstring line = m_events && SUCCEEDED(m_events->GetNames(id, &name, 1, &named)) && named ? name
                                                                                                   : L"event";
        SysFreeString(name);
        // Arguments come last to first.
        for (UINT index = params ? params->cArgs : 0; index-- > 0;) {
            VARIANT& argument = params->rgvarg[index];
            if (argument.vt == (VT_BOOL | VT_BYREF)) {
                // The Error event's CancelDisplay: this host logs the error
                // instead of the control's message box.
                *argument.pboolVal = VARIANT_TRUE;
                continue;
            }
            Variant text;
            if (SUCCEEDED(VariantChangeType(text.Put(), &argument, 0, VT_BSTR)) && text.Get().bstrVal)
                line += std::wstring(index + 1 == params->cArgs ? L" " : L", ") + text.Get().bstrVal;
        }
        Add(line);
        return S_OK;
    }

private:
    HWND m_list = nullptr;
    ComPtr<ITypeInfo> m_events;
    IID m_iid = IID_NULL;
};

class DialogHost {
public:
    explicit DialogHost(Settings settings) : m_settings(std::move(settings)) {}

    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG)
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(dialog, DWLP_USER));
        return host ? host->Handle(dialog, message, wParam) : FALSE;
    }

private:
    static constexpr UINT kPressButtons = WM_APP + 1;

    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam)
    {
        switch (message) {
        case WM_INITDIALOG:
            Start(dialog);
            return TRUE;
        case WM_COMMAND:
            Command(LOWORD(wParam));
            return TRUE;
        case kPressButtons:
            PressButtons();
            return TRUE;
        case WM_CLOSE:
            m_events.reset();
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }

    void Start(HWND dialog)
    {
        m_dialog = dialog;
        using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
        const auto getControl = reinterpret_cast<GetControl>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"atl.dll"), "AtlAxGetControl")));
        ComPtr<IUnknown> control;
        if (getControl)
            getControl(GetDlgItem(dialog, IDC_FTP), control.GetAddressOf());
        if (!control || FAILED(control.As(&m_ftp))) {
            m_log.Attach(GetDlgItem(dialog, IDC_EVENTS), nullptr, IID_NULL);
            m_log.Add(L"The control is not registered: regsvr32 WyFTP.ocx");
            return;
        }
        IID events = IID_NULL;
        ComPtr<ITypeInfo> eventInfo = EventInterface(control.Get(), events);
        m_log.Attach(GetDlgItem(dialog, IDC_EVENTS), eventInfo, events);
        m_events = std::make_unique<EventConnection>(control.Get(), &m_log, events);
        if (m_settings.pressButtons)
            PostMessageW(dialog, kPressButtons, 0, 0);
    }

    void Command(int id)
    {
        if (!m_ftp)
            return;
        IDispatch* ftp = m_ftp.Get();
        switch (id) {
        case IDC_CONNECT:
            Set(ftp, L"ServerName", Text(m_settings.server));
            Set(ftp, L"UserName", Text(m_settings.user));
            Set(ftp, L"Password", Text(m_settings.password));
            Set(ftp, L"Port", Number(m_settings.port));
            Set(ftp, L"PassiveMode", Number(1));
            Report(L"Connect", Call(ftp, L"Connect"));
            break;
        case IDC_REFRESH:
            Report(L"Refresh", Call(ftp, L"Refresh"));
            break;
        case IDC_DOWNLOAD:
            // The files the user selected in the control's list.
            Report(L"GetFile", Call(ftp, L"GetFile", {Text(m_settings.downloadFolder)}));
            break;
        case IDC_UPLOAD: {
            std::wstring file = m_settings.uploadFile;
            if (file.empty())
                file = ChooseFile();
            if (!file.empty())
                Report(L"PutFile", Call(ftp, L"PutFile", {Text(file)}));
            break;
        }
        }
    }

    // A call that failed is logged with what the control says about it.
    void Report(const wchar_t* call, const Result& result)
    {
        if (SUCCEEDED(result.hr))
            return;
        const std::string detail = Call(m_ftp.Get(), L"GetLastError").value.AsText() + ": "
                                   + Call(m_ftp.Get(), L"GetErrorMessage").value.AsText();
        m_log.Add(std::wstring(call) + L" failed: " + result.description + L" (" + Wide(detail) + L")");
    }

    std::wstring ChooseFile()
    {
        wchar_t path[MAX_PATH] = L"";
        OPENFILENAMEW choice = {};
        choice.lStructSize = sizeof choice;
        choice.hwndOwner = m_dialog;
        choice.lpstrFile = path;
        choice.nMaxFile = MAX_PATH;
        choice.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
        return GetOpenFileNameW(&choice) ? path : L"";
    }

    void PressButtons()
    {
        for (const int button : {IDC_CONNECT, IDC_REFRESH, IDC_DOWNLOAD, IDC_UPLOAD}) {
            if (button == IDC_DOWNLOAD)
                Call(m_ftp.Get(), L"SelectFile", {Text(L"readme.txt")});  // as a click in the list does
            SendDlgItemMessageW(m_dialog, button, BM_CLICK, 0, 0);
        }
        const int count = static_cast<int>(SendDlgItemMessageW(m_dialog, IDC_EVENTS, LB_GETCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            std::wstring line(
                static_cast<size_t>(SendDlgItemMessageW(m_dialog, IDC_EVENTS, LB_GETTEXTLEN, index, 0)), L'\0');
            SendDlgItemMessageW(m_dialog, IDC_EVENTS, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line.data()));
            std::printf("%s\n", Narrow(line.c_str()).c_str());
        }
        PostMessageW(m_dialog, WM_CLOSE, 0, 0);
    }

    Settings m_settings;
    HWND m_dialog = nullptr;
    ComPtr<IDispatch> m_ftp;
    EventLog m_log;
    std::unique_ptr<EventConnection> m_events;
};

bool ParseSettings(int argc, wchar_t** argv, Settings& settings)
{
    if (argc < 6)
        return false;
    settings.server = argv[1];
    settings.user = argv[2];
    settings.password = argv[3];
    settings.port = std::wcstol(argv[4], nullptr, 10);
    settings.downloadFolder = argv[5];
    if (argc == 8 && std::wstring(argv[6]) == L"--press-buttons") {
        settings.pressButtons = true;
        settings.uploadFile = argv[7];
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Settings settings;
    if (!ParseSettings(argc, argv, settings)) {
        std::printf("usage: WyFTPDialogHost <server> <user> <password> <port> <download folder>"
                    " [--press-buttons <file to upload>]\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    // ATL's host window class must exist before the dialog names it; atl.dll
    // stays loaded while the control may hold its site.
    using AtlAxWinInit = BOOL(WINAPI*)();
    const HMODULE atl = LoadLibraryW(L"atl.dll");
    const auto init = atl ? reinterpret_cast<AtlAxWinInit>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")))
                          : nullptr;
    int status = 1;
    if (init && init()) {
        DialogHost host(settings);
        status = static_cast<int>(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_HOST), nullptr,
                                                  &DialogHost::Procedure, reinterpret_cast<LPARAM>(&host)));
    } else {
        std::printf("atl.dll's host window is not available\n");
    }
    OleUninitialize();
    return status;
}
