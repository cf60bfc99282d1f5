// CPU time of a frame of the game's first mission, headless on the OpenGL device, from the
// game's own data tree, two ways in one run:
// - ours: the field updated 16 ms on and drawn through the Artist onto the device (clear,
//   field, overlay, present);
// - plain: the same quads, recorded from one of our frames, drawn by a plain OpenGL 2.1 loop
//   with one vertex buffer filled once a frame and the same textures and blend factors set in
//   the same order between the same draws, then presented.
// Each at 15 and at 100 pieces on the field. CPU time is the main thread's: the rasteriser
// fills on threads of its own, and its fill would hide the cost of the calls. At the end the
// ratios ours / plain are printed, also without the field's update, whose physics the plain
// loop does not run. "allocs" counts the heap allocations of a timed frame, "draw_allocs" those
// made while drawing it, "update_ms" the CPU time of the field's update in it.
// A third pair plays the mission in the scheduler's loop for a second of wall time, one frame a
// 10 ms task as the game draws: paced (the loop sleeps until the next frame is due and the
// device waits for the display where it can) and spinning (the loop never sleeps). "cpu_share"
// is the process's CPU time (on every core) over the wall time; the ratio paced / spinning is
// printed.
#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/art/art_types.h"
#include "engine/base/base_types.h"
#include "engine/base/clock.h"
#include "engine/base/mainframe.h"
#include "engine/base/random.h"
#include "engine/host/gpu/gl/gl_device.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res.h"
#include "engine/res/res_skin_entries.h"
#include "engine/res/res_types.h"
#include "engine/res/skin.h"
#include "engine/ui/ui_types.h"
#include "game/field/field.h"
#include "game/field/field_enums.h"
#include "game/field/field_types.h"
#include "game/field/physics/physics_world.h"
#include "game/shell/play/profile_field_game.h"
#include "game/shell/progress/profile.h"
#include "game/shell/app/shell_skin_entries.h"
#include "tests/shell/counting_new.h"
#include "tests/shell/data_tree.h"
#include "tools/mission_tools/mission_screen.h"

namespace {

using namespace kq;

constexpr int frame_ms = 16;

// The calling thread's CPU time in ms.
double thread_cpu_ms()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

// What the device was asked to draw in one frame: the vertices, and for each draw its kind,
// its place among the vertices, and the texture and blend factors it was drawn with.
struct RecordedDraw
{
    host::GpuPrimitive kind;
    std::uint32_t first;
    std::uint32_t count;
    host::GpuTexture texture;
    host::GpuBlend source;
    host::GpuBlend destination;
};

struct RecordedFrame
{
    std::vector<host::GpuVertex> vertices;
    std::vector<RecordedDraw> draws;
    int other_state_calls = 0;  // state the plain loop does not set (views, second stage)
};

// The OpenGL device, which can write down what one frame draws.
class RecordingDevice : public host::GlDevice
{
public:
    void set_blend(host::GpuBlend source, host::GpuBlend destination) override
    {
        m_source = source;
        m_destination = destination;
        GlDevice::set_blend(source, destination);
    }
    void set_texture(int stage, host::GpuTexture texture) override
    {
        if (stage == 0)
            m_texture = texture;
        else if (m_frame && texture)
            ++m_frame->other_state_calls;
        GlDevice::set_texture(stage, texture);
    }
    void set_view(int x, int y, int width, int height, float left, float top, float right, float bottom) override
    {
        if (m_frame)
            ++m_frame->other_state_calls;
        GlDevice::set_view(x, y, width, height, left, top, right, bottom);
    }
    void draw(host::GpuPrimitive kind, const host::GpuVertex* vertices, std::uint32_t count) override
    {
        if (m_frame) {
            m_frame->draws.push_back({kind, std::uint32_t(m_frame->vertices.size()), count, m_texture, m_source,
                                      m_destination});
            m_frame->vertices.insert(m_frame->vertices.end(), vertices, vertices + count);
        }
        GlDevice::draw(kind, vertices, count);
    }

