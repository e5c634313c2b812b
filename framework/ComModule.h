// The module's count of live objects and server locks, which decides whether it may unload.
#pragma once

// These two counters are the module state COM itself requires
// (DllCanUnloadNow); nothing else in the program is global.
namespace ComModule {
void AddObject();
void RemoveObject();
void Lock();
void Unlock();
bool CanUnload();
long ObjectCount();
}  // namespace ComModule
