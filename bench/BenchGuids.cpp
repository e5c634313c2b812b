// Definitions of the control's class and event interface identifiers, from the generated type library header.
#include <windows.h>

#include <initguid.h>

#include "control/typelib/WyFTP_h.h"
