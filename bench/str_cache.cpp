// Interning a text that is already in the cache, against a hash-set look-up of the same
// texts in the same run. Reported as time per look-up; the ratio is StrCache / hash set.
#include "engine/base/str_cache.h"

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_set>
#include <vector>

namespace {

// Names shaped like skin keys and type names.
std::vector<std::string> make_names()
{
    std::vector<std::string> names;
    for (int i = 0; i < 4096; ++i)
        names.push_back("skin.node_" + std::to_string(i * 7919 % 10007) + ".key");
    return names;
}

const std::vector<std::string>& names()
{
    static const std::vector<std::string> s_names = make_names();
    return s_names;
}

void str_cache_get_existing(benchmark::State& state)
{
    for (const std::string& name : names())
        kq::StrCache::get(name.c_str());
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kq::StrCache::get(names()[i].c_str()));
        i = (i + 1) % names().size();
    }
}

void hash_set_find_existing(benchmark::State& state)
{
    const std::unordered_set<std::string> set(names().begin(), names().end());
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(set.find(names()[i]));
        i = (i + 1) % names().size();
    }
}

}

BENCHMARK(hash_set_find_existing);
BENCHMARK(str_cache_get_existing);

BENCHMARK_MAIN();
