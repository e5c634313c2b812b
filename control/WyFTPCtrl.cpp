// The WyFTP ActiveX control: identity, properties, persistence, events and the dispatch table.
#include "control/WyFTPCtrl.h"

#include "control/WyFTPIds.h"
#include "explorer/WyFTPExplorerWnd.h"
#include "explorer/WyTransferProgressDlg.h"
#include "filesystem/FtpUrl.h"
#include "framework/ShiftJis.h"
#include "resources/resource.h"

#include <iterator>

namespace {

// What the setters accept. Values from a document pass the same tests.
bool IsTransferByte(long kilobytes)
{
    return kilobytes >= 1 && kilobytes <= kMaxTransferKilobytes;
}

bool IsShowProgressDialog(long kilobytes)
{
    return kilobytes >= 1;
}

bool IsTreeViewWidth(long width)
{
    return width >= 0;
}

bool IsTimeout(long seconds)
{
    return seconds >= 0 && seconds <= kMaxTimeoutSeconds;
}

bool IsServerEncoding(long encoding)
{
    return encoding >= kServerEncodingShiftJis && encoding <= kServerEncodingAutomatic;
}

// Puts the default back when the value is refused.
void KeepOrDefault(long& value, bool accepted, long defaultValue)
{
    if (!accepted)
        value = defaultValue;
}

enum : DISPID {
    kEnableProgressDialog = 1, kServerName, kVisibleTree, kUserName, kPassword, kConnectTarget,
    kDownloadDirectory, kConnectDirectory, kTransferByte, kListViewMode, kTreeViewWidth, kShowProgressDialog
};

// Properties added after the first release, with dispatch IDs after the last method's.
enum : DISPID { kPassiveMode = 34, kPort, kTimeout, kServerEncoding };

enum : DISPID {
    kTransferProgressEvent = 1, kConnectedEvent, kDisConnectedEvent, kTreePopUpEvent, kListPopUpEvent,
    kChangeCurrentDirectoryEvent, kTransferStartEvent, kTransferEndEvent
};

// OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
constexpr DWORD kMiscStatus = 0x20191;

// {0BE35201-8F91-11CE-9DE3-00AA004BB851}
constexpr CLSID kStockFontPage = {0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

struct PredefinedValue {
    DISPID property;
    DWORD value;
    const char* text;
};

constexpr PredefinedValue kPredefinedValues[] = {
    {kConnectTarget, 0, "0 - WyConnectTargetLocal"},
    {kConnectTarget, 1, "1 - WyConnectTargetFTP"},
    {kListViewMode, 0, "0 - WyFTPListViewModeIcon"},
    {kListViewMode, 1, "1 - WyFTPListViewModeReport"},
    {kListViewMode, 2, "2 - WyFTPListViewModeSmallIcon"},
    {kListViewMode, 3, "3 - WyFTPListViewModeList"},
};

}  // namespace

CWyFTPCtrl::CWyFTPCtrl() : COleControl(DIID__DWyFTPEvents) {}

CWyFTPCtrl::~CWyFTPCtrl() = default;

void CWyFTPCtrl::OnFinalRelease()
{
    // The store goes without a Disconnect; closing its handles is enough.
    m_pFileSystem.reset();
    COleControl::OnFinalRelease();
}

DispatchTable CWyFTPCtrl::GetDispatchTable() const
{
    using C = CWyFTPCtrl;
    static const DispatchMember members[] = {
        DispProperty<&C::GetEnableProgressDialog, &C::SetEnableProgressDialog>(kEnableProgressDialog,
                                                                               L"EnableProgressDialog"),
        DispProperty<&C::GetServerNameProperty, &C::SetServerNameProperty>(kServerName, L"ServerName"),
        DispProperty<&C::GetVisibleTree, &C::SetVisibleTree>(kVisibleTree, L"VisibleTree"),
        DispProperty<&C::GetUserNameProperty, &C::SetUserNameProperty>(kUserName, L"UserName"),
        DispProperty<&C::GetPasswordProperty, &C::SetPasswordProperty>(kPassword, L"Password"),
        DispProperty<&C::GetConnectTarget, &C::SetConnectTarget>(kConnectTarget, L"ConnectTarget"),
        DispProperty<&C::GetDownloadDirectory, &C::SetDownloadDirectory>(kDownloadDirectory, L"DownloadDirectory"),
        DispProperty<&C::GetConnectDirectoryProperty, &C::SetConnectDirectory>(kConnectDirectory,
                                                                               L"ConnectDirectory"),
        DispProperty<&C::GetTransferByte, &C::SetTransferByte>(kTransferByte, L"TransferByte"),
        DispProperty<&C::GetListViewMode, &C::SetListViewMode>(kListViewMode, L"ListViewMode"),
        DispProperty<&C::GetTreeViewWidth, &C::SetTreeViewWidth>(kTreeViewWidth, L"TreeViewWidth"),
        DispProperty<&C::GetShowProgressDialogProperty, &C::SetShowProgressDialog>(kShowProgressDialog,
                                                                                   L"ShowProgressDialog"),
        DispMethod<&C::DisConnect>(13, L"DisConnect"),
        DispMethod<&C::RemoveDirectory>(14, L"RemoveDirectory"),
        DispMethod<&C::CreateDirectory>(15, L"CreateDirectory"),
        DispMethod<&C::RemoveFile>(16, L"RemoveFile"),
        DispMethod<&C::GetFileSize>(17, L"GetFileSize"),
        DispMethod<&C::AbortTransfer>(18, L"AbortTransfer"),
        DispMethod<&C::RenameFile>(19, L"RenameFile"),
        DispMethod<&C::GetFile>(20, L"GetFile", 1),
        DispMethod<&C::PutFile>(21, L"PutFile"),
        DispMethod<&C::SetCurrentDirectory>(22, L"SetCurrentDirectory"),
        DispMethod<&C::GetCurrentDirectory>(23, L"GetCurrentDirectory"),
        DispMethod<&C::SelectFile>(24, L"SelectFile"),
        DispMethod<&C::SortListItem>(25, L"SortListItem"),
        DispMethod<&C::Connect>(26, L"Connect", 3),
        DispMethod<&C::GetCurrentFile>(27, L"GetCurrentFile"),
        DispMethod<&C::DirUp>(28, L"DirUp"),
        DispMethod<&C::GetLastError>(29, L"GetLastError"),
        DispMethod<&C::GetErrorMessage>(30, L"GetErrorMessage"),
        DispMethod<&C::Refresh>(31, L"Refresh"),
        DispMethod<&C::GetFileList>(32, L"GetFileList"),
        DispMethod<&C::ClearSelectedFile>(33, L"ClearSelectedFile"),
        DispProperty<&COleControl::GetBackColor, &COleControl::SetBackColor>(DISPID_BACKCOLOR, L"BackColor"),
        DispProperty<&COleControl::GetForeColor, &COleControl::SetForeColor>(DISPID_FORECOLOR, L"ForeColor"),
        DispProperty<&COleControl::GetFont, &COleControl::SetFont>(DISPID_FONT, L"Font"),
        DispMethod<&C::AboutBox>(DISPID_ABOUTBOX, L"AboutBox"),
        DispProperty<&C::GetPassiveModeProperty, &C::SetPassiveMode>(kPassiveMode, L"PassiveMode"),
        DispProperty<&C::GetPortProperty, &C::SetPort>(kPort, L"Port"),
        DispProperty<&C::GetTimeoutProperty, &C::SetTimeout>(kTimeout, L"Timeout"),
        DispProperty<&C::GetServerEncodingProperty, &C::SetServerEncoding>(kServerEncoding, L"ServerEncoding"),
    };
    return {members, std::size(members)};
}

const IID& CWyFTPCtrl::GetDispatchIid() const { return DIID__DWyFTP; }
TypeLibraryId CWyFTPCtrl::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }
const CLSID& CWyFTPCtrl::GetClassId() const { return CLSID_WyFTP; }
const IID& CWyFTPCtrl::GetEventIid() const { return DIID__DWyFTPEvents; }
UINT CWyFTPCtrl::GetUserTypeNameId() const { return IDS_WYFTP; }
UINT CWyFTPCtrl::GetPropertiesVerbNameId() const { return IDS_VERB_PROPERTIES; }
DWORD CWyFTPCtrl::GetMiscStatusBits() const { return kMiscStatus; }

