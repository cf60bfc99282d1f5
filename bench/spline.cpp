// Walking a path forward frame by frame: a tracker that steps from one interval to the next,
// against asking the spline for its value at each frame's time (a key search per frame), in
// the same run. Paths of 16, 256 and 4096 points in the plane, cubic and linear, each walked
// in 64 frames per interval. Reported as time per frame; the ratio is tracker / search.
#include "engine/art/spline_cubic.h"
#include "engine/art/spline_linear.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int frames_per_interval = 64;
constexpr float step = 1.0f / frames_per_interval;

template <class S>
S make_path(int key_count)
{
    S path;
    for (int i = 0; i < key_count; ++i)
        path.set_key(static_cast<float>(i), {static_cast<float>(i * 37 % 101), static_cast<float>(i * 53 % 97)});
    path.value(0.5f);  // the cubic kind's tangents, computed once
    return path;
}

template <class S>
void search_per_frame(benchmark::State& state)
{
    const S path = make_path<S>(static_cast<int>(state.range(0)));
    const int frame_count = static_cast<int>(state.range(0) - 1) * frames_per_interval;
    for (auto _ : state) {
        float t = 0.0f;
        for (int frame = 0; frame < frame_count; ++frame) {
            t += step;
            benchmark::DoNotOptimize(path.value(t));
        }
    }
    state.SetItemsProcessed(state.iterations() * frame_count);
}

template <class S>
void tracker_per_frame(benchmark::State& state)
{
    const S path = make_path<S>(static_cast<int>(state.range(0)));
    const int frame_count = static_cast<int>(state.range(0) - 1) * frames_per_interval;
    for (auto _ : state) {
        const auto tracker = path.create_tracker();
        for (int frame = 0; frame < frame_count; ++frame) {
            tracker->advance(step);
            benchmark::DoNotOptimize(tracker->value());
        }
    }
    state.SetItemsProcessed(state.iterations() * frame_count);
}

using Cubic = kq::CubicSpline<float, kq::Vector2<float>>;
using Linear = kq::LinearSpline<float, kq::Vector2<float>>;

}

BENCHMARK_TEMPLATE(search_per_frame, Cubic)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_TEMPLATE(tracker_per_frame, Cubic)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_TEMPLATE(search_per_frame, Linear)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_TEMPLATE(tracker_per_frame, Linear)->Arg(16)->Arg(256)->Arg(4096);

BENCHMARK_MAIN();
