// Reports a failed user action through the control's Error event instead of raising it.
#include "explorer/WyActionError.h"

#include "filesystem/SystemErrorText.h"
#include "filesystem/WyFTPException.h"
#include "framework/CodePage932.h"
#include "framework/FileException.h"
#include "framework/InternetException.h"
#include "resources/resource.h"

namespace {

const char kCategorySeparator[] = "：";

}  // namespace

void ReportActionError(CWyExplorerOwner& owner, const CException& error, ErrorDescription description,
                       bool reportOthers)
{
    if (owner.IsTransferring())
        owner.SetTransferring(false);
    SCODE status = WyFTPScodeOther;
    UINT categoryId = IDS_CATEGORY_OTHER;
    UINT helpContext = 0;
    std::string message;
    if (const auto* fileError = dynamic_cast<const CFileException*>(&error)) {
        DWORD number = static_cast<DWORD>(fileError->m_lOsError);
        message = DescribeSystemError(error, number, helpContext);
        owner.SetLastErrorInfo(static_cast<long>(number), message);
        status = WyFTPScodeWin32;
        categoryId = IDS_CATEGORY_WIN32;
    } else if (const auto* internetError = dynamic_cast<const CInternetException*>(&error)) {
        DWORD number = internetError->m_dwError;
        message = DescribeSystemError(error, number, helpContext);
        owner.SetLastErrorInfo(static_cast<long>(number), message);
        status = WyFTPScodeInternet;
        categoryId = IDS_CATEGORY_WININET;
    } else if (const auto* ownError = dynamic_cast<const CWyFTPException*>(&error)) {
        message = GetErrorText(ownError->m_nErrorCode);
        owner.SetLastErrorInfo(ownError->m_nErrorCode, message);
        status = WyFTPScodeOwn;
        categoryId = IDS_CATEGORY_WYFTP;
    } else if (!reportOthers) {
        return;
    } else {
        helpContext = 0xFFFFFFFF;
        description = ErrorDescription::CategoryOnly;
    }
    std::string text = LoadResourceString(categoryId);
    if (description == ErrorDescription::CategoryAndMessage)
        text += kCategorySeparator + message;
    owner.FireErrorEvent(status, text, helpContext);
}
