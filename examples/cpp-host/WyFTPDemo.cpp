// A host application that puts the WyFTP control on a window and drives it: connect, list, upload,
// download, handle errors and events. Copy it as a starting point for your own host.
//
// Usage: WyFTPDemo <ftp server address> [user] [password]
// Prints a transcript in Shift-JIS (code page 932).
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// --- Text: the control speaks UTF-16 BSTRs; this host prints Shift-JIS. ---

std::string Narrow(const wchar_t* text)
{
    if (!text || !*text)
        return {};
    const int length = WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(932, 0, text, -1, result.data(), length, nullptr, nullptr);
    result.resize(static_cast<size_t>(length - 1));
    return result;
}

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(932, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(932, 0, text.c_str(), -1, result.data(), length);
    result.resize(static_cast<size_t>(length - 1));
    return result;
}

VARIANT Text(const std::wstring& text)
{
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text.c_str());
    return value;
}

VARIANT Number(long number)
{
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = number;
    return value;
}

// --- Calling the control through IDispatch, as any automation host does. ---

struct Result {
    HRESULT hr = S_OK;
    VARIANT value;
    std::wstring description;
    Result() { VariantInit(&value); }
};

Result Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args)
{
    Result result;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    result.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result.hr))
        return result;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());  // DISPPARAMS runs last to first
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed.data(), flags == DISPATCH_PROPERTYPUT ? &put : nullptr,
                         static_cast<UINT>(reversed.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    EXCEPINFO exception = {};
    result.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result.value, &exception, nullptr);
    if (result.hr == DISP_E_EXCEPTION && exception.bstrDescription)
        result.description = exception.bstrDescription;
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    for (VARIANT& arg : args)
        VariantClear(&arg);
    return result;
}

Result Call(IDispatch* control, const wchar_t* method, std::vector<VARIANT> args = {})
{
    return Invoke(control, method, DISPATCH_METHOD, std::move(args));
}

void Set(IDispatch* control, const wchar_t* property, VARIANT value)
{
    Invoke(control, property, DISPATCH_PROPERTYPUT, {value});
}

std::string AsText(const VARIANT& value)
{
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        return {};
    std::string result = Narrow(text.bstrVal);
    VariantClear(&text);
    return result;
}

// Reports a failed call the way a host would: the control raised an
// automation error; its code and message are read back from the control.
bool Check(IDispatch* control, const char* what, const Result& result)
{
    if (SUCCEEDED(result.hr)) {
        std::printf("  %-28s ok %s\n", what, AsText(result.value).c_str());
        return true;
    }
    const long code = Call(control, L"GetLastError").value.lVal;
    const std::string message = AsText(Call(control, L"GetErrorMessage").value);
    std::printf("  %-28s failed: %s (%ld) %s\n", what, Narrow(result.description.c_str()).c_str(), code,
                message.c_str());
    return false;
}

// --- The control's events. ---

class EventSink : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        static const IID events = {0x4B19A2E5, 0x7C05, 0x4D6A, {0x8E, 0x31, 0x52, 0xF0, 0xC9, 0xD7, 0xA6, 0x11}};
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        const VARIANT* first = params->cArgs > 0 ? &params->rgvarg[params->cArgs - 1] : nullptr;
        switch (id) {
        case 1:  // TransferProgress: one per chunk; show every 16th
            if (++m_chunks % 16 == 1)
                std::printf("    event TransferProgress %ld bytes\n", first->lVal);
            break;
        case 2: std::printf("    event Connected\n"); break;
        case 3: std::printf("    event DisConnected\n"); break;
        case 6: std::printf("    event ChangeCurrentDirectory %s\n", AsText(*first).c_str()); break;
        case 7:
            m_chunks = 0;
            std::printf("    event TransferStart %s\n", AsText(*first).c_str());
            break;
        case 8: std::printf("    event TransferEnd after %d chunks\n", m_chunks); break;
        case DISPID_ERROREVENT:
            // A failure of something the user did in the control's window;
            // this host shows it itself, so the control's message box is not needed.
            *params->rgvarg[0].pboolVal = VARIANT_TRUE;
            break;
        }
        return S_OK;
    }

private:
    int m_chunks = 0;
};

void PrintListing(IDispatch* control, const wchar_t* directory)
{
    Result list = Call(control, L"GetFileList", {Text(directory)});
    if (!Check(control, "GetFileList", list))
        return;
    IDispatch* files = list.value.pdispVal;
    VARIANT count = Invoke(files, L"Count", DISPATCH_PROPERTYGET, {}).value;
    for (long i = 0; i < count.lVal; ++i) {
        Result item = Invoke(files, L"Item", DISPATCH_PROPERTYGET, {Number(i)});
        IDispatch* file = item.value.pdispVal;
        if (!file)
            continue;
        const std::string name = AsText(Invoke(file, L"Name", DISPATCH_PROPERTYGET, {}).value);
        const long type = Invoke(file, L"Type", DISPATCH_PROPERTYGET, {}).value.lVal;
        const long size = Invoke(file, L"Size", DISPATCH_PROPERTYGET, {}).value.lVal;
        SYSTEMTIME time = {};
        VariantTimeToSystemTime(Invoke(file, L"LastWriteTime", DISPATCH_PROPERTYGET, {}).value.date, &time);
        std::printf("    %s %10ld  %04d/%02d/%02d %02d:%02d  %s\n", type == 0 ? "<DIR>" : "     ", size, time.wYear,
                    time.wMonth, time.wDay, time.wHour, time.wMinute, name.c_str());
        VariantClear(&item.value);
    }
    VariantClear(&list.value);
}

