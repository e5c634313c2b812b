// Reports a failed user action through the control's Error event instead of raising it.
#include "explorer/WyActionError.h"

#include "filesystem/FailureReport.h"
#include "framework/CodePage932.h"

namespace {

const char kCategorySeparator[] = "：";

}  // namespace

void ReportActionError(CWyExplorerOwner& owner, const CException& error, ErrorDescription description,
                       bool reportOthers)
{
    if (owner.IsTransferring())
        owner.SetTransferring(false);
    const CWyFailure failure = ClassifyFailure(error);
    if (!failure.recorded && !reportOthers)
        return;
    std::string text = LoadResourceString(failure.categoryId);
    if (failure.recorded) {
        owner.SetLastErrorInfo(failure.code, failure.message);
        if (description == ErrorDescription::CategoryAndMessage)
            text += kCategorySeparator + failure.message;
    }
    owner.FireErrorEvent(failure.status, text, failure.helpContext);
}
