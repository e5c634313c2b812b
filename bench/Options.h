// The benchmark hosts' command line: --name value options, switches and comma-separated lists.
#pragma once
#include <map>
#include <string>
#include <vector>

using Options = std::map<std::string, std::string>;

// --name value pairs; a name without a value (the last one, or one followed
// by another --name) is a switch, held as "1". Throws BenchError on an
// argument that is not an option.
Options ParseOptions(int argc, char** argv);
// The option's value; throws BenchError when it is missing or empty.
std::string Required(const Options& options, const char* name);
std::string Optional(const Options& options, const char* name, const char* fallback);
// "a,b,,c" → {"a", "b", "c"}.
std::vector<std::string> SplitList(const std::string& text);
