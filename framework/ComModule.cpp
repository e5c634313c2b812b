// The module's count of live objects and server locks, which decides whether it may unload.
#include "framework/ComModule.h"

#include <windows.h>

namespace {
// All COM objects of this module live in apartment-threaded hosts, but
// counts may still be read from other threads by the COM runtime.
volatile LONG g_objects = 0;
volatile LONG g_locks = 0;
}  // namespace

namespace ComModule {
void AddObject() { InterlockedIncrement(&g_objects); }
void RemoveObject() { InterlockedDecrement(&g_objects); }
void Lock() { InterlockedIncrement(&g_locks); }
void Unlock() { InterlockedDecrement(&g_locks); }
bool CanUnload() { return g_objects == 0 && g_locks == 0; }
long ObjectCount() { return g_objects; }
}  // namespace ComModule
