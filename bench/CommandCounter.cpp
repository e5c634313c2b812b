// The commands a client sent through bench/latency_proxy.py, read from the proxy's counts file around an operation.
#include "bench/CommandCounter.h"

#include "bench/TransferCase.h"

#include <algorithm>
#include <fstream>
#include <utility>
#include <vector>

namespace {

const char kTotal[] = "total";

}  // namespace

CommandCounter::CommandCounter(std::string countsFile) : m_countsFile(std::move(countsFile)) {}

void CommandCounter::Start()
{
    if (Enabled())
        m_start = Read();
}

void CommandCounter::Stop(long& total, std::string& verbs) const
{
    total = -1;
    verbs = "-";
    if (!Enabled())
        return;
    const CommandCounts now = Read();
    std::vector<std::pair<std::string, long>> sent;
    for (const auto& [verb, count] : now) {
        const auto before = m_start.find(verb);
        const long delta = count - (before == m_start.end() ? 0 : before->second);
        if (verb == kTotal)
            total = delta;
        else if (delta > 0)
            sent.emplace_back(verb, delta);
    }
    // The most frequent first, then by name: the same operation always reads the same.
    std::sort(sent.begin(), sent.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    verbs.clear();
    for (const auto& [verb, count] : sent)
        verbs += (verbs.empty() ? "" : ",") + verb + ":" + std::to_string(count);
    if (verbs.empty())
        verbs = "-";
}

CommandCounts CommandCounter::Read() const
{
    // The proxy replaces the file as a whole after every command: any read
    // sees one complete version.
    std::ifstream in(m_countsFile);
    if (!in)
        throw BenchError("cannot read the proxy's command counts " + m_countsFile);
    CommandCounts counts;
    std::string verb;
    long count = 0;
    while (in >> verb >> count)
        counts[verb] = count;
    if (counts.find(kTotal) == counts.end())
        throw BenchError("the proxy's command counts " + m_countsFile + " have no total");
    return counts;
}
