// The cost of the batching artist: adding a frame of quads through `Artist::add_quad` (to a
// device that draws nothing) against writing the same device vertices, transformed and
// coloured the same way, straight into a plain array. The ratio artist / array is the
// overhead of batching: the reservation checks, the flushes and the calls per vertex.
#include "engine/platform/artist.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using kq::Color;
using kq::DeviceVertex;
using kq::Quad;
using kq::Transform;

constexpr int quads_per_frame = 4000;  // four full batches

// A device that gives storage and draws nothing.
class NullDeviceArtist : public kq::Artist
{
public:
    kq::SharedPtr<kq::Texture> capture_screen() override { return {}; }
    kq::Rect& screen_rect(kq::Rect& out) override { return out = {0, 0, 1024, 768}; }
    void clear(const Color&) override {}

protected:
    void apply_blend(std::uint32_t) override {}
    void apply_wrap(std::uint32_t) override {}
    bool device_begin_scene() override { return true; }
    void device_end_scene() override {}
    void draw_batch() override { benchmark::DoNotOptimize(m_storage.data()); }
    void lock() override
    {
        Artist::lock();
        m_vertices = m_storage.data();
    }

private:
    std::vector<DeviceVertex> m_storage = std::vector<DeviceVertex>(vertex_capacity);
};

std::vector<Quad> make_quads()
{
    std::vector<Quad> quads(quads_per_frame);
    for (int i = 0; i < quads_per_frame; ++i) {
        const float x = float(i % 64) * 16;
        const float y = float(i / 64) * 12;
        const float xs[] = {x, x + 16, x + 16, x};
        const float ys[] = {y, y, y + 12, y + 12};
        for (int k = 0; k < 4; ++k)
            quads[i].v[k] = {xs[k], ys[k], 1, 0.5f, 0.25f, 1, float(k & 1), float(k >> 1), 0, 0};
    }
    return quads;
}

const std::vector<Quad>& quads()
{
    static const std::vector<Quad> s_quads = make_quads();
    return s_quads;
}

const Transform& camera()
{
    static const Transform s_camera = Transform::compose({1.5f, 1.5f}, 0.1f, {20, 30});
    return s_camera;
}

void artist_add_quads(benchmark::State& state)
{
    NullDeviceArtist artist;
    for (auto _ : state) {
        artist.begin_scene();
        artist.transform(camera());
        artist.multiply_global_color({1, 1, 1, 0.5f});
        for (const Quad& quad : quads())
            artist.add_quad(quad);
        artist.end_scene();
    }
    state.SetItemsProcessed(state.iterations() * quads_per_frame);
}

std::uint32_t pack(const Color& c)
{
    const auto byte = [](float v) { return std::uint32_t((v < 0 ? 0 : v > 1 ? 1 : v) * 255.0f); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

void plain_array_write(benchmark::State& state)
{
    std::vector<DeviceVertex> array(4000);
    const Color global{1, 1, 1, 0.5f};
    for (auto _ : state) {
        const Transform& t = camera();
        std::size_t n = 0;
        for (const Quad& quad : quads()) {
            if (n == array.size()) {
                benchmark::DoNotOptimize(array.data());
                n = 0;
            }
            for (const kq::QuadVertex& v : quad.v) {
                DeviceVertex& out = array[n++];
                out.x = v.x * t.m[0] + v.y * t.m[3] + t.m[6];
                out.y = v.x * t.m[1] + v.y * t.m[4] + t.m[7];
                out.z = 0.5f;
                out.color = pack({v.r * global.r, v.g * global.g, v.b * global.b, v.a * global.a});
                out.tu = v.tu;
                out.tv = v.tv;
                out.tu2 = v.tu2;
                out.tv2 = v.tv2;
            }
        }
        benchmark::DoNotOptimize(array.data());
    }
    state.SetItemsProcessed(state.iterations() * quads_per_frame);
}

}

BENCHMARK(plain_array_write);
BENCHMARK(artist_add_quads);

BENCHMARK_MAIN();