    /// Writes down the draws into `frame` until `stop`.
    void record(RecordedFrame& frame) { m_frame = &frame; }
    void stop() { m_frame = nullptr; }

private:
    RecordedFrame* m_frame = nullptr;
    host::GpuTexture m_texture = 0;
    host::GpuBlend m_source = host::GpuBlend::src_alpha;
    host::GpuBlend m_destination = host::GpuBlend::inv_src_alpha;
};

// The first mission of a copy of the data tree on the real screen, with `pieces` pieces on the
// field: the mission's own, and further ones dropped in and settled.
class Mission
{
public:
    explicit Mission(int pieces)
    {
        m_window = start_api_window_service(SkinPath("vimo.window"));
        m_device = new RecordingDevice;
        start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window),
                             std::unique_ptr<host::GpuDevice>(m_device));
        m_artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));

        random_seed(1);
        m_field = std::make_unique<Field>(FieldSettings{}, m_game);
        m_field->read_skin(SkinPath("missions.chapter1.mission1"));
        const char* const kinds[] = {"items.vimu_red", "items.vimu_yellow", "items.vimu_blue"};
        for (int k = 0; int(m_field->pieces().size()) < pieces; ++k)
            m_field->produce_item(SkinPath(kinds[k % 3]));
        // A skipped mission makes no more pieces, so the count stays as set; everything else
        // steps and draws as in play.
        m_field->set_game_state(GameState::skip);
        // As the game does after a load: overlapping items are pushed apart; then the dropped
        // pieces land.
        m_field->world().step(5.0f, 500);
        for (int t = 0; t < 3000; t += frame_ms)
            frame();
    }

    ~Mission()
    {
        m_field.reset();
        stop_dxdraw_service();
        stop_api_window_service(m_window);
    }

    /// One frame of the game's: the field steps on, then is drawn and presented.
    void frame()
    {
        const double update_start = thread_cpu_ms();
        m_field->update(frame_ms);
        m_update_ms += thread_cpu_ms() - update_start;
        const std::int64_t before = test::allocation_count();
        if (m_artist->begin_scene()) {
            m_artist->clear({0, 0, 0, 1});
            m_field->draw(*m_artist);
            m_field->draw_overlay(*m_artist);
            m_artist->end_scene();
        }
        m_draw_allocations += test::allocation_count() - before;
    }

    /// The heap allocations made while drawing since the mission was made.
    std::int64_t draw_allocations() const { return m_draw_allocations; }
    /// The CPU time the field's updates took since the mission was made, in ms.
    double update_ms() const { return m_update_ms; }

    /// What one frame draws.
    RecordedFrame record()
    {
        RecordedFrame recorded;
        m_device->record(recorded);
        frame();
        m_device->stop();
        return recorded;
    }

    int pieces() const { return int(m_field->pieces().size()); }

private:
    test::DataTree m_tree{"kq_bench_field_frame_"};  ///< first made, last gone
    const Profile m_profile;  ///< a new profile
    ProfileFieldGame m_game{m_profile};
    APIWindow* m_window = nullptr;
    RecordingDevice* m_device = nullptr;
    DXArtist* m_artist = nullptr;
    std::unique_ptr<Field> m_field;
    std::int64_t m_draw_allocations = 0;
    double m_update_ms = 0;
};

void report(benchmark::State& state, int pieces, std::int64_t allocations)
{
    state.counters["pieces"] = pieces;
    state.counters["allocs"] = benchmark::Counter(double(allocations), benchmark::Counter::kAvgIterations);
}

void report_draw_allocations(benchmark::State& state, std::int64_t allocations)
{
    state.counters["draw_allocs"] = benchmark::Counter(double(allocations), benchmark::Counter::kAvgIterations);
}

void ours(benchmark::State& state)
{
    Mission mission(int(state.range(0)));
    const RecordedFrame recorded = mission.record();
    state.counters["draws"] = double(recorded.draws.size());
    const std::int64_t before = test::allocation_count();
    const std::int64_t drawing_before = mission.draw_allocations();
    const double update_before = mission.update_ms();
    for (auto _ : state)
        mission.frame();
    report(state, mission.pieces(), test::allocation_count() - before);
    report_draw_allocations(state, mission.draw_allocations() - drawing_before);
    state.counters["update_ms"] = benchmark::Counter(mission.update_ms() - update_before, benchmark::Counter::kAvgIterations);
}

GLenum gl_factor(host::GpuBlend factor)
{
    switch (factor) {
    case host::GpuBlend::zero:
        return GL_ZERO;
    case host::GpuBlend::one:
        return GL_ONE;
    case host::GpuBlend::src_alpha:
        return GL_SRC_ALPHA;
    case host::GpuBlend::inv_src_alpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case host::GpuBlend::src_color:
        return GL_SRC_COLOR;
    case host::GpuBlend::dest_color:
        return GL_DST_COLOR;
    case host::GpuBlend::inv_dest_color:
        return GL_ONE_MINUS_DST_COLOR;
    }
    return GL_ONE;
}

