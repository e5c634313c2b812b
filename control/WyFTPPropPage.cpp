// The control's own property page: the custom properties the table puts on dialog 200.
#include "control/WyFTPPropPage.h"

#include "resources/resource.h"

CWyFTPPropPage::CWyFTPPropPage() : CWyFTPTablePage(IDD_PROPPAGE_WYFTP, IDS_WYFTP_PPG_CAPTION) {}

bool CWyFTPPropPage::OnHelp(const wchar_t*)
{
    WinHelpW(GetDialog(), GetHelpFile(), HELP_CONTENTS, 0);
    return true;
}