std::wstring WriteSampleFile(const std::wstring& directory, const std::string& name, size_t size)
{
    const std::wstring path = directory + L"\\" + Wide(name);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('A' + i % 26);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::printf("usage: WyFTPDemo <ftp server address> [user] [password]\n");
        return 2;
    }
    const std::wstring server = argv[1];
    const std::wstring user = argc > 2 ? argv[2] : L"anonymous";
    const std::wstring password = argc > 3 ? argv[3] : L"";
    OleInitialize(nullptr);

    // The control on a real window, hosted by the platform's ATL container.
    HMODULE atl = LoadLibraryW(L"atl.dll");
    auto atlInit = reinterpret_cast<AtlAxWinInitFunction>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    auto atlGetControl = reinterpret_cast<AtlAxGetControlFunction>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    if (!atlInit || !atlInit()) {
        std::printf("atl.dll is not available\n");
        return 1;
    }
    HWND frame = CreateWindowExW(0, L"AtlAxWin", L"WyFTP.WyFTPCtrl.1", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 640,
                                 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    IUnknown* unknown = nullptr;
    IDispatch* control = nullptr;
    if (!frame || FAILED(atlGetControl(frame, &unknown))
        || FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control)))) {
        std::printf("the WyFTP control is not registered (regsvr32 WyFTP.ocx)\n");
        return 1;
    }
    SetWindowTextW(frame, L"WyFTP demo");

    EventSink sink;
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    unknown->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    static const IID events = {0x4B19A2E5, 0x7C05, 0x4D6A, {0x8E, 0x31, 0x52, 0xF0, 0xC9, 0xD7, 0xA6, 0x11}};
    container->FindConnectionPoint(events, &point);
    point->Advise(&sink, &cookie);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring scratch = std::wstring(temp) + L"wyftp-demo";
    CreateDirectoryW(scratch.c_str(), nullptr);

    std::printf("== FTP: %s as %s\n", Narrow(server.c_str()).c_str(), Narrow(user.c_str()).c_str());
    Set(control, L"ServerName", Text(server));
    Set(control, L"UserName", Text(user));
    Set(control, L"Password", Text(password));
    Set(control, L"ConnectDirectory", Text(L"/pub"));
    Set(control, L"TransferByte", Number(64));
    Set(control, L"EnableProgressDialog", Number(0));
    if (!Check(control, "Connect", Call(control, L"Connect")))
        return 1;
    Check(control, "GetCurrentDirectory(0)", Call(control, L"GetCurrentDirectory", {Number(0)}));
    Check(control, "GetCurrentDirectory(1)", Call(control, L"GetCurrentDirectory", {Number(1)}));
    PrintListing(control, L"/pub");

    const std::string uploadName = "アップロード.txt";
    const std::wstring upload = WriteSampleFile(scratch, uploadName, 300 * 1024);
    Check(control, "PutFile", Call(control, L"PutFile", {Text(upload)}));
    Check(control, "GetFileSize", Call(control, L"GetFileSize", {Text(Wide(uploadName))}));
    Check(control, "CreateDirectory", Call(control, L"CreateDirectory", {Text(L"新しいフォルダ")}));
    Check(control, "RenameFile", Call(control, L"RenameFile", {Text(Wide(uploadName)), Text(L"新しいフォルダ/報告.txt")}));
    PrintListing(control, L"/pub/新しいフォルダ");
    std::printf("  (an error on purpose)\n");
    Check(control, "SetCurrentDirectory", Call(control, L"SetCurrentDirectory", {Text(L"/no-such-directory")}));
    Check(control, "DirUp", Call(control, L"DirUp"));
    Check(control, "DirUp", Call(control, L"DirUp"));
    Check(control, "DisConnect", Call(control, L"DisConnect"));

    // The local disk: the same methods; an ftp URL as PutFile's source
    // downloads that file from the server into the current local directory.
    std::printf("== Local disk: %s\n", Narrow(scratch.c_str()).c_str());
    Set(control, L"ConnectTarget", Number(0));
    Set(control, L"ServerName", Text(scratch.substr(0, 2)));
    std::wstring local = scratch.substr(2);
    for (wchar_t& ch : local)
        ch = ch == L'\\' ? L'/' : ch;
    Set(control, L"ConnectDirectory", Text(local));
    Check(control, "Connect", Call(control, L"Connect"));
    const std::wstring url = L"ftp://" + server + L"/pub/表.txt?uid=" + user + L"&pw=" + password;
    Check(control, "PutFile (ftp URL)", Call(control, L"PutFile", {Text(url)}));
    PrintListing(control, local.c_str());
    Check(control, "DisConnect", Call(control, L"DisConnect"));

    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    point->Unadvise(cookie);
    point->Release();
    container->Release();
    control->Release();
    unknown->Release();
    DestroyWindow(frame);
    OleUninitialize();
    return 0;
}
