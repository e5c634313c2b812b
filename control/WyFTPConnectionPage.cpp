// The control's second property page: how it connects (passive mode, port, timeout, encoding).
#include "control/WyFTPConnectionPage.h"

#include "control/WyFTPIds.h"
#include "framework/CodePage932.h"
#include "resources/resource.h"

CWyFTPConnectionPage::CWyFTPConnectionPage() : COlePropertyPage(IDD_PROPPAGE_CONNECTION, IDS_CONNECTION_PPG_CAPTION) {}

TypeLibraryId CWyFTPConnectionPage::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }

void CWyFTPConnectionPage::OnInitDialog()
{
    // An item's index is the property's value.
    for (const char* item : {"0 - Shift-JIS", "1 - UTF-8", "2 - 自動（OPTS UTF8 ON）"}) {
        SendDlgItemMessageW(GetDialog(), IDC_SERVER_ENCODING, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(ToWide(item).c_str()));
    }
}

void CWyFTPConnectionPage::DoDataExchange(CDataExchange& exchange)
{
    ExchangeCheck(exchange, IDC_PASSIVE_MODE, m_bPassiveMode, L"PassiveMode");
    ExchangeNumber(exchange, IDC_PORT, m_lPort, L"Port");
    ExchangeNumber(exchange, IDC_TIMEOUT, m_lTimeout, L"Timeout");
    ExchangeListIndex(exchange, IDC_SERVER_ENCODING, m_nServerEncoding, L"ServerEncoding");
}