// The recorded frame drawn straight with GL on the device's context, which the screen left
// set up: vertex arrays in one buffer object, quads as indexed triangles from a second.
void plain(benchmark::State& state)
{
    Mission mission(int(state.range(0)));
    const RecordedFrame recorded = mission.record();
    state.counters["draws"] = double(recorded.draws.size());
    if (recorded.other_state_calls > 1)
        state.SetLabel("the frame sets state the plain loop leaves out");
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);

    GLuint buffers[2];
    glGenBuffers(2, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    const std::size_t bytes = recorded.vertices.size() * sizeof(host::GpuVertex);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), nullptr, GL_STREAM_DRAW);
    std::vector<std::uint16_t> indices;
    for (std::uint32_t b = 0; b < 65536; b += 4) {
        for (std::uint32_t k : {0u, 1u, 2u, 2u, 3u, 0u})
            indices.push_back(std::uint16_t(b + k));
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * 2), indices.data(), GL_STATIC_DRAW);
    const auto at = [](std::size_t offset) { return reinterpret_cast<const void*>(offset); };
    const GLsizei stride = sizeof(host::GpuVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, at(offsetof(host::GpuVertex, x)));
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, at(offsetof(host::GpuVertex, color)));
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, at(offsetof(host::GpuVertex, tu)));
    glClientActiveTexture(GL_TEXTURE1);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTexture(GL_TEXTURE0);
    glActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const std::int64_t before = test::allocation_count();
    for (auto _ : state) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), recorded.vertices.data());
        host::GpuTexture bound = ~0u;
        host::GpuBlend source = host::GpuBlend::zero;
        host::GpuBlend destination = host::GpuBlend::zero;
        for (const RecordedDraw& draw : recorded.draws) {
            if (draw.texture != bound) {
                bound = draw.texture;
                glBindTexture(GL_TEXTURE_2D, bound);
                if (bound)
                    glEnable(GL_TEXTURE_2D);
                else
                    glDisable(GL_TEXTURE_2D);
            }
            if (draw.source != source || draw.destination != destination) {
                source = draw.source;
                destination = draw.destination;
                glBlendFunc(gl_factor(source), gl_factor(destination));
            }
            switch (draw.kind) {
            case host::GpuPrimitive::lines:
                glDrawArrays(GL_LINES, GLint(draw.first), GLsizei(draw.count));
                break;
            case host::GpuPrimitive::triangles:
                glDrawArrays(GL_TRIANGLES, GLint(draw.first), GLsizei(draw.count));
                break;
            case host::GpuPrimitive::quads:
                glDrawElements(GL_TRIANGLES, GLsizei(draw.count / 4 * 6), GL_UNSIGNED_SHORT,
                               at(draw.first / 4 * 6 * sizeof(std::uint16_t)));
                break;
            }
        }
        // As our device presents: the frame goes to the driver, then is shown.
        glFlush();
        SDL_GL_SwapWindow(window);
    }
    report(state, mission.pieces(), test::allocation_count() - before);
    glDeleteBuffers(2, buffers);
}

// The process's CPU time, the rasteriser's threads included, in seconds.
double process_cpu_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Argument 0: paced; 1: spinning.
void loop(benchmark::State& state)
{
    Mission mission(15);
    const bool spinning = state.range(0) == 1;
    Mainframe::set_no_wait(spinning);
    int frames = 0;
    const Mainframe::TaskId id = reinterpret_cast<Mainframe::TaskId>(&mission);
    Mainframe::add_task([&] { mission.frame(); ++frames; }, id, 10, Mainframe::periodic);
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpu_before = process_cpu_seconds();
        const std::int64_t wall_before = time_ms();
        Mainframe::wait(1000);
        cpu += process_cpu_seconds() - cpu_before;
        wall += double(time_ms() - wall_before) / 1000.0;
    }
    Mainframe::remove_task(id);
    Mainframe::set_no_wait(false);
    state.counters["cpu_share"] = wall > 0 ? cpu / wall : 0;
    state.counters["fps"] = wall > 0 ? frames / wall : 0;
}

// The console's report, then the ratios of the CPU times ours / plain for each piece count.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions, their median stands for the figure.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            if (run.run_name.function_name == "loop")
                m_share[run.run_name.args] = run.counters.at("cpu_share");
            else
                m_cpu[run.run_name.args][run.run_name.function_name] = run.GetAdjustedCPUTime();
            if (run.run_name.function_name == "ours")
                m_cpu[run.run_name.args]["update"] = run.counters.at("update_ms");
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (auto& [pieces, times] : m_cpu) {
            if (!times.count("ours") || !times.count("plain") || times["plain"] <= 0)
                continue;
            std::printf("ours / plain, CPU time, %s pieces: %.2f (without the field's update: %.2f)\n",
                        pieces.c_str(), times["ours"] / times["plain"], (times["ours"] - times["update"]) / times["plain"]);
        }
        if (m_share.count("0") && m_share.count("1") && m_share["1"] > 0)
            std::printf("paced / spinning, process's CPU share: %.2f\n", m_share["0"] / m_share["1"]);
    }

private:
    std::map<std::string, std::map<std::string, double>> m_cpu;
    std::map<std::string, double> m_share;
};

}

BENCHMARK(ours)->Arg(15)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(plain)->Arg(15)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(loop)->Arg(0)->Arg(1)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    kq::register_game_start_up();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
