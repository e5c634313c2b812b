// The commands a client sent through bench/latency_proxy.py, read from the proxy's counts file around an operation.
#pragma once
#include <map>
#include <string>

// Commands by verb ("LIST" → 3).
using CommandCounts = std::map<std::string, long>;

// Reads the proxy's counts file (lines "total N", then "VERB N") before and
// after an operation. Without a file (an empty path) it counts nothing.
class CommandCounter {
public:
    explicit CommandCounter(std::string countsFile);
    bool Enabled() const { return !m_countsFile.empty(); }
    // Takes the counts as they are now.
    void Start();
    // What was sent since Start: the total and "VERB N, VERB N" in the order
    // of the most frequent first; -1 and "-" without a file.
    void Stop(long& total, std::string& verbs) const;

private:
    CommandCounts Read() const;

    std::string m_countsFile;  // a Windows path
    CommandCounts m_start;
};
