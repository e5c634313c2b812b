// The control's error state and the conversion of failures into automation errors or Error events.
#include "control/WyFTPCtrl.h"

#include "control/WyFTPIds.h"
#include "filesystem/SystemErrorText.h"
#include "filesystem/WyFTPException.h"
#include "framework/CodePage932.h"
#include "framework/FileException.h"
#include "framework/InternetException.h"
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

void CWyFTPCtrl::RaiseSystemError(const CException& error, long code, SCODE status, UINT categoryId)
{
    DWORD number = static_cast<DWORD>(code);
    UINT helpContext = 0;
    const std::string text = DescribeSystemError(error, number, helpContext);
    SetLastErrorInfo(static_cast<long>(number), text);
    RaiseError(status, categoryId, helpContext);
}

void CWyFTPCtrl::RunGuarded(const std::function<void()>& work)
{
    // Any other failure; the last code and message stay as they were.
    const auto reportOther = [this] { RaiseError(WyFTPScodeOther, IDS_CATEGORY_OTHER, 0xFFFFFFFF); };
    try {
        WithFileSystemInUse(work);
    } catch (const COleDispatchException&) {
        throw;  // already an automation error: it goes straight to the host
    } catch (const CFileException& error) {
        RaiseSystemError(error, error.m_lOsError, WyFTPScodeWin32, IDS_CATEGORY_WIN32);
    } catch (const CInternetException& error) {
        RaiseSystemError(error, static_cast<long>(error.m_dwError), WyFTPScodeInternet, IDS_CATEGORY_WININET);
    } catch (const CWyFTPException& error) {
        RaiseOwnError(error.m_nErrorCode);
    } catch (const CException&) {
        reportOther();
    } catch (const std::bad_alloc&) {  // the runtime's out-of-memory failure
        reportOther();
    }
}
