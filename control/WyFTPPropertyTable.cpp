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

bool IsTimeout(long seconds)
{
    return seconds >= 0 && seconds <= kMaxTimeoutSeconds;
}

bool IsServerEncoding(long encoding)
{
    return encoding >= kServerEncodingShiftJis && encoding <= kServerEncodingAutomatic;
}

// The items of the pages' drop-down lists; an item's index is the value.
constexpr const char* kConnectTargets[] = {"0 - WyConnectTargetLOCAL", "1 - WyConnectTargetFTP"};
constexpr const char* kListViewModes[] = {
    "0　-　WyFTPListViewModeIcon", "1　-　WyFTPListViewModeReport", "2　-　WyFTPListViewModeSmallIcon",
    "3　-　WyFTPListViewModeList"};
constexpr const char* kServerEncodings[] = {"0 - Shift-JIS", "1 - UTF-8", "2 - 自動（OPTS UTF8 ON）"};

using C = CWyFTPCtrl;
using Storage = WyFTPPropertyStorage;
using Control = WyFTPPageControl;

constexpr Storage Flag(BOOL C::*member, BOOL defaultValue)
{
    return {Storage::Flag, member, nullptr, nullptr, defaultValue, nullptr};
}

constexpr Storage Number(long C::*member, long defaultValue)
{
    return {Storage::Number, nullptr, member, nullptr, defaultValue, nullptr};
}

constexpr Storage ShortNumber(long C::*member, long defaultValue)
{
    return {Storage::ShortNumber, nullptr, member, nullptr, defaultValue, nullptr};
}

constexpr Storage Text(std::string C::*member, const char* defaultValue)
{
    return {Storage::Text, nullptr, nullptr, member, 0, defaultValue};
}

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
// take IDs after the last method's (33). Stream blocks: see WyFTPProperty.
WyFTPPropertyTable WyFTPProperties()
{
    // clang-format off
    static constexpr WyFTPProperty kRows[] = {
        // ID name                    storage and default                                    check                 block page control                                          setter
        {12, L"ShowProgressDialog",   Number(&C::m_nShowProgressDialog, 100),               IsShowProgressDialog, 0, NumberBox(kGeneral, IDC_SHOW_PROGRESS_DIALOG)},   // kilobytes
        {11, L"TreeViewWidth",        Number(&C::m_nTreeViewWidth, 100),                    IsTreeViewWidth,      0, NumberBox(kGeneral, IDC_TREE_VIEW_WIDTH),        &C::PutTreeViewWidth},  // pixels
        {2,  L"ServerName",           Text(&C::m_strServerName, ""),                        nullptr,              0, TextBox(kGeneral, IDC_SERVER_NAME),              &C::PutServerName},
        {10, L"ListViewMode",         Number(&C::m_nListViewMode, 1),                       nullptr,              0, ListIndex(kGeneral, IDC_LIST_VIEW_MODE, kListViewModes), &C::PutListViewMode},
        {3,  L"VisibleTree",          Flag(&C::m_bVisibleTree, TRUE),                       nullptr,              0, CheckBox(kGeneral, IDC_VISIBLE_TREE),            &C::PutVisibleTree},
        {4,  L"UserName",             Text(&C::m_strUserName, "anonymous"),                 nullptr,              0, TextBox(kGeneral, IDC_USER_NAME)},
        {5,  L"Password",             Text(&C::m_strPassword, ""),                          nullptr,              0, TextBox(kGeneral, IDC_PASSWORD)},
        {6,  L"ConnectTarget",        ShortNumber(&C::m_nConnectTarget, 1),                 nullptr,              0, ListIndex(kGeneral, IDC_CONNECT_TARGET, kConnectTargets)},
        {8,  L"ConnectDirectory",     Text(&C::m_strConnectDirectory, "/"),                 nullptr,              0, TextBox(kGeneral, IDC_CONNECT_DIRECTORY)},
        {7,  L"DownloadDirectory",    Text(&C::m_strDownloadDirectory, "/"),                nullptr,              0, TextBox(kGeneral, IDC_DOWNLOAD_DIRECTORY)},
        {9,  L"TransferByte",         Number(&C::m_nTransferByte, kDefaultTransferKilobytes), IsTransferByte,     0, NumberBox(kGeneral, IDC_TRANSFER_BYTE)},
        {1,  L"EnableProgressDialog", Flag(&C::m_bEnableProgressDialog, TRUE),              nullptr,              0, CheckBox(kGeneral, IDC_ENABLE_PROGRESS_DIALOG),  &C::PutAnnouncingEveryWrite},
        {34, L"PassiveMode",          Flag(&C::m_bPassiveMode, FALSE),                      nullptr,              1, CheckBox(kConnection, IDC_PASSIVE_MODE)},
        {35, L"Port",                 Number(&C::m_nPort, kDefaultFtpPort),                 nullptr,              1, NumberBox(kConnection, IDC_PORT)},
        {36, L"Timeout",              Number(&C::m_nTimeout, kDefaultTimeoutSeconds),       IsTimeout,            1, NumberBox(kConnection, IDC_TIMEOUT)},
        {37, L"ServerEncoding",       Number(&C::m_nServerEncoding, kServerEncodingShiftJis), IsServerEncoding,   2, ListIndex(kConnection, IDC_SERVER_ENCODING, kServerEncodings)},
    };
    // clang-format on
    return {kRows, std::size(kRows)};
}

VARTYPE WyFTPProperty::AutomationType() const
{
    switch (value.type) {
    case WyFTPPropertyStorage::Flag:
        return VT_BOOL;
    case WyFTPPropertyStorage::ShortNumber:
        return VT_I2;
    case WyFTPPropertyStorage::Text:
        return VT_BSTR;
    case WyFTPPropertyStorage::Number:
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