std::vector<CLSID> CWyFTPCtrl::GetPropertyPageIds() const
{
    return {CLSID_WyFTPPropPage, CLSID_WyFTPConnectionPage, kStockFontPage};
}

// Persistence: the stock properties come first (the base class), then these,
// in this order.
void CWyFTPCtrl::DoPropExchange(CPropExchange& exchange)
{
    exchange.ExchangeLong(L"ShowProgressDialog", m_nShowProgressDialog, kDefaultShowProgressDialog);
    exchange.ExchangeLong(L"TreeViewWidth", m_nTreeViewWidth, kDefaultTreeViewWidth);
    exchange.ExchangeString(L"ServerName", m_strServerName, "");
    exchange.ExchangeLong(L"ListViewMode", m_nListViewMode, 1);
    exchange.ExchangeBool(L"VisibleTree", m_bVisibleTree, TRUE);
    exchange.ExchangeString(L"UserName", m_strUserName, "anonymous");
    exchange.ExchangeString(L"Password", m_strPassword, "");
    exchange.ExchangeLong(L"ConnectTarget", m_nConnectTarget, 1);
    exchange.ExchangeString(L"ConnectDirectory", m_strConnectDirectory, "/");
    exchange.ExchangeString(L"DownloadDirectory", m_strDownloadDirectory, "/");
    exchange.ExchangeLong(L"TransferByte", m_nTransferByte, kDefaultTransferKilobytes);
    exchange.ExchangeBool(L"EnableProgressDialog", m_bEnableProgressDialog, TRUE);
    exchange.ExchangeColor(L"Forecolor", m_clrFore, 0x80000008);
    exchange.ExchangeColor(L"Backcolor", m_clrBack, 0x80000005);
    // Added later: a block of their own, written only when one differs
    // from its default, so a document of defaults keeps the first layout.
    exchange.BeginExtension(1);
    exchange.ExchangeBool(L"PassiveMode", m_bPassiveMode, FALSE);
    exchange.ExchangeLong(L"Port", m_nPort, kDefaultFtpPort);
    exchange.ExchangeLong(L"Timeout", m_nTimeout, kDefaultTimeoutSeconds);
    exchange.EndExtension();
    exchange.BeginExtension(2);
    exchange.ExchangeLong(L"ServerEncoding", m_nServerEncoding, kServerEncodingShiftJis);
    exchange.EndExtension();
    if (exchange.IsLoading())
        DefaultRefusedLoadedValues();
}

