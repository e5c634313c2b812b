// An IEnumOLEVERB over a fixed list of verbs: how a control tells its container what it can do.
#pragma once
#include <windows.h>
#include <oleidl.h>

#include <vector>

// Creates an enumerator over copies of verbs (names included), positioned
// at the first; null when memory runs out.
IEnumOLEVERB* CreateVerbEnumerator(const std::vector<OLEVERB>& verbs);
