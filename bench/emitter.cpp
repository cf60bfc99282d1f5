// Particles per millisecond of an emitter scene on the OpenGL device, headless: an emitter
// making 5000 particles a second that each live one second keeps 5,000 particles alive; every
// frame the tree is updated 16 ms on and rendered. Measured against a plain loop that moves
// 5,000 quads by their velocities and hands them to the same artist, the least any particle
// system pays to draw them. The ratio emitter / plain loop is the price of the sprite tree,
// the clones, the movers and the receiver list per particle.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/art/art_types.h"
#include "engine/art/emitter_sprite.h"
#include "engine/base/base_types.h"
#include "engine/base/class_desc.h"
#include "engine/base/mainframe.h"
#include "engine/base/random.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res.h"
#include "engine/res/res_types.h"
#include "engine/res/skin.h"
#include "engine/res/skin_startup.h"

namespace {

using namespace kq;

constexpr int live_particles = 5000;
constexpr int life_ms = 1000;
constexpr int frame_ms = 16;
constexpr int width = 640;
constexpr int height = 480;

// A particle: its local rectangle in its colour, untextured.
class Spark : public Sprite
{
public:
    void build_geometry() override
    {
        quads().clear();
        const Rect r = local_rect();
        const float xs[] = {r.x, r.x + r.w, r.x + r.w, r.x};
        const float ys[] = {r.y, r.y, r.y + r.h, r.y + r.h};
        Quad quad;
        for (int i = 0; i < 4; ++i)
            quad.v[i] = QuadVertex{xs[i], ys[i], color().r, color().g, color().b, color().a, 0, 0, 0, 0};
        quads().push_back(quad);
    }

    void draw(Artist& artist) override
    {
        Sprite::draw(artist);
        artist.unbind_texture();
        for (const Quad& quad : quads())
            artist.add_quad(quad);
    }
};

}

KQ_TYPE_NAME(Spark, "class Spark");

namespace {

// The window and the device for the time of one benchmark.
class Device
{
public:
    Device()
    {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        static const bool registered = [] {
            register_base_types();
            register_res_types();
            register_platform_types();
            register_art_types();
            rtti::ClassDesc<Spark>::instance().add_base(type_name<Sprite>());
            return true;
        }();
        (void)registered;
        std::filesystem::create_directories(m_folder);
        std::ofstream(m_folder / "window.sdt") << "vimo { window { fullscreen false color_depth 32 size [(" << width
                                               << ", " << height
                                               << ")] fixed false caption \"bench\" max_display_frequency 60 } }\n";
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file((m_folder / "default.root").string());
        skin_startup_tasks() = {make_skin_document_task("window.sdt")};
        start_skin_service();
        m_window = start_api_window_service(SkinPath("vimo.window"));
        start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
        m_artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
    }

    ~Device()
    {
        stop_dxdraw_service();
        stop_api_window_service(m_window);
        stop_skin_service();
        stop_res_service();
        Mainframe::destroy();
        std::filesystem::remove_all(m_folder);
    }

