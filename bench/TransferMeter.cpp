// Wall-clock and CPU time of one measured transfer.
#include "bench/TransferMeter.h"

#include "bench/CpuTime.h"

TransferMeter::TransferMeter(const BenchSetup& setup)
    : m_wineserverPid(setup.wineserverPid),
      m_clientStart(OwnCpuSeconds()),
      m_serverStart(m_wineserverPid.empty() ? -1 : LinuxProcessCpuSeconds(m_wineserverPid))
{
    m_clock.Restart();
}

void TransferMeter::Stop(TransferSample& sample) const
{
    sample.seconds = m_clock.Seconds();
    const double client = OwnCpuSeconds();
    sample.cpuClient = client < 0 || m_clientStart < 0 ? -1 : client - m_clientStart;
    const double server = m_serverStart < 0 ? -1 : LinuxProcessCpuSeconds(m_wineserverPid);
    sample.cpuServer = server < 0 ? -1 : server - m_serverStart;
}