void CWyFTPCtrl::DefaultRefusedLoadedValues()
{
    // ConnectTarget, ListViewMode and Port are stored unchecked by their
    // setters too: an unknown value makes Connect fail or shows icons.
    KeepOrDefault(m_nShowProgressDialog, IsShowProgressDialog(m_nShowProgressDialog), kDefaultShowProgressDialog);
    KeepOrDefault(m_nTreeViewWidth, IsTreeViewWidth(m_nTreeViewWidth), kDefaultTreeViewWidth);
    KeepOrDefault(m_nTransferByte, IsTransferByte(m_nTransferByte), kDefaultTransferKilobytes);
    KeepOrDefault(m_nTimeout, IsTimeout(m_nTimeout), kDefaultTimeoutSeconds);
    KeepOrDefault(m_nServerEncoding, IsServerEncoding(m_nServerEncoding), kServerEncodingShiftJis);
}

void CWyFTPCtrl::OnPropertiesLoaded()
{
    ApplyViewProperties();
    if (HWND window = GetHwnd())
        InvalidateRect(window, nullptr, TRUE);
}

// Property setters: they never raise. Out-of-range values are ignored, an
// unchanged value does nothing, a stored change is announced and marks the
// control modified.

void CWyFTPCtrl::PropertyChanged(DISPID id)
{
    BoundPropertyChanged(id);
    SetModifiedFlag();
}

