// The control's second property page: how it connects (passive mode, port, timeout).
#include "control/WyFTPConnectionPage.h"

#include "control/WyFTPIds.h"
#include "resources/resource.h"

CWyFTPConnectionPage::CWyFTPConnectionPage() : COlePropertyPage(IDD_PROPPAGE_CONNECTION, IDS_CONNECTION_PPG_CAPTION) {}

TypeLibraryId CWyFTPConnectionPage::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }

void CWyFTPConnectionPage::DoDataExchange(CDataExchange& exchange)
{
    ExchangeCheck(exchange, IDC_PASSIVE_MODE, m_bPassiveMode, L"PassiveMode");
    ExchangeNumber(exchange, IDC_PORT, m_lPort, L"Port");
    ExchangeNumber(exchange, IDC_TIMEOUT, m_lTimeout, L"Timeout");
}
