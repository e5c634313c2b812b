// Definitions of the module's identifiers (the type library's and the property page's).
#include <windows.h>

#include <initguid.h>

#include "control/WyFTPIds.h"

extern "C" const CLSID CLSID_WyFTPPropPage = {
    0x4B19A2E7, 0x7C05, 0x4D6A, {0x8E, 0x31, 0x52, 0xF0, 0xC9, 0xD7, 0xA6, 0x11}};
