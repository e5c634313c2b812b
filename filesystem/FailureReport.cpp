// How a failure reaches the host: the one place where an exception becomes a status code, a category and a last error.
#include "filesystem/FailureReport.h"

#include "filesystem/SystemErrorText.h"
#include "filesystem/WyFTPException.h"
#include "framework/FileException.h"
#include "framework/InternetException.h"
#include "resources/resource.h"

namespace {

CWyFailure SystemFailure(const CException& error, DWORD number, SCODE status, UINT categoryId)
{
    CWyFailure failure = {status, categoryId, true, 0, {}, 0};
    failure.message = DescribeSystemError(error, number, failure.helpContext);
    failure.code = static_cast<long>(number);
    return failure;
}

}  // namespace

CWyFailure ClassifyFailure(const CException& error)
{
    if (const auto* fileError = dynamic_cast<const CFileException*>(&error))
        return SystemFailure(error, static_cast<DWORD>(fileError->m_lOsError), WyFTPScodeWin32, IDS_CATEGORY_WIN32);
    if (const auto* internetError = dynamic_cast<const CInternetException*>(&error))
        return SystemFailure(error, internetError->m_dwError, WyFTPScodeInternet, IDS_CATEGORY_WININET);
    if (const auto* ownError = dynamic_cast<const CWyFTPException*>(&error))
        return {WyFTPScodeOwn, IDS_CATEGORY_WYFTP, true, ownError->m_nErrorCode, GetErrorText(ownError->m_nErrorCode), 0};
    return OtherFailure();
}

CWyFailure OtherFailure()
{
    return {WyFTPScodeOther, IDS_CATEGORY_OTHER, false, 0, {}, 0xFFFFFFFF};
}
