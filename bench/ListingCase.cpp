// What the listing benchmark lists (the server's directories and their sizes) and what one measurement gave.
#include "bench/ListingCase.h"

#include <cstdio>

void StopMeter(const TransferMeter& meter, ListingSample& sample)
{
    TransferSample times;
    meter.Stop(times);
    sample.seconds = times.seconds;
    sample.cpuClient = times.cpuClient;
    sample.cpuServer = times.cpuServer;
}

void PrintSample(const ListingSample& sample)
{
    std::printf("sample label=%s tool=%s case=%s dir=%s entries=%ld seconds=%.6f call=%.6f stall=%.6f "
                "cpu_client=%.2f "
                "cpu_server=%.2f commands=%ld verbs=%s\n",
                sample.label.c_str(), sample.tool.c_str(), sample.what.c_str(), sample.directory.c_str(),
                sample.entries, sample.seconds, sample.callSeconds, sample.stall, sample.cpuClient, sample.cpuServer, sample.commands,
                sample.verbs.c_str());
    std::fflush(stdout);
}

void Expect(long found, long expected, const std::string& what)
{
    if (found != expected)
        throw BenchError(what + ": " + std::to_string(found) + ", expected " + std::to_string(expected));
}
