// The control's second property page: how it connects (the properties the table puts on dialog 201).
#include "control/WyFTPConnectionPage.h"

#include "resources/resource.h"

CWyFTPConnectionPage::CWyFTPConnectionPage()
    : CWyFTPTablePage(IDD_PROPPAGE_CONNECTION, IDS_CONNECTION_PPG_CAPTION)
{
}
