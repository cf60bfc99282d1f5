#include "engine/art/canvas_sprite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "art_res_support.h"
#include "art_test_support.h"
#include "engine/art/camera_sprite.h"

namespace kq::test {
namespace {

using testing::HasSubstr;

// The quad's place (x, y, w, h) and its first-stage texture rectangle in pixels of a 64 x 64
// texture (u, v, du, dv times 64).
struct Drawn
{
    float x, y, w, h;
    float u, v, du, dv;
};

Drawn drawn(const Quad& quad)
{
    const QuadVertex& a = quad.v[0];
    const QuadVertex& c = quad.v[2];
    return {a.x, a.y, c.x - a.x, c.y - a.y, a.tu * 64, a.tv * 64, (c.tu - a.tu) * 64, (c.tv - a.tv) * 64};
}

TEST(CanvasSprite, NineQuadsCutTheSourceByTheBorders)
{
    TestResources resources;
    resources.add<Texture>("t.png", SharedPtr<Texture>(new FakeTexture(64, 64, 64, 64)));
    struct Case {
        const char* what;
        Vector2<float> size;
        std::int32_t border;
        Drawn top, centre, bottom_right;
    };
    // Source region 32 x 32 from (4, 2); right and bottom strips start at 32 - border - 1.
    const Case cases[] = {
        {"borders of 10 on a 100 x 60 canvas", {100, 60}, 10,
         {10, 0, 80, 10, 14, 2, 11, 10}, {10, 10, 80, 40, 14, 12, 11, 11}, {90, 50, 10, 10, 25, 23, 10, 10}},
        {"borders wider than the canvas", {12, 12}, 10,
         {10, 0, -8, 10, 14, 2, 11, 10}, {10, 10, -8, -8, 14, 12, 11, 11}, {2, 2, 10, 10, 25, 23, 10, 10}},
    };
    for (const Case& c : cases) {
        SharedPtr<CanvasSprite> canvas(new CanvasSprite);
        canvas->set_texture(ResHandle<Texture>(ResKey{"t.png", 0}));
        canvas->set_source_rect({4, 2}, {32, 32});
        canvas->set_grid({3, 3});  // not used by the canvas
        canvas->set_size(c.size);
        canvas->set_borders({c.border, c.border, c.border, c.border});
        const Sprite::Quads& quads = canvas->world_quads();
        ASSERT_EQ(quads.size(), 9u) << c.what;
        const auto expect = [&](const Drawn& actual, const Drawn& expected, const char* part) {
            EXPECT_FLOAT_EQ(actual.x, expected.x) << c.what << ", " << part;
            EXPECT_FLOAT_EQ(actual.y, expected.y) << c.what << ", " << part;
            EXPECT_FLOAT_EQ(actual.w, expected.w) << c.what << ", " << part;
            EXPECT_FLOAT_EQ(actual.h, expected.h) << c.what << ", " << part;
            EXPECT_NEAR(actual.u, expected.u, 1e-4) << c.what << ", " << part;
            EXPECT_NEAR(actual.v, expected.v, 1e-4) << c.what << ", " << part;
            EXPECT_NEAR(actual.du, expected.du, 1e-4) << c.what << ", " << part;
            EXPECT_NEAR(actual.dv, expected.dv, 1e-4) << c.what << ", " << part;
        };
        expect(drawn(quads[1]), c.top, "top");
        expect(drawn(quads[8]), c.centre, "centre");
        expect(drawn(quads[4]), c.bottom_right, "bottom right");
        EXPECT_FLOAT_EQ(drawn(quads[0]).x, 0.0f) << c.what;
    }
}

TEST(CameraSprite, StoredFormIsTheSpritesBehindAVersion)
{
    CameraSprite camera;
    camera.set_size(Vector2<float>{512, 384});
    const std::string bytes = own_bytes(camera);
    CameraSprite read;
    load_bytes(read, bytes);
    EXPECT_EQ(read.size(), (Vector2<float>{512, 384}));
    EXPECT_THAT(error_of([&] { load_bytes(read, u8(1) + bytes.substr(1)); }), HasSubstr("unsupported version."));
    EXPECT_THAT(error_of([&] { load_bytes(read, ""); }), HasSubstr("unexpected end of buffer."));
}

}
}
