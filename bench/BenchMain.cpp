// The frame of every benchmark host's main: OLE on the thread, a BenchError reported as the host's failure.
#include "bench/BenchMain.h"

#include "bench/TransferCase.h"

#include <ole2.h>

#include <cstdio>

int RunBenchHost(const char* name, int (*run)(int, char**), int argc, char** argv)
{
    OleInitialize(nullptr);
    int status = 1;
    try {
        status = run(argc, argv);
    } catch (const BenchError& error) {
        std::fprintf(stderr, "%s: %s\n", name, error.what());
    }
    OleUninitialize();
    return status;
}
