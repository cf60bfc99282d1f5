#pragma once

// Drawing sprites for the tests of the tree: a sprite kind that draws its local rectangle in
// its colour, and a frame rendered into the recording artist.
#include <cstdint>
#include <vector>

#include "engine/art/sprite.h"
#include "engine/art/sprite_deformer.h"
#include "engine/base/class_desc.h"
#include "engine/platform/artist.h"
#include "tests/platform/recording_artist.h"

namespace kq::test {

/// A sprite that draws its local rectangle, untextured, in its colour.
class Tile : public Sprite
{
public:
    Tile() = default;
    Tile(const Tile&) = default;

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
        ++m_builds;
    }

    void draw(Artist& artist) override
    {
        Sprite::draw(artist);
        artist.unbind_texture();
        for (const Quad& quad : quads())
            artist.add_quad(quad);
    }

    int m_builds = 0;
};

/// Moves every vertex it is given by a fixed offset.
class ShiftDeformer : public SpriteDeformer
{
public:
    ShiftDeformer() = default;
    explicit ShiftDeformer(Vector2<float> shift) : m_shift(shift) {}

protected:
    void deform_vertex(QuadVertex& vertex) override
    {
        vertex.x += m_shift.x;
        vertex.y += m_shift.y;
    }

private:
    Vector2<float> m_shift;
};

/// Registers the test kinds (once), so that they can be cloned and streamed.
void register_test_sprites();

/// The device colour word of a colour, packed by hand: A, R, G, B bytes from the top.
inline std::uint32_t packed(float r, float g, float b, float a)
{
    const auto byte = [](float channel) { return static_cast<std::uint32_t>(channel * 255.0f); };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

/// Renders the tree in one frame and returns every vertex drawn, in order.
inline std::vector<DeviceVertex> render_frame(Sprite& root)
{
    RecordingArtist artist;
    artist.begin_scene();
    root.render(artist);
    artist.end_scene();
    std::vector<DeviceVertex> vertices;
    for (const RecordedBatch& batch : artist.batches)
        vertices.insert(vertices.end(), batch.vertices.begin(), batch.vertices.end());
    return vertices;
}

}

KQ_TYPE_NAME(kq::test::Tile, "class kq::test::Tile");
KQ_TYPE_NAME(kq::test::ShiftDeformer, "class kq::test::ShiftDeformer");

inline void kq::test::register_test_sprites()
{
    static const bool registered = [] {
        rtti::ClassDesc<Tile>::instance().add_base(type_name<Sprite>());
        rtti::ClassDesc<ShiftDeformer>::instance().add_base(type_name<SpriteDeformer>());
        return true;
    }();
    (void)registered;
}
