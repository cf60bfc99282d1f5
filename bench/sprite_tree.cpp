// The cost of a frame of a sprite tree: 10,000 drawing sprites (100 rows of 100 under one
// root) updated with a time stamp and rendered into the recording artist, against a plain
// loop that hands the artist the same 10,000 world quads. The ratio tree / loop is the price
// of the tree per sprite: the walks, the activity and visibility tests and the timer steps.
// "still" keeps every world transform cached; "moving" turns the root every frame, so every
// sprite rebuilds its geometry and world transform.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/art/art_types.h"
#include "engine/art/sprite.h"
#include "engine/base/base_types.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_types.h"
#include "tests/platform/recording_artist.h"

namespace {

using namespace kq;

constexpr int rows = 100;
constexpr int per_row = 100;

// A sprite that draws its local rectangle in its colour, as image sprites draw theirs.
class Block : public Sprite
{
public:
    void build_geometry() override
    {
        quads().clear();
        const Rect r = local_rect();
        Quad quad;
        const float xs[] = {r.x, r.x + r.w, r.x + r.w, r.x};
        const float ys[] = {r.y, r.y, r.y + r.h, r.y + r.h};
        for (int i = 0; i < 4; ++i)
            quad.v[i] = QuadVertex{xs[i], ys[i], color().r, color().g, color().b, color().a,
                                   float(i == 1 || i == 2), float(i >= 2), 0, 0};
        quads().push_back(quad);
    }

    void draw(Artist& artist) override
    {
        Sprite::draw(artist);
        for (const Quad& quad : quads())
            artist.add_quad(quad);
    }
};

struct Scene
{
    SharedPtr<Sprite> root;
    std::vector<Quad> world_quads;
};

Scene make_scene()
{
    static const bool registered = [] {
        register_base_types();
        register_res_types();
        register_platform_types();
        register_art_types();
        return true;
    }();
    (void)registered;

    Scene scene;
    scene.root = SharedPtr<Sprite>(new Sprite);
    scene.root->set_position(Vector2<float>{512, 384});
    for (int row = 0; row < rows; ++row) {
        SharedPtr<Sprite> line(new Block);
        line->set_inherit(~0u, IF_DEFAULT | IF_TRANSFORMATION);
        line->set_position(Vector2<float>{-500, float(row * 7 - 350)});
        line->set_size(Vector2<float>{4, 4});
        // Every row runs a looping timer, as animated controls do.
        auto* timer = new SpriteTimer;
        timer->set_cyclic(SpriteTimer::Cyclic::loop);
        line->set_timer(timer);
        for (int i = 1; i < per_row; ++i) {
            SharedPtr<Sprite> block(new Block);
            block->set_inherit(~0u, IF_DEFAULT | IF_TRANSFORMATION);
            block->set_position(Vector2<float>{float(i * 10), 0});
            block->set_size(Vector2<float>{8, 6});
            block->set_color({float(i) / per_row, float(row) / rows, 0.5f, 1.0f});
            line->add_child(block);
        }
        scene.root->add_child(line);
    }
    scene.root->for_each_sprite(
        [&scene](Sprite* sprite) {
            for (const Quad& quad : sprite->world_quads())
                scene.world_quads.push_back(quad);
        },
        SpriteBase::walk_self | SpriteBase::walk_subtree);
    return scene;
}

void tree_frame(benchmark::State& state, bool moving)
{
    Scene scene = make_scene();
    test::RecordingArtist artist;
    std::int32_t time = 0;
    for (auto _ : state) {
        if (moving)
            scene.root->set_rotation(float(time % 1000) * 0.001f);
        time += 16;
        artist.batches.clear();
        artist.calls.clear();
        artist.begin_scene();
        scene.root->tick(TimeStamp{TimeStamp::millisecond_clock, time, nullptr});
        scene.root->render(artist);
        artist.end_scene();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(scene.world_quads.size()));
}

void tree_still(benchmark::State& state)
{
    tree_frame(state, false);
}

void tree_moving(benchmark::State& state)
{
    tree_frame(state, true);
}

void plain_loop(benchmark::State& state)
{
    const Scene scene = make_scene();
    test::RecordingArtist artist;
    for (auto _ : state) {
        artist.batches.clear();
        artist.calls.clear();
        artist.begin_scene();
        artist.set_render_state(0);
        for (const Quad& quad : scene.world_quads)
            artist.add_quad(quad);
        artist.end_scene();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(scene.world_quads.size()));
}

}

BENCHMARK(plain_loop)->Unit(benchmark::kMicrosecond);
BENCHMARK(tree_still)->Unit(benchmark::kMicrosecond);
BENCHMARK(tree_moving)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
