// The control's custom properties, one line each: everything the code and the tests know about them comes from here.
#include "control/WyFTPProperty.h"

#include "control/WyFTPCtrl.h"
#include "resources/resource.h"

#include <cwchar>
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

// Timeout, ReconnectTime, KeepAliveInterval: a day at most; a host that
// asks for more has made a mistake.
constexpr long kMaxSeconds = 24 * 60 * 60;

bool IsSeconds(long seconds)
{
    return seconds >= 0 && seconds <= kMaxSeconds;
}

bool IsServerEncoding(long encoding)
{
    return encoding >= CFtpOptions::shiftJis && encoding <= CFtpOptions::automatic;
}

bool IsSecurityMode(long mode)
{
    return mode >= CFtpOptions::none && mode <= CFtpOptions::implicitTls;
}

// The items of the pages' drop-down lists; an item's index is the value.
constexpr const char* kConnectTargets[] = {"0 - WyConnectTargetLOCAL", "1 - WyConnectTargetFTP",
                                           "2 - WyConnectTargetSFTP"};
constexpr const char* kListViewModes[] = {
    "0　-　WyFTPListViewModeIcon", "1　-　WyFTPListViewModeReport", "2　-　WyFTPListViewModeSmallIcon",
    "3　-　WyFTPListViewModeList"};
constexpr const char* kServerEncodings[] = {"0 - Shift-JIS", "1 - UTF-8", "2 - 自動（FEAT UTF8、OPTS UTF8 ON）"};
constexpr const char* kSecurityModes[] = {"0 - WyFTPSecurityNone", "1 - WyFTPSecurityExplicitTls",
                                          "2 - WyFTPSecurityImplicitTls"};

using C = CWyFTPCtrl;
using Kind = WyFTPPropertyKind;
using Control = WyFTPPageControl;

constexpr Kind Flag(BOOL defaultValue) { return {Kind::Flag, defaultValue, nullptr}; }
constexpr Kind Number(long defaultValue) { return {Kind::Number, defaultValue, nullptr}; }
constexpr Kind ShortNumber(long defaultValue) { return {Kind::ShortNumber, defaultValue, nullptr}; }
constexpr Kind Text(const char* defaultValue) { return {Kind::Text, 0, defaultValue}; }

// The two pages of the control, by their dialog templates.
constexpr UINT kGeneral = IDD_PROPPAGE_WYFTP;
constexpr UINT kConnection = IDD_PROPPAGE_CONNECTION;

constexpr Control CheckBox(UINT page, int id) { return {Control::CheckBox, page, id, nullptr, 0}; }
constexpr Control NumberBox(UINT page, int id) { return {Control::NumberBox, page, id, nullptr, 0}; }
constexpr Control TextBox(UINT page, int id) { return {Control::TextBox, page, id, nullptr, 0}; }

template <size_t N>
constexpr Control ListIndex(UINT page, int id, const char* const (&items)[N])
{
    return {Control::ListIndex, page, id, items, N};
}

}  // namespace