void CWyFTPCtrl::SetEnableProgressDialog(bool enable)
{
    // A plain member: every write is announced.
    m_bEnableProgressDialog = enable;
    PropertyChanged(kEnableProgressDialog);
}

void CWyFTPCtrl::SetServerNameProperty(const std::string& serverName)
{
    // "ftp://host/" is stored as the bare host name; a host followed by a
    // directory loses only its final slash.
    std::string normalized = serverName;
    if (IsFtpUrl(normalized))
        normalized.erase(0, kFtpScheme.size());
    if (ShiftJis::EndsWithChar(normalized, '/'))
        normalized.pop_back();
    if (normalized == m_strServerName)
        return;
    m_strServerName = normalized;
    PropertyChanged(kServerName);
}

void CWyFTPCtrl::SetVisibleTree(bool visible)
{
    const BOOL normalized = visible ? 1 : 0;
    if (IsTransferring() || normalized == m_bVisibleTree)
        return;
    m_bVisibleTree = normalized;
    if (CWyFTPExplorerWnd* explorer = ExistingExplorer()) {
        explorer->ShowTree(normalized);
        if (normalized) {
            AttachTreeImages();
            ApplyBackColor(TranslateColor(GetBackColor()));
            ApplyForeColor(TranslateColor(GetForeColor()));
            if (m_pFileSystem)
                explorer->InitTreeForPath(m_strCurrentDirectory);
        }
    }
    PropertyChanged(kVisibleTree);
}

void CWyFTPCtrl::SetUserNameProperty(const std::string& userName)
{
    if (userName == m_strUserName)
        return;
    m_strUserName = userName;
    PropertyChanged(kUserName);
}

void CWyFTPCtrl::SetPasswordProperty(const std::string& password)
{
    if (password == m_strPassword)
        return;
    m_strPassword = password;
    PropertyChanged(kPassword);
}

void CWyFTPCtrl::SetConnectTarget(short target)
{
    // Stored unchecked: an unknown target makes the next Connect fail.
    if (target == m_nConnectTarget)
        return;
    m_nConnectTarget = target;
    PropertyChanged(kConnectTarget);
}

void CWyFTPCtrl::SetDownloadDirectory(const std::string& directory)
{
    if (directory == m_strDownloadDirectory)
        return;
    m_strDownloadDirectory = directory;
    PropertyChanged(kDownloadDirectory);
}

void CWyFTPCtrl::SetConnectDirectory(const std::string& directory)
{
    if (directory == m_strConnectDirectory)
        return;
    m_strConnectDirectory = directory;
    PropertyChanged(kConnectDirectory);
}

void CWyFTPCtrl::SetTransferByte(long kilobytes)
{
    if (!IsTransferByte(kilobytes) || kilobytes == m_nTransferByte)
        return;
    m_nTransferByte = kilobytes;
    PropertyChanged(kTransferByte);
}

void CWyFTPCtrl::SetListViewMode(long mode)
{
    if (IsTransferring() || mode == m_nListViewMode)
        return;
    if (CWyFTPExplorerWnd* explorer = ExistingExplorer())
        explorer->SetListViewMode(mode);
    m_nListViewMode = mode;
    PropertyChanged(kListViewMode);
}

void CWyFTPCtrl::SetTreeViewWidth(long width)
{
    if (IsTransferring() || !IsTreeViewWidth(width) || width == m_nTreeViewWidth)
        return;
    if (CWyFTPExplorerWnd* explorer = ExistingExplorer())
        explorer->SetBarPos(static_cast<int>(width));
    m_nTreeViewWidth = width;
    PropertyChanged(kTreeViewWidth);
}

