// CPU time of one game frame of the game's first mission with every piece on the move,
// headless on the OpenGL device, from the game's own data tree, two ways in one run:
// - frame: as the game frame draws a frame: the pieces kept moving, the field updated 16 ms
//   on, the UI's timers stepped, then the field, the top, bottom and meter panels over it and
//   the field's overlay drawn through the Artist onto the device and presented;
// - artist: the same quads, recorded from one such frame, handed to the same Artist with the
//   same textures and render states in the same order, then presented: what drawing alone
//   costs, without the field's update, the sprites and the controls.
// In turns of 20 frames of each (see bench/ratio.h); CPU time is the main thread's (the
// rasteriser fills on threads of its own). Reported: the ratio frame / artist.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/ratio.h"
#include "engine/art/art_service.h"
#include "engine/base/mainframe.h"
#include "engine/base/random.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/ui.h"
#include "game/field/field.h"
#include "game/field/physics/physics_body.h"
#include "game/field/physics/physics_world.h"
#include "game/shell/play/bottom_panel.h"
#include "game/shell/play/meter_panel.h"
#include "game/shell/play/profile_field_game.h"
#include "game/shell/play/top_panel.h"
#include "game/shell/progress/profile.h"
#include "tests/platform/recording_artist.h"
#include "tests/shell/data_tree.h"
#include "tools/mission_tools/mission_screen.h"

namespace {

using namespace kq;

constexpr int frame_ms = 16;
// Every piece is kept at this speed, metres a second (10 pixels a metre).
constexpr float piece_speed = 20.0f;

// A texture that is only the device's handle of a loaded one.
class HandleTexture : public Texture
{
public:
    explicit HandleTexture(TextureHandle handle) : m_handle(handle) {}
    TextureHandle handle() const override { return m_handle; }
    void mix(const Texture&) override {}
    std::uint32_t pixel(const Vector2<int>&) const override { return 0; }
    std::uint32_t pixel_at(const Vector2<float>&) const override { return 0; }

private:
    TextureHandle m_handle;
};

// A batch of a recorded frame, as the Artist takes it again: its state, and its geometry as
// quads or as lines (pairs of vertices).
struct Batch
{
    std::uint32_t kind;
    std::uint32_t state;
    HandleTexture texture;
    HandleTexture second;
    Color factor;
    std::vector<Quad> quads;
    std::vector<QuadVertex> lines;
    bool clipped;  // drawn under a scissor narrower than the screen
};

// A device vertex back as the Artist took it (no transformation, white global colour).
QuadVertex quad_vertex(const DeviceVertex& v, float offset)
{
    const auto channel = [&v](int shift) { return float((v.color >> shift) & 0xFF) / 255.0f; };
    return {v.x - offset, v.y - offset, channel(16), channel(8), channel(0), channel(24), v.tu, v.tv, v.tu2, v.tv2};
}

std::vector<Batch> batches_of(const std::vector<test::RecordedBatch>& recorded)
{
    std::vector<Batch> batches;
    for (const test::RecordedBatch& r : recorded) {
        const bool clipped = r.scissor.x > 0 || r.scissor.y > 0 || r.scissor.w < 1024 || r.scissor.h < 768;
        Batch batch{r.kind, r.state, HandleTexture(r.texture), HandleTexture(r.second_texture), r.factor, {}, {},
                    clipped};
        if (r.kind == primitive_quads) {
            for (std::size_t i = 0; i + 4 <= r.vertices.size(); i += 4) {
                Quad quad;
                for (std::size_t k = 0; k < 4; ++k)
                    quad.v[k] = quad_vertex(r.vertices[i + k], 0.0f);
                batch.quads.push_back(quad);
            }
        } else if (r.kind == primitive_lines) {
            for (const DeviceVertex& v : r.vertices)
                batch.lines.push_back(quad_vertex(v, 0.5f));
        }
        batches.push_back(std::move(batch));
    }
    return batches;
}

// The first mission of a copy of the data tree on the real screen under the game frame's
// panels, its pieces kept moving.
class MissionFrame
{
public:
    MissionFrame()
    {
        m_window = start_api_window_service(SkinPath("vimo.window"));
        start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
        start_art_service();
        m_artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
        m_ui = SharedPtr<UI>(new UI(SkinPath("vimo.ui"), SharedPtr<Window>(m_window), m_artist));
        Mainframe::register_service(SharedPtr<Service>(m_ui));

        random_seed(1);
        m_field = std::make_unique<Field>(FieldSettings{}, m_game);
        m_field->read_skin(SkinPath("missions.chapter1.mission1"));
        // A skipped mission makes no more pieces, so the count stays as loaded; everything
        // else steps and draws as in play.
        m_field->set_game_state(GameState::skip);
        m_field->world().step(5.0f, 500);

        m_top.set_up(CIIndependent(SkinPath("panels.top")));
        m_bottom.set_up(CIIndependent(SkinPath("panels.bottom")));
        m_left.set_up(CIIndependent(SkinPath("panels.left_meter")));
        m_right.set_up(CIIndependent(SkinPath("panels.right_meter")));
        for (Control* panel : panels())
            Control::attach_to_parent(panel, m_ui->root());
        m_top.set_record(m_field->settings(), true);
        m_bottom.set_field(m_field.get());
        m_left.set_field(m_field.get());
        m_right.set_field(m_field.get());
        // The textures are loaded and the panels' timers run.
        for (int t = 0; t < 1000; t += frame_ms)
            frame();
    }

