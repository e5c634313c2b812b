// Reports a failed user action through the control's Error event instead of raising it.
#pragma once
#include "explorer/WyExplorerOwner.h"

class CException;

// What follows the category in the Error event's description.
enum class ErrorDescription { CategoryOnly, CategoryAndMessage };

// Records the failure's code and text as the control's last error, ends a
// transfer the action had marked as running, and fires Error with the
// failure's status: file errors 0x800A03E8, Internet errors 0x800A03E9, the
// program's own 0x800A03EA. Other failures are reported as 0x800A03EB
// ("other error") when reportOthers is true and dropped otherwise.
void ReportActionError(CWyExplorerOwner& owner, const CException& error, ErrorDescription description,
                       bool reportOthers = false);
