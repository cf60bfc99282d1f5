#pragma once

// Ratios of two ways of doing the same work, measured in turns in one process: each turn runs
// a block of calls of each way, the first way first on even turns and second on odd ones, so
// that what the machine's load does to one block it does as much to the other. The ratio of a
// turn is the quotient of the two blocks' CPU times; a benchmark reports the median of its
// turns' ratios with their 10th and 90th percentiles, and `RatioReporter` prints them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kq::bench {

/// The calling thread's CPU time in ms.
inline double thread_cpu_ms()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

/// The thread's CPU time in ms that `count` calls of `calls` take.
template <class Calls>
double thread_cpu_ms_of(int count, Calls&& calls)
{
    const double start = thread_cpu_ms();
    for (int i = 0; i < count; ++i)
        calls();
    return thread_cpu_ms() - start;
}

/// What the blocks `first` and `second` measure of themselves, run in the order the turn's
/// parity gives.
template <class First, class Second>
std::pair<double, double> run_turn(int turn, First&& first, Second&& second)
{
    if (turn % 2 == 0) {
        const double a = first();
        return {a, second()};
    }
    const double b = second();
    return {first(), b};
}

/// The ratios of a benchmark's turns, by name; `report` hands each one's median, 10th and 90th
/// percentile to the run's counters as "<name>", "<name> p10" and "<name> p90".
class RatioSamples
{
public:
    void add(const std::string& name, double ratio) { m_samples[name].push_back(ratio); }

    void report(benchmark::State& state)
    {
        for (auto& [name, values] : m_samples) {
            std::sort(values.begin(), values.end());
            const auto at = [&values](double share) { return values[std::size_t(share * double(values.size() - 1) + 0.5)]; };
            state.counters[name] = at(0.5);
            state.counters[name + " p10"] = at(0.1);
            state.counters[name + " p90"] = at(0.9);
        }
    }

private:
    std::map<std::string, std::vector<double>> m_samples;
};

/// The console's report, then a line for each ratio a run reported through `RatioSamples`:
/// "<run> <name>: <median> (p10 <10th percentile>, p90 <90th percentile>)".
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            for (const auto& [name, counter] : run.counters) {
                const auto p10 = run.counters.find(name + " p10");
                const auto p90 = run.counters.find(name + " p90");
                if (p10 == run.counters.end() || p90 == run.counters.end())
                    continue;
                char line[256];
                std::snprintf(line, sizeof line, "%s %s: %.2f (p10 %.2f, p90 %.2f)\n", run.benchmark_name().c_str(),
                              name.c_str(), counter.value, p10->second.value, p90->second.value);
                m_lines += line;
            }
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::fputs(m_lines.c_str(), stdout);
    }

private:
    std::string m_lines;
};

}
