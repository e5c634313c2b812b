// Wall-clock and CPU time of one measured transfer.
#pragma once
#include "bench/Stopwatch.h"
#include "bench/TransferCase.h"

// Starts at construction; Stop fills the sample's seconds and CPU figures.
class TransferMeter {
public:
    explicit TransferMeter(const BenchSetup& setup);
    void Stop(TransferSample& sample) const;

private:
    std::string m_wineserverPid;
    double m_clientStart;
    double m_serverStart;
    Stopwatch m_clock;
};
