// The benchmark hosts' command line: --name value options, switches and comma-separated lists.
#include "bench/Options.h"

#include "bench/TransferCase.h"

#include <sstream>

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name.rfind("--", 0) != 0)
            throw BenchError("unexpected argument " + name);
        const bool hasValue = i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0;
        options[name.substr(2)] = hasValue ? argv[++i] : "1";
    }
    return options;
}

std::string Required(const Options& options, const char* name)
{
    const auto found = options.find(name);
    if (found == options.end() || found->second.empty())
        throw BenchError(std::string("missing --") + name);
    return found->second;
}

std::string Optional(const Options& options, const char* name, const char* fallback)
{
    const auto found = options.find(name);
    return found == options.end() ? fallback : found->second;
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::istringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ','))
        if (!item.empty())
            items.push_back(item);
    return items;
}