void CWyFTPCtrl::SetShowProgressDialog(long kilobytes)
{
    if (!IsShowProgressDialog(kilobytes) || kilobytes == m_nShowProgressDialog)
        return;
    m_nShowProgressDialog = kilobytes;
    PropertyChanged(kShowProgressDialog);
}

void CWyFTPCtrl::SetPassiveMode(bool passive)
{
    const BOOL normalized = passive ? TRUE : FALSE;
    if (normalized == m_bPassiveMode)
        return;
    m_bPassiveMode = normalized;
    PropertyChanged(kPassiveMode);
}

void CWyFTPCtrl::SetPort(long port)
{
    // Stored unchecked, as ConnectTarget is: a port outside 1 to 65535
    // makes the next Connect fail.
    if (port == m_nPort)
        return;
    m_nPort = port;
    PropertyChanged(kPort);
}

void CWyFTPCtrl::SetTimeout(long seconds)
{
    if (!IsTimeout(seconds) || seconds == m_nTimeout)
        return;
    m_nTimeout = seconds;
    PropertyChanged(kTimeout);
}

void CWyFTPCtrl::SetServerEncoding(long encoding)
{
    if (!IsServerEncoding(encoding) || encoding == m_nServerEncoding)
        return;
    m_nServerEncoding = encoding;
    PropertyChanged(kServerEncoding);
}

// Property browsers

bool CWyFTPCtrl::OnGetDisplayString(DISPID id, std::string& text)
{
    if (id != kConnectTarget && id != kListViewMode)
        return false;
    const long value = id == kConnectTarget ? m_nConnectTarget : m_nListViewMode;
    for (const PredefinedValue& entry : kPredefinedValues) {
        if (entry.property == id && static_cast<long>(entry.value) == value)
            text = entry.text;
    }
    return true;
}

bool CWyFTPCtrl::OnGetPredefinedStrings(DISPID id, std::vector<std::pair<std::string, DWORD>>& strings)
{
    for (const PredefinedValue& entry : kPredefinedValues) {
        if (entry.property == id)
            strings.emplace_back(entry.text, entry.value);
    }
    return !strings.empty();
}

bool CWyFTPCtrl::OnGetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value)
{
    for (const PredefinedValue& entry : kPredefinedValues) {
        if (entry.property == id && entry.value == cookie) {
            value->vt = VT_I4;
            value->lVal = static_cast<LONG>(cookie);
            return true;
        }
    }
    return false;
}

// Events

void CWyFTPCtrl::FireStringEvent(DISPID id, const std::string& text)
{
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = BstrFromShiftJis(text);
    FireEvent(id, &argument, 1);
    VariantClear(&argument);
}

void CWyFTPCtrl::FireTransferProgress(LONG bytes)
{
    VARIANT argument;
    argument.vt = VT_I4;
    argument.lVal = bytes;
    FireEvent(kTransferProgressEvent, &argument, 1);
}

void CWyFTPCtrl::FireConnected() { FireEvent(kConnectedEvent); }
void CWyFTPCtrl::FireDisConnected() { FireEvent(kDisConnectedEvent); }
void CWyFTPCtrl::FireTreePopUp(const std::string& name) { FireStringEvent(kTreePopUpEvent, name); }
void CWyFTPCtrl::FireListPopUp(const std::string& name) { FireStringEvent(kListPopUpEvent, name); }
void CWyFTPCtrl::FireTransferStart(const std::string& name) { FireStringEvent(kTransferStartEvent, name); }
void CWyFTPCtrl::FireTransferEnd() { FireEvent(kTransferEndEvent); }

std::unique_ptr<CWyProgressDisplay> CWyFTPCtrl::CreateProgressDisplay(CWyFileSystem& fileSystem)
{
    return std::make_unique<CWyTransferProgressDlg>(&fileSystem);
}

void CWyFTPCtrl::FireChangeCurrentDirectory(const char* directory)
{
    FireStringEvent(kChangeCurrentDirectoryEvent, directory ? directory : "");
}