    DXArtist& artist() { return *m_artist; }

private:
    std::filesystem::path m_folder = std::filesystem::temp_directory_path() / "kq_bench_emitter";
    APIWindow* m_window = nullptr;
    DXArtist* m_artist = nullptr;
};

// The live particles a frame and the particles drawn a millisecond of wall time.
void report(benchmark::State& state, std::int64_t particles, std::chrono::steady_clock::time_point begin)
{
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    state.counters["live"] = double(particles) / double(state.iterations());
    state.counters["particles_per_ms"] = double(particles) / ms;
}

// A root holding the clock with an emitter in the middle of the screen that sprays sparks
// upwards, under gravity, each living `life_ms`.
SharedPtr<Sprite> make_scene()
{
    SharedPtr<Sprite> root(new Sprite);
    root->set_timer(new SpriteTimer);
    SharedPtr<EmitterSprite> emitter(new EmitterSprite);
    emitter->set_position(Vector2<float>{width / 2.0f - 20, height * 0.75f});
    emitter->set_size(Vector2<float>{40, 10});
    emitter->set_emission(float(live_particles) * 1000.0f / life_ms);
    emitter->set_start_speed(150, 300);
    EmitterSettings& s = emitter->settings();
    s.direction = -1.5708f;
    s.spread = 1.2f;
    s.gravity_min = 150;
    s.gravity_max = 250;
    s.spin = 1;
    s.spin_spread = 4;
    SharedPtr<Sprite> spark(new Spark);
    spark->set_size(Vector2<float>{4, 4});
    spark->center_pivot();
    spark->set_color({1.0f, 0.7f, 0.2f, 0.8f});
    spark->set_render_state(1);
    auto* life = new SpriteTimer;
    life->set_period(life_ms);
    spark->set_timer(life);
    emitter->set_particle(spark);
    root->add_child(emitter);
    return root;
}

void emitter_scene(benchmark::State& state)
{
    random_seed(1);
    Device device;
    SharedPtr<Sprite> root = make_scene();
    std::int32_t time = 0;
    const auto frame = [&] {
        time += frame_ms;
        root->tick(TimeStamp{TimeStamp::millisecond_clock, time, nullptr});
        DXArtist& artist = device.artist();
        artist.begin_scene();
        artist.clear({0, 0, 0, 1});
        root->render(artist);
        artist.end_scene();
    };
    // Until the first particles die the population still grows.
    for (int t = 0; t < 2 * life_ms; t += frame_ms)
        frame();
    std::int64_t particles = 0;
    const auto begin = std::chrono::steady_clock::now();
    for (auto _ : state) {
        frame();
        particles += std::int64_t(root->children().size()) - 1;
    }
    report(state, particles, begin);
}

struct PlainParticle
{
    float x, y, vx, vy, g;
    std::int32_t age;
};

// A spark launched from the emitter's area as the emitter launches one.
void relaunch(PlainParticle& p)
{
    const auto draw = [](float a, float b) { return a + float(random_next()) * (b - a) / 32768.0f; };
    p.x = draw(width / 2.0f - 20, width / 2.0f + 20);
    p.y = draw(height * 0.75f, height * 0.75f + 10);
    const float angle = draw(-1.5708f - 0.6f, -1.5708f + 0.6f);
    const float speed = draw(150, 300);
    p.vx = speed * std::cos(angle);
    p.vy = speed * std::sin(angle);
    p.g = draw(150, 250);
}

void plain_loop(benchmark::State& state)
{
    random_seed(1);
    Device device;
    std::vector<PlainParticle> sparks(live_particles);
    for (int i = 0; i < live_particles; ++i) {
        relaunch(sparks[std::size_t(i)]);
        sparks[std::size_t(i)].age = i * life_ms / live_particles;
    }
    const float dt = frame_ms * 0.001f;
    const auto frame = [&] {
        DXArtist& artist = device.artist();
        artist.begin_scene();
        artist.clear({0, 0, 0, 1});
        artist.set_render_state(1);
        artist.unbind_texture();
        for (PlainParticle& p : sparks) {
            p.age += frame_ms;
            if (p.age >= life_ms) {
                p.age -= life_ms;
                relaunch(p);
            }
            p.vy += p.g * dt;
            p.x += p.vx * dt;
            p.y += p.vy * dt;
            Quad quad;
            const float xs[] = {p.x - 2, p.x + 2, p.x + 2, p.x - 2};
            const float ys[] = {p.y - 2, p.y - 2, p.y + 2, p.y + 2};
            for (int i = 0; i < 4; ++i)
                quad.v[i] = QuadVertex{xs[i], ys[i], 1.0f, 0.7f, 0.2f, 0.8f, 0, 0, 0, 0};
            artist.add_quad(quad);
        }
        artist.end_scene();
    };
    for (int t = 0; t < 2 * life_ms; t += frame_ms)
        frame();
    std::int64_t particles = 0;
    const auto begin = std::chrono::steady_clock::now();
    for (auto _ : state) {
        frame();
        particles += live_particles;
    }
    report(state, particles, begin);
}

}

BENCHMARK(plain_loop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(emitter_scene)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
