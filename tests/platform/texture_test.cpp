#include "engine/platform/texture.h"

#include <cmath>

#include <gtest/gtest.h>

#include "engine/base/class_base.h"
#include "engine/base/type_registry.h"
#include "tests/platform/recording_artist.h"

namespace kq {
namespace {

using P = ArtTexturePlacement;

TEST(Texture, MapsPixelsThroughTheDeviceSize)
{
    const test::PlainTexture square(1, 64, 64);
    EXPECT_EQ(square.to_uv({32, 16}), (Vector2<float>{0.5f, 0.25f}));
    // A 100 x 60 image held in a 128 x 64 texture.
    const test::PlainTexture padded(1, 128, 64, 100, 60);
    EXPECT_EQ(padded.to_uv({100, 60}), (Vector2<float>{0.78125f, 0.9375f}));
    EXPECT_EQ(padded.rect_to_uv({64, 16, 32, 48}), (Rect{0.5f, 0.25f, 0.25f, 0.75f}));
}

TEST(Texture, CoordinatesFollowThePlacement)
{
    const test::PlainTexture texture(1, 128, 64, 100, 60);
    const Rect untouched{9, 9, 9, 9};
    struct Case {
        P placement;
        Vector2<float> size;
        Vector2<int> a, b;
        Rect expected;
    };
    const Case cases[] = {
        {P::texel, {64, 32}, {32, 16}, {5, 5}, {0.25f, 0.25f, 0.5f, 0.5f}},
        {P::full, {200, 100}, {32, 16}, {5, 5}, {0, 0, 0.78125f, 0.9375f}},
        {P::stretch, {200, 100}, {32, 16}, {64, 32}, {0.25f, 0.25f, 0.5f, 0.5f}},
        {P::tile, {200, 100}, {0, 0}, {50, 50}, {0, 0, 4, 2}},
        {P::tile, {200, 100}, {64, 0}, {-50, 25}, {0.5f, 0, -4, 4}},
        // No tile size: the texture repeats at its own size, never infinitely often.
        {P::tile, {256, 32}, {0, 0}, {0, 0}, {0, 0, 2, 0.5f}},
        {P::tile, {256, 32}, {0, 0}, {64, 0}, {0, 0, 4, 0.5f}},
        {P::projective, {200, 100}, {1, 1}, {1, 1}, untouched},
        {static_cast<P>(9), {200, 100}, {1, 1}, {1, 1}, untouched},
    };
    for (const Case& c : cases) {
        Rect out = untouched;
        texture.coordinates(out, c.size, c.placement, c.a, c.b);
        EXPECT_EQ(out, c.expected) << int(c.placement) << " b " << c.b.x << "," << c.b.y;
        EXPECT_TRUE(std::isfinite(out.w) && std::isfinite(out.h));
    }
}

TEST(Texture, HandleClassIsRegisteredAsAHandle)
{
    const auto* descriptor = rtti::TypeRegistry::find_class(type_name<ResHandle<Texture>>());
    ASSERT_NE(descriptor, nullptr);
    EXPECT_TRUE(descriptor->is_type(type_name<ResHandleBase>()));
}

}
}
