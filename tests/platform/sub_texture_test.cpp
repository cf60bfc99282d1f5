#include "engine/platform/sub_texture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/res/res.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"
#include "tests/platform/recording_artist.h"

namespace kq {
namespace {

using P = ArtTexturePlacement;

const ResKey page_key{"page.png", 0x10};

// A resource manager holding a 128 x 64 page built in code.
struct PageFixture
{
    PageFixture()
    {
        res->add_resource({type_name<Texture>(), page_key}, page);
        ResHandle<Texture> handle(page_key);
        part.assign(handle, {64, 0, 32, 32});
    }

    SharedPtr<Res> res{new Res};
    SharedPtr<Texture> page{new test::PlainTexture(42, 128, 64)};
    SubTexture part;
};

TEST(SubTexture, AnswersInPageCoordinates)
{
    PageFixture f;
    EXPECT_EQ(f.part.width(), 32);
    EXPECT_EQ(f.part.image_height(), 32);
    EXPECT_EQ(f.part.handle(), 42u);
    EXPECT_EQ(f.part.to_uv({32, 16}), (Vector2<float>{0.75f, 0.25f}));
    EXPECT_EQ(f.part.rect_to_uv({0, 16, 32, 16}), (Rect{0.5f, 0.25f, 0.25f, 0.25f}));
    static_cast<test::PlainTexture&>(*f.page).m_pixel = 0x11223344;
    EXPECT_EQ(f.part.pixel({1, 1}), 0x11223344u);
    EXPECT_EQ(f.part.pixel_at({0.5f, 0.5f}), 0x11223344u);
}

TEST(SubTexture, CoordinatesFollowThePlacementOnThePage)
{
    PageFixture f;
    const Rect untouched{9, 9, 9, 9};
    struct Case {
        P placement;
        Vector2<float> size;
        Vector2<int> a, b;
        Rect expected;
    };
    const Case cases[] = {
        {P::texel, {16, 32}, {0, 16}, {5, 5}, {0.5f, 0.25f, 0.125f, 0.5f}},
        // Tile draws as texel: size over page size, whatever the tile size.
        {P::tile, {200, 100}, {0, 0}, {50, 50}, {0.5f, 0, 1.5625f, 1.5625f}},
        {P::tile, {200, 100}, {0, 0}, {0, 0}, {0.5f, 0, 1.5625f, 1.5625f}},
        {P::full, {200, 100}, {3, 3}, {3, 3}, {0.5f, 0, 0.25f, 0.5f}},
        {P::stretch, {200, 100}, {16, 0}, {16, 32}, {0.625f, 0, 0.125f, 0.5f}},
        {P::projective, {200, 100}, {1, 1}, {1, 1}, untouched},
    };
    for (const Case& c : cases) {
        Rect out = untouched;
        f.part.coordinates(out, c.size, c.placement, c.a, c.b);
        EXPECT_EQ(out, c.expected) << int(c.placement);
    }

    // The artist draws a sub-texture as the rectangle of its page.
    test::RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    artist.draw_texture(&f.part, {0, 0, 10, 10}, {1, 1, 1, 1});
    artist.end_scene();
    ASSERT_EQ(artist.batches.size(), 1u);
    EXPECT_EQ(artist.batches[0].texture, 42u);
    EXPECT_EQ(artist.batches[0].vertices[2].tu, 0.75f);
    EXPECT_EQ(artist.batches[0].vertices[2].tv, 0.5f);
}

TEST(SubTexture, WithoutAPageDrawsNothingAndNeverThrows)
{
    TempDir dir;
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.path() + "default.root");
    SubTexture unassigned;
    SubTexture missing;
    missing.assign(ResHandle<Texture>(ResKey{"missing.png", 0x10}), {1, 2, 3, 4});
    for (SubTexture* part : {&unassigned, &missing}) {
        EXPECT_EQ(part->handle(), 0u);
        EXPECT_EQ(part->pixel({0, 0}), 0xFF000000u);
        EXPECT_EQ(part->pixel_at({0, 0}), 0xFF000000u);
        EXPECT_EQ(part->to_uv({5, 5}), (Vector2<float>{0, 0}));
        EXPECT_EQ(part->rect_to_uv({1, 1, 2, 2}), Rect{});
        Rect out{1, 2, 3, 4};
        part->coordinates(out, {10, 10}, P::full, {}, {});
        EXPECT_EQ(out, (Rect{1, 2, 3, 4}));
    }
    EXPECT_EQ(unassigned.rect(), (RectI{0, 0, 1, 1}));
    EXPECT_EQ(missing.width(), 3);

    test::RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    artist.draw_texture(&missing, {0, 0, 10, 10}, {1, 1, 1, 1});
    artist.end_scene();
    ASSERT_EQ(artist.batches.size(), 1u);
    EXPECT_EQ(artist.batches[0].texture, 0u);
}

TEST(SubTexture, MixIsOnlyReported)
{
    PageFixture f;
    test::LogCapture log;
    f.part.mix(*f.page);
    EXPECT_THAT(log.text("error"), testing::HasSubstr("\nUnimplemented code reached.\n"));
    EXPECT_EQ(f.part.handle(), 42u);
}

}
}
