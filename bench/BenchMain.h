// The frame of every benchmark host's main: OLE on the thread, a BenchError reported as the host's failure.
#pragma once

// Runs run(argc, argv) between OleInitialize and OleUninitialize; a
// BenchError it raises is printed as "name: message" and the host fails.
int RunBenchHost(const char* name, int (*run)(int, char**), int argc, char** argv);
