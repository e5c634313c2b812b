// Names of the platform's standard dispatch IDs (stock properties, methods and events).
#pragma once
#include <windows.h>
#include <oaidl.h>

// "DISPID_BACKCOLOR" for -501; nullptr for an ID of the control's own.
const char* StandardDispatchIdName(MEMBERID id);