    ~MissionFrame()
    {
        for (Control* panel : panels())
            panel->detach();
        Mainframe::unregister_service(SharedPtr<Service>(m_ui));
        m_ui = SharedPtr<UI>();
        m_field.reset();
        stop_art_service();
        stop_dxdraw_service();
        stop_api_window_service(m_window);
    }

    /// One game frame: the pieces kept moving, the field and the UI's timers stepped, the
    /// field under the panels drawn and presented.
    void frame()
    {
        keep_pieces_moving();
        m_field->update(frame_ms);
        m_ui->update_timers();
        draw(*m_artist);
    }

    /// What one frame hands to the Artist.
    std::vector<test::RecordedBatch> record()
    {
        test::RecordingArtist recorder;
        recorder.screen = {0, 0, 1024, 768};
        keep_pieces_moving();
        m_field->update(frame_ms);
        m_ui->update_timers();
        draw(recorder);
        return std::move(recorder.batches);
    }

    DXArtist& artist() { return *m_artist; }
    int pieces() const { return int(m_field->pieces().size()); }

    /// The pieces whose speed is below half the set one.
    int slow_pieces() const
    {
        int slow = 0;
        for (const auto& [group, piece] : m_field->pieces())
            if (!piece->body() || piece->body()->linear_velocity().Length() < piece_speed / 2)
                ++slow;
        return slow;
    }

private:
    std::vector<Control*> panels() { return {&m_top, &m_bottom, &m_left, &m_right}; }

    // Each piece goes on in its direction at the set speed; a piece at rest sets off in a
    // direction of its own.
    void keep_pieces_moving()
    {
        int index = 0;
        for (const auto& [group, piece] : m_field->pieces()) {
            PhysicsBody* body = piece->body();
            ++index;
            if (!body)
                continue;
            b2Vec2 v = body->linear_velocity();
            if (v.Length() < 0.01f)
                v = {std::cos(2.4f * float(index)), std::sin(2.4f * float(index))};
            v.Normalize();
            body->set_linear_velocity(piece_speed * v);
        }
    }

    // As the game frame draws: the field, the panels over it, the field's overlay on top.
    void draw(Artist& artist)
    {
        if (!artist.begin_scene())
            return;
        artist.clear({0, 0, 0, 1});
        m_field->draw(artist);
        for (Control* panel : panels())
            panel->draw_tree(artist);
        m_field->draw_overlay(artist);
        artist.end_scene();
    }

    test::DataTree m_tree{"kq_bench_game_frame_"};  ///< first made, last gone
    const Profile m_profile;  ///< a new profile
    ProfileFieldGame m_game{m_profile};
    APIWindow* m_window = nullptr;
    DXArtist* m_artist = nullptr;
    SharedPtr<UI> m_ui;
    std::unique_ptr<Field> m_field;
    TopPanel m_top;
    BottomPanel m_bottom;
    MeterPanel m_left;
    MeterPanel m_right;
};

void report(benchmark::State& state, MissionFrame& mission, const std::vector<Batch>& batches)
{
    std::size_t quads = 0;
    for (const Batch& batch : batches) {
        quads += batch.quads.size();
        if (batch.clipped)
            state.SetLabel("the frame draws under a scissor the artist loop leaves out");
    }
    state.counters["pieces"] = mission.pieces();
    state.counters["batches"] = double(batches.size());
    state.counters["quads"] = double(quads);
}

// The recorded batches handed to the Artist again and presented.
void replay(DXArtist& screen, const std::vector<Batch>& batches)
{
    if (!screen.begin_scene())
        return;
    screen.clear({0, 0, 0, 1});
    for (const Batch& batch : batches) {
        screen.set_render_state(batch.state);
        screen.set_textures(&batch.texture, &batch.second);
        screen.set_texture_factor(batch.factor);
        for (const Quad& quad : batch.quads)
            screen.add_quad(quad);
        for (std::size_t i = 0; i + 2 <= batch.lines.size(); i += 2)
            screen.add_line(batch.lines[i], batch.lines[i + 1]);
    }
    screen.end_scene();
}

constexpr int block_frames = 20;

// Each iteration is one turn: 20 game frames and 20 replays of the recorded one.
void frame_and_artist(benchmark::State& state)
{
    MissionFrame mission;
    const std::vector<Batch> batches = batches_of(mission.record());
    bench::RatioSamples ratios;
    int turn = 0;
    for (auto _ : state) {
        const auto [game_ms, artist_ms] = bench::run_turn(
            turn++, [&] { return bench::thread_cpu_ms_of(block_frames, [&] { mission.frame(); }); },
            [&] { return bench::thread_cpu_ms_of(block_frames, [&] { replay(mission.artist(), batches); }); });
        ratios.add("frame/artist", game_ms / artist_ms);
    }
    ratios.report(state);
    report(state, mission, batches);
    state.counters["slow_pieces"] = mission.slow_pieces();
}

}

BENCHMARK(frame_and_artist)->Iterations(30)->Unit(benchmark::kMillisecond);

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
