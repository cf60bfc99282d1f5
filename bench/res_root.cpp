// Reading the resource registry file at 1 MB and at 8 MB: its time must grow with its size
// only, so compare the bytes_per_second figures of the two sizes. A plain word split of the
// same file with the standard library stands beside it as the reference.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "engine/base/base_types.h"
#include "engine/base/shared_ptr.h"
#include "engine/res/res.h"
#include "engine/res/res_types.h"

namespace {

namespace fs = std::filesystem;

// A root file of the given size: search paths, sources and comments, as a large game's would be.
std::string root_file(std::size_t megabytes)
{
    const fs::path path = fs::temp_directory_path() /
                          ("kq_bench_root_" + std::to_string(::getpid()) + "_" + std::to_string(megabytes));
    if (!fs::exists(path)) {
        std::ofstream out(path, std::ios::binary);
        std::size_t written = 0;
        for (int i = 0; written < megabytes * 1024 * 1024; ++i) {
            const std::string n = std::to_string(i);
            const std::string line = (i % 3 == 0)   ? "SOURCE " + n + " FILE \"data/pack_" + n + "\" READ_ONLY\r\n"
                                     : (i % 3 == 1) ? "PATH \"skin/group_" + n + "/images\" // images\r\n"
                                                    : "/* entry " + n + " */ PATH \"sounds/set_" + n + "\"\r\n";
            out << line;
            written += line.size();
        }
    }
    return path.string();
}

void read_root(benchmark::State& state)
{
    const std::string path = root_file(state.range(0));
    for (auto _ : state) {
        kq::SharedPtr<kq::Res> res(new kq::Res);
        res->read_root_file(path);
        benchmark::DoNotOptimize(res->sources().size());
    }
    state.SetBytesProcessed(state.iterations() * fs::file_size(path));
}
BENCHMARK(read_root)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

void split_words(benchmark::State& state)
{
    const std::string path = root_file(state.range(0));
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string word;
        std::size_t words = 0;
        while (in >> word)
            ++words;
        benchmark::DoNotOptimize(words);
    }
    state.SetBytesProcessed(state.iterations() * fs::file_size(path));
}
BENCHMARK(split_words)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    kq::register_base_types();
    kq::register_res_types();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (std::size_t megabytes : {1, 8}) {
        std::error_code ignored;
        fs::remove(root_file(megabytes), ignored);
    }
    return 0;
}
