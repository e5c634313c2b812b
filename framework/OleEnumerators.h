// The enumerators a control hands its container: its verbs, its connection points, a point's connections.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include "framework/ComPtr.h"

#include <string>
#include <utility>
#include <vector>

// A verb and its name, kept by the verb enumerator.
struct COleVerbEntry {
    OLEVERB verb;
    std::wstring name;
};

// Next hands out verbs whose names the caller frees with CoTaskMemFree.
IEnumOLEVERB* CreateVerbEnumerator(const std::vector<COleVerbEntry>& verbs);
IEnumConnectionPoints* CreateConnectionPointEnumerator(const std::vector<ComPtr<IConnectionPoint>>& points);
// The connections as (cookie, sink); Next hands out referenced sinks.
IEnumConnections* CreateConnectionEnumerator(const std::vector<std::pair<DWORD, ComPtr<IUnknown>>>& connections);
