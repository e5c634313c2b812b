// The control's own property page: all twelve custom properties on dialog 200.
#include "control/WyFTPPropPage.h"

#include "control/WyFTPIds.h"
#include "framework/CodePage932.h"
#include "resources/resource.h"

namespace {

// The drop-down lists' items; an item's index is the property's value.
const char* const kConnectTargets[] = {"0 - WyConnectTargetLOCAL", "1 - WyConnectTargetFTP"};
const char* const kListViewModes[] = {
    "0　-　WyFTPListViewModeIcon", "1　-　WyFTPListViewModeReport", "2　-　WyFTPListViewModeSmallIcon",
    "3　-　WyFTPListViewModeList"};

void FillList(HWND dialog, int controlId, const char* const* items, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        SendDlgItemMessageW(dialog, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(items[i]).c_str()));
}

}  // namespace

CWyFTPPropPage::CWyFTPPropPage() : COlePropertyPage(IDD_PROPPAGE_WYFTP, IDS_WYFTP_PPG_CAPTION) {}

TypeLibraryId CWyFTPPropPage::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }

void CWyFTPPropPage::OnInitDialog()
{
    FillList(GetDialog(), IDC_CONNECT_TARGET, kConnectTargets, std::size(kConnectTargets));
    FillList(GetDialog(), IDC_LIST_VIEW_MODE, kListViewModes, std::size(kListViewModes));
}

void CWyFTPPropPage::DoDataExchange(CDataExchange& exchange)
{
    ExchangeCheck(exchange, IDC_VISIBLE_TREE, m_bVisibleTree, L"VisibleTree");
    ExchangeText(exchange, IDC_CONNECT_DIRECTORY, m_strConnectDirectory, L"ConnectDirectory");
    ExchangeText(exchange, IDC_DOWNLOAD_DIRECTORY, m_strDownloadDirectory, L"DownloadDirectory");
    ExchangeText(exchange, IDC_PASSWORD, m_strPassword, L"Password");
    ExchangeText(exchange, IDC_SERVER_NAME, m_strServerName, L"ServerName");
    ExchangeNumber(exchange, IDC_TRANSFER_BYTE, m_lTransferByte, L"TransferByte");
    ExchangeText(exchange, IDC_USER_NAME, m_strUserName, L"UserName");
    ExchangeListIndex(exchange, IDC_CONNECT_TARGET, m_nConnectTarget, L"ConnectTarget");
    ExchangeListIndex(exchange, IDC_LIST_VIEW_MODE, m_nListViewMode, L"ListViewMode");
    ExchangeCheck(exchange, IDC_ENABLE_PROGRESS_DIALOG, m_bEnableProgressDialog, L"EnableProgressDialog");
    ExchangeNumber(exchange, IDC_TREE_VIEW_WIDTH, m_lTreeViewWidth, L"TreeViewWidth");
    ExchangeNumber(exchange, IDC_SHOW_PROGRESS_DIALOG, m_lShowProgressDialog, L"ShowProgressDialog");
}

bool CWyFTPPropPage::OnHelp(const wchar_t*)
{
    WinHelpW(GetDialog(), GetHelpFile(), HELP_CONTENTS, 0);
    return true;
}
