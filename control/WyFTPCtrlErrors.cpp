// The control's error state and the conversion of failures into automation errors or Error events.
#include "control/WyFTPCtrl.h"

#include "control/WyFTPIds.h"
#include "filesystem/FailureReport.h"
#include "filesystem/WyFTPException.h"
#include "framework/CodePage932.h"
#include "framework/OleDispatchException.h"
#include "resources/resource.h"

#include <new>

long CWyFTPCtrl::GetLastError() const
{
    return IsTransferring() ? -1 : m_lLastErrorCode;
}

std::string CWyFTPCtrl::GetErrorMessage() const
{
    return IsTransferring() ? std::string() : m_strLastErrorMessage;
}

void CWyFTPCtrl::SetLastErrorInfo(long code, const std::string& message)
{
    m_lLastErrorCode = code;
    m_strLastErrorMessage = message;
}

void CWyFTPCtrl::ReportError(SCODE status, const std::string& description, UINT helpContext)
{
    FireError(status, description, helpContext);
}

void CWyFTPCtrl::FireErrorEvent(SCODE status, const std::string& description, UINT helpContext)
{
    ReportError(status, description, helpContext);
}

void CWyFTPCtrl::RaiseError(SCODE status, UINT descriptionId, UINT helpContext)
{
    ThrowError(status, LoadResourceString(descriptionId), helpContext);
}

void CWyFTPCtrl::RaiseOwnError(int code)
{
    SetLastErrorInfo(code, GetErrorText(code));
    RaiseError(WyFTPScodeOwn, IDS_CATEGORY_WYFTP, 0);
}

void CWyFTPCtrl::RequireFileSystem()
{
    RaiseOwnError(WyFTPErrorNoFileSystem);
}

void CWyFTPCtrl::RaiseNoFileName()
{
    RaiseOwnError(WyFTPErrorNoFileName);
}

void CWyFTPCtrl::RunGuarded(const std::function<void()>& work)
{
    CWyFailure failure;
    try {
        WithFileSystemInUse(work);
        return;
    } catch (const COleDispatchException&) {
        throw;  // already an automation error: it goes straight to the host
    } catch (const CException& error) {
        failure = ClassifyFailure(error);
    } catch (const std::bad_alloc&) {  // the runtime's out-of-memory failure
        failure = OtherFailure();
    }
    // An "other" failure leaves the last code and message as they were.
    if (failure.recorded)
        SetLastErrorInfo(failure.code, failure.message);
    RaiseError(failure.status, failure.categoryId, failure.helpContext);
}
