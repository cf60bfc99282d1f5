// CPU time of a frame of the game's first mission, headless on the OpenGL device, from the
// game's own data tree, two ways in turns in one process:
// - ours: the field updated 16 ms on and drawn through the Artist onto the device (clear,
//   field, overlay, present);
// - plain: the same quads, recorded from one of our frames, drawn by a plain OpenGL 2.1 loop
//   on the same context with one vertex buffer filled once a frame
//   and the same textures and blend factors set in the same order between the same draws,
//   then presented.
// Each at 15 and at 100 pieces on the field, in turns of 20 frames of each (see bench/ratio.h).
// CPU time is the main thread's: the rasteriser fills on threads of its own, and its fill
// would hide the cost of the calls. Reported: the ratio ours / plain, and the same without the
// field's update, whose physics the plain loop does not run. "allocs" counts the heap
// allocations of one of our frames, "draw_allocs" those made while drawing it, "update_ms" the
// CPU time of the field's update in it.
// A third pair plays the mission in the scheduler's loop, one frame a 10 ms task as the game
// draws, in turns of half a second: paced (the loop sleeps until the next frame is due and the
// device waits for the display where it can) and spinning (the loop never sleeps); the ratio
// of the process's CPU time (on every core) over the wall time, paced / spinning.
#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/ratio.h"
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
using kq::bench::thread_cpu_ms;

constexpr int frame_ms = 16;

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

    /// Sets the device's state again after another loop drew.
    void take_over() { m_device->set_fixed_state(); }

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

// The recorded frame drawn straight with GL on the device's context: vertex arrays in one
// buffer object, quads as indexed triangles from a second. Before each block of frames it sets
// up the state it draws with, and the device sets up its own again afterwards.
class PlainLoop
{
public:
    explicit PlainLoop(RecordedFrame recorded) : m_recorded(std::move(recorded))
    {
        m_window = SDL_GL_GetCurrentWindow();
        glGenBuffers(2, m_buffers);
        glBindBuffer(GL_ARRAY_BUFFER, m_buffers[0]);
        m_bytes = m_recorded.vertices.size() * sizeof(host::GpuVertex);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(m_bytes), nullptr, GL_STREAM_DRAW);
        std::vector<std::uint16_t> indices;
        for (std::uint32_t b = 0; b < 65536; b += 4) {
            for (std::uint32_t k : {0u, 1u, 2u, 2u, 3u, 0u})
                indices.push_back(std::uint16_t(b + k));
        }
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_buffers[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * 2), indices.data(), GL_STATIC_DRAW);
    }

    ~PlainLoop() { glDeleteBuffers(2, m_buffers); }

    /// Sets the state this loop draws with.
    void take_over()
    {
        int width = 0;
        int height = 0;
        SDL_GL_GetDrawableSize(m_window, &width, &height);
        glBindBuffer(GL_ARRAY_BUFFER, m_buffers[0]);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_buffers[1]);
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
    }

    void frame()
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(m_bytes), m_recorded.vertices.data());
        host::GpuTexture bound = ~0u;
        host::GpuBlend source = host::GpuBlend::zero;
        host::GpuBlend destination = host::GpuBlend::zero;
        for (const RecordedDraw& draw : m_recorded.draws) {
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
        SDL_GL_SwapWindow(m_window);
    }

private:
    static const void* at(std::size_t offset) { return reinterpret_cast<const void*>(offset); }

    RecordedFrame m_recorded;
    SDL_Window* m_window = nullptr;
    GLuint m_buffers[2] = {0, 0};
    std::size_t m_bytes = 0;
};

constexpr int block_frames = 20;

// Each iteration is one turn: 20 of our frames and 20 of the plain loop's.
void ours_and_plain(benchmark::State& state)
{
    Mission mission(int(state.range(0)));
    const RecordedFrame recorded = mission.record();
    state.counters["draws"] = double(recorded.draws.size());
    if (recorded.other_state_calls > 1)
        state.SetLabel("the frame sets state the plain loop leaves out");
    PlainLoop plain(recorded);
    bench::RatioSamples ratios;
    const std::int64_t allocations_before = test::allocation_count();
    const std::int64_t drawing_before = mission.draw_allocations();
    const double updates_before = mission.update_ms();
    int turn = 0;
    for (auto _ : state) {
        double update = 0;
        const auto ours = [&] {
            mission.take_over();
            const double before = mission.update_ms();
            const double ms = bench::thread_cpu_ms_of(block_frames, [&] { mission.frame(); });
            update = mission.update_ms() - before;
            return ms;
        };
        const auto reference = [&] {
            plain.take_over();
            return bench::thread_cpu_ms_of(block_frames, [&] { plain.frame(); });
        };
        const auto [ours_ms, plain_ms] = bench::run_turn(turn++, ours, reference);
        ratios.add("ours/plain", ours_ms / plain_ms);
        ratios.add("without update", (ours_ms - update) / plain_ms);
    }
    mission.take_over();
    ratios.report(state);
    const double frames = double(state.iterations()) * block_frames;
    state.counters["pieces"] = mission.pieces();
    state.counters["allocs"] = double(test::allocation_count() - allocations_before) / frames;
    state.counters["draw_allocs"] = double(mission.draw_allocations() - drawing_before) / frames;
    state.counters["update_ms"] = (mission.update_ms() - updates_before) / frames;
}

// The process's CPU time, the rasteriser's threads included, in ms.
double process_cpu_ms()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

// Each iteration is one turn: half a second paced and half a second spinning.
void loop(benchmark::State& state)
{
    Mission mission(15);
    const Mainframe::TaskId id = reinterpret_cast<Mainframe::TaskId>(&mission);
    Mainframe::add_task([&] { mission.frame(); }, id, 10, Mainframe::periodic);
    // The share of the wall time the process spends on the CPU, on every core.
    const auto share = [](bool spinning) {
        return [spinning] {
            Mainframe::set_no_wait(spinning);
            const double cpu_before = process_cpu_ms();
            const std::int64_t wall_before = time_ms();
            Mainframe::wait(500);
            const std::int64_t wall = time_ms() - wall_before;
            return wall > 0 ? (process_cpu_ms() - cpu_before) / double(wall) : 0.0;
        };
    };
    bench::RatioSamples ratios;
    int turn = 0;
    for (auto _ : state) {
        const auto [paced, spinning] = bench::run_turn(turn++, share(false), share(true));
        ratios.add("paced/spinning", spinning > 0 ? paced / spinning : 0);
    }
    Mainframe::remove_task(id);
    Mainframe::set_no_wait(false);
    ratios.report(state);
}

}

BENCHMARK(ours_and_plain)->Arg(15)->Arg(100)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(loop)->Iterations(6)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    kq::register_game_start_up();
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
