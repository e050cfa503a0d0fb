#pragma once

// What the benchmarks that time whole child processes share: the runs asked for on the command
// line, an argument list for posix_spawn, and the median of the times.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

// The number of runs in text, or fallback when there is none; 0 (after saying why) when it is
// not a whole number >= 1.
inline int runsArgument(const char *text, int fallback)
{
    const int runs = text ? std::atoi(text) : fallback;
    if (runs < 1)
        std::fprintf(stderr, "runs: a whole number >= 1\n");
    return runs < 1 ? 0 : runs;
}

// argv for posix_spawn, ending in a null pointer; the strings must outlive it.
inline std::vector<char *> spawnArguments(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace bench
