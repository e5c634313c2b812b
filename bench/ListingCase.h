// What the listing benchmark lists (the server's directories and their sizes) and what one measurement gave.
#pragma once
#include "bench/TransferCase.h"
#include "bench/TransferMeter.h"

#include <string>

// The directories bench/listing made on the server.
struct ListingSetup {
    BenchSetup server;         // host, user, password, wineserver pid
    std::string filesDir;      // a directory of files only ("/many")
    long files = 0;            // how many it holds
    std::string levelsDir;     // a directory of subdirectories, each holding one subdirectory ("/levels")
    long subdirs = 0;          // how many it holds
    std::string oneSubdir;     // one of them ("/levels/dir-001"), for the bare listing of a subdirectory
    std::string localDrive;    // the drive of the local copy of the files ("Z:")
    std::string localFilesDir; // the same files on the local disk, a path on that drive
    long localFiles = 0;       // how many of them
    std::string smallFile;     // a small file to download ("/small/small.bin"), alone in its directory
    long smallFileBytes = 0;   // its size
    std::string downloadDir;   // the local directory it is downloaded to (a Windows path)
    std::string uploadDir;     // a directory the user may write in ("/uploads"), where it goes back up
    std::string countsFile;    // the latency proxy's command counts (a Windows path), or empty
    bool wininet = false;      // also time bare WinInet listings beside the control's
};

// One measured call, printed as one "sample" line.
struct ListingSample {
    std::string label;         // connect, list, sort, tree, get, put, local or local-sort
    std::string tool;          // control, wininet or findfile (curl's lines come from the script)
    std::string what;          // the case: setdir, refresh, name-asc, ...
    std::string directory;     // the directory listed
    long entries = -1;         // rows in the list, or entries the listing gave
    double seconds = 0;        // the whole timed section
    double callSeconds = -1;   // the control only: until its method returned, before painting
    double cpuClient = -1;     // CPU seconds of this process meanwhile
    double cpuServer = -1;     // CPU seconds of the wineserver meanwhile
    double stall = -1;         // the control only: the longest the window left a message from another thread unanswered
    long commands = -1;        // commands the client sent meanwhile (through the latency proxy), or -1
    std::string verbs = "-";   // those commands by verb: "LIST:1,PASV:1", or "-"
};

// Copies what the meter measured since it started into the sample.
void StopMeter(const TransferMeter& meter, ListingSample& sample);
// sample label=L tool=T case=C dir=D entries=N seconds=S call=S stall=S cpu_client=S cpu_server=S commands=N verbs=V
void PrintSample(const ListingSample& sample);
// Throws BenchError saying what was found instead of what was expected.
void Expect(long found, long expected, const std::string& what);
