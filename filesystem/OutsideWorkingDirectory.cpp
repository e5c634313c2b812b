// Acting on the directory a store stands in: out of it meanwhile, then where it went, or back after a failure.
#include "filesystem/OutsideWorkingDirectory.h"

#include "filesystem/WyFileSystem.h"
#include "framework/Exception.h"

void RunOutsideWorkingDirectory(CWyFileSystem& store, bool standsInIt, const std::string& before,
                                const std::string& after, const std::function<void()>& work)
{
    if (standsInIt)
        store.SetCurrentDirectory("/");
    try {
        work();
    } catch (const CException&) {
        if (standsInIt) {
            try {
                store.SetCurrentDirectory(before.c_str());
            } catch (const CException&) {
            }
        }
        throw;
    }
    if (standsInIt)
        store.SetCurrentDirectory(after.c_str());
}
