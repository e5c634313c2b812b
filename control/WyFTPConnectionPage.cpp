// The control's second property page: how it connects (passive mode, port, timeout, server encoding).
#include "control/WyFTPConnectionPage.h"

#include "control/WyFTPIds.h"
#include "framework/CodePage932.h"
#include "resources/resource.h"

#include <iterator>

namespace {

// The drop-down list's items; an item's index is the property's value.
const char* const kServerEncodings[] = {"0 - WyFTPServerEncodingShiftJis", "1 - WyFTPServerEncodingUTF8",
                                        "2 - WyFTPServerEncodingAuto"};

}  // namespace

CWyFTPConnectionPage::CWyFTPConnectionPage() : COlePropertyPage(IDD_PROPPAGE_CONNECTION, IDS_CONNECTION_PPG_CAPTION) {}

TypeLibraryId CWyFTPConnectionPage::GetTypeLibraryId() const { return kWyFTPTypeLibrary; }

void CWyFTPConnectionPage::OnInitDialog()
{
    for (const char* item : kServerEncodings)
        SendDlgItemMessageW(GetDialog(), IDC_SERVER_ENCODING, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(ToWide(item).c_str()));
}

void CWyFTPConnectionPage::DoDataExchange(CDataExchange& exchange)
{
    ExchangeCheck(exchange, IDC_PASSIVE_MODE, m_bPassiveMode, L"PassiveMode");
    ExchangeNumber(exchange, IDC_PORT, m_lPort, L"Port");
    ExchangeNumber(exchange, IDC_TIMEOUT, m_lTimeout, L"Timeout");
    ExchangeListIndex(exchange, IDC_SERVER_ENCODING, m_nServerEncoding, L"ServerEncoding");
}