// Dispatch IDs 1 to 12 are the first properties'; properties added later
// take IDs after the last method's (33) and go in a new stream block (see
// WyFTPProperty). ShowProgressDialog and TransferByte count kilobytes,
// TreeViewWidth pixels, Timeout, ReconnectTime and KeepAliveInterval seconds. LastCertificateFingerprint (40)
// is read-only and never saved: it is no row.
WyFTPPropertyTable WyFTPProperties()
{
    // clang-format off
    static constexpr WyFTPProperty kRows[] = {
        // ID name                     type and default                   check                 block page control, setter with rules of its own
        {12, L"ShowProgressDialog",    Number(100),                       IsShowProgressDialog, 0, NumberBox(kGeneral, IDC_SHOW_PROGRESS_DIALOG)},
        {11, L"TreeViewWidth",         Number(100),                       IsTreeViewWidth,      0, NumberBox(kGeneral, IDC_TREE_VIEW_WIDTH), &C::PutTreeViewWidth},
        {2,  L"ServerName",            Text(""),                          nullptr,              0, TextBox(kGeneral, IDC_SERVER_NAME), &C::PutServerName},
        {10, L"ListViewMode",          Number(1),                         nullptr,              0, ListIndex(kGeneral, IDC_LIST_VIEW_MODE, kListViewModes), &C::PutListViewMode},
        {3,  L"VisibleTree",           Flag(TRUE),                        nullptr,              0, CheckBox(kGeneral, IDC_VISIBLE_TREE), &C::PutVisibleTree},
        {4,  L"UserName",              Text(kAnonymousUser),              nullptr,              0, TextBox(kGeneral, IDC_USER_NAME)},
        {5,  L"Password",              Text(""),                          nullptr,              0, TextBox(kGeneral, IDC_PASSWORD)},
        {6,  L"ConnectTarget",         ShortNumber(1),                    nullptr,              0, ListIndex(kGeneral, IDC_CONNECT_TARGET, kConnectTargets)},
        {8,  L"ConnectDirectory",      Text("/"),                         nullptr,              0, TextBox(kGeneral, IDC_CONNECT_DIRECTORY)},
        {7,  L"DownloadDirectory",     Text("/"),                         nullptr,              0, TextBox(kGeneral, IDC_DOWNLOAD_DIRECTORY)},
        {9,  L"TransferByte",          Number(kDefaultTransferKilobytes), IsTransferByte,       0, NumberBox(kGeneral, IDC_TRANSFER_BYTE)},
        {1,  L"EnableProgressDialog",  Flag(TRUE),                        nullptr,              0, CheckBox(kGeneral, IDC_ENABLE_PROGRESS_DIALOG), &C::PutAnnouncingEveryWrite},
        {34, L"PassiveMode",           Flag(FALSE),                       nullptr,              1, CheckBox(kConnection, IDC_PASSIVE_MODE)},
        {35, L"Port",                  Number(kFtpPort),                  nullptr,              1, NumberBox(kConnection, IDC_PORT)},
        {36, L"Timeout",               Number(kDefaultTimeoutSeconds),    IsSeconds,            1, NumberBox(kConnection, IDC_TIMEOUT)},
        {37, L"ServerEncoding",        Number(CFtpOptions::shiftJis),     IsServerEncoding,     2, ListIndex(kConnection, IDC_SERVER_ENCODING, kServerEncodings)},
        {38, L"SecurityMode",          Number(CFtpOptions::none),         IsSecurityMode,       3, ListIndex(kConnection, IDC_SECURITY_MODE, kSecurityModes)},
        {39, L"CertificatePin",        Text(""),                          nullptr,              3, TextBox(kConnection, IDC_CERTIFICATE_PIN), &C::PutCertificatePin},
        {41, L"ReconnectTime",         Number(0),                         IsSeconds,            4, NumberBox(kConnection, IDC_RECONNECT_TIME)},
        {42, L"KeepAliveInterval",     Number(0),                         IsSeconds,            4, NumberBox(kConnection, IDC_KEEP_ALIVE_INTERVAL)},
        {43, L"TraceFile",             Text(""),                          nullptr,              4, TextBox(kConnection, IDC_TRACE_FILE)},
        {44, L"EnableProtocolTrace",   Flag(FALSE),                       nullptr,              4, CheckBox(kConnection, IDC_ENABLE_PROTOCOL_TRACE)},
        {45, L"PrivateKeyFile",        Text(""),                          nullptr,              5, TextBox(kConnection, IDC_PRIVATE_KEY_FILE)},
    };
    // clang-format on
    return {kRows, std::size(kRows)};
}

VARTYPE WyFTPProperty::AutomationType() const
{
    switch (value.type) {
    case WyFTPPropertyKind::Flag:
        return VT_BOOL;
    case WyFTPPropertyKind::ShortNumber:
        return VT_I2;
    case WyFTPPropertyKind::Text:
        return VT_BSTR;
    case WyFTPPropertyKind::Number:
        break;
    }
    return VT_I4;
}

const WyFTPProperty* WyFTPPropertyTable::Find(DISPID id) const
{
    for (const WyFTPProperty& property : *this) {
        if (property.id == id)
            return &property;
    }
    return nullptr;
}

const WyFTPProperty* WyFTPPropertyTable::Find(const wchar_t* name) const
{
    for (const WyFTPProperty& property : *this) {
        if (std::wcscmp(property.name, name) == 0)
            return &property;
    }
    return nullptr;
}
