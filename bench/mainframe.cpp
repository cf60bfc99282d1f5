// The scheduler's cost per task run, against a plain call of the same callable: run-once
// period-0 tasks added and run, and single steps among many periodic tasks (a step must not
// grow with the number of tasks listed). Also the CPU an idle game uses (it must sleep
// between its tasks, not spin).
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#include "engine/base/mainframe.h"
#include "engine/host/system/directories.h"

namespace {

constexpr int task_count = 1000000;

// Reference: the callable alone, called as often as the scheduler runs it.
void BM_PlainCalls(benchmark::State& state)
{
    int runs = 0;
    const std::function<void()> callable = [&runs] { ++runs; };
    for (auto _ : state) {
        for (int i = 0; i < task_count; ++i)
            callable();
        benchmark::DoNotOptimize(runs);
    }
    state.SetItemsProcessed(state.iterations() * task_count);
}
BENCHMARK(BM_PlainCalls)->Unit(benchmark::kMillisecond);

// Adding and running a million period-0 tasks, in the one Mainframe a game has for its life
// (so the figure is the scheduler's, not the system's paging in of fresh memory).
void BM_PeriodZeroTasks(benchmark::State& state)
{
    int runs = 0;
    const auto add_and_run = [&runs] {
        for (int i = 0; i < task_count; ++i)
            kq::Mainframe::add_task([&runs] { ++runs; }, 0, 0, kq::Mainframe::run_once);
        kq::Mainframe::run();
    };
    kq::Mainframe::create();
    // A first round, untimed, grows the task list to its size: a measurement of one round
    // would otherwise be mostly the system's paging in of that memory.
    add_and_run();
    for (auto _ : state) {
        add_and_run();
        benchmark::DoNotOptimize(runs);
    }
    kq::Mainframe::destroy();
    state.SetItemsProcessed(state.iterations() * task_count);
}
BENCHMARK(BM_PeriodZeroTasks)->Unit(benchmark::kMillisecond);

// One step among n periodic tasks of periods spread over a second; with the no-wait flag a
// step runs the earliest task at once, so every step does the full work of finding it and
// putting it back in its place.
void BM_PeriodicStep(benchmark::State& state)
{
    const auto count = static_cast<int>(state.range(0));
    int runs = 0;
    kq::Mainframe::create();
    kq::Mainframe::set_no_wait(true);
    for (int i = 0; i < count; ++i)
        kq::Mainframe::add_task([&runs] { ++runs; }, 0, 1000 + (i * 7919) % 1000, kq::Mainframe::periodic);
    for (auto _ : state)
        kq::Mainframe::step();
    benchmark::DoNotOptimize(runs);
    kq::Mainframe::destroy();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PeriodicStep)->Arg(1000)->Arg(100000);

long cpu_ticks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const std::size_t name_end = text.rfind(')');
    if (name_end == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(name_end + 2));
    std::string field;
    long user = 0, system = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            user = std::stol(field);
        if (index == 15) {
            system = std::stol(field);
            break;
        }
    }
    return user + system;
}

// CPU time of an idle game over 10 seconds, as a share of the wall time.
void BM_IdleGame(benchmark::State& state)
{
    namespace fs = std::filesystem;
    const fs::path program = fs::path(kq::host::get_module_path()).parent_path() / "vimo";
    const fs::path data_home = fs::temp_directory_path() / ("kq_idle_bench_" + std::to_string(::getpid()));
    fs::create_directories(data_home);
    ::setenv("XDG_DATA_HOME", data_home.c_str(), 1);
    double share = 0;
    for (auto _ : state) {
        std::string path = program.string();
        char* argv[] = {path.data(), nullptr};
        pid_t pid = -1;
        if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start vimo");
            break;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const long start_ticks = cpu_ticks(pid);
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const long ticks = cpu_ticks(pid) - start_ticks;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // A game that ended early used no CPU, but that is no result.
        if (::waitpid(pid, nullptr, WNOHANG) != 0) {
            state.SkipWithError("vimo ended before the measurement did");
            break;
        }
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        share = double(ticks) / double(::sysconf(_SC_CLK_TCK)) / wall;
    }
    fs::remove_all(data_home);
    state.counters["cpu_share"] = share;
}
BENCHMARK(BM_IdleGame)->Iterations(1)->Unit(benchmark::kSecond);

}

BENCHMARK_MAIN();
