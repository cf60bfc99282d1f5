#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "art_res_support.h"
#include "art_test_support.h"
#include "engine/art/animation_controller.h"
#include "engine/art/image_sprite.h"
#include "tests/platform/recording_artist.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::HasSubstr;

TEST(AnimationController, TheCoefficientPicksAFrameAndHoldsTheLast)
{
    const struct Case {
        std::int32_t first;
        std::int32_t count;
        float coefficient;
        bool shown;
        std::int64_t frame;
    } cases[] = {
        {1, 8, 0.0f, true, 0},   {1, 8, 0.5f, true, 4},     {1, 8, 0.87f, true, 6},  {1, 8, 1.0f, true, 7},
        {3, 8, 1.0f, true, 9},   {1, 1, 0.7f, true, 0},     {1, 0, 0.5f, false, 0},  {1, -4, 0.5f, false, 0},
        {2147483647, 2, 1.0f, true, 2147483647},
    };
    for (const Case& c : cases) {
        AnimationController animation;
        animation.set_frames(c.first, c.count);
        std::int64_t frame = -1;
        EXPECT_EQ(animation.frame_at(c.coefficient, frame), c.shown) << c.first << " " << c.count;
        if (c.shown) {
            EXPECT_EQ(frame, c.frame) << c.first << " " << c.count << " " << c.coefficient;
        }
    }
}

TEST(AnimationController, FramesRunAlongTheRowsOfTheGrid)
{
    const PlainTexture strip(1, 256, 32);
    const PlainTexture sheet(2, 256, 128);
    using Placement = ArtTexturePlacement;
    const struct Case {
        const char* name;
        const Texture* texture;
        Placement placement;
        Vector2<int> tsize;
        Vector2<float> size;
        std::int64_t frame;
        bool shown;
        Vector2<int> begin;
    } cases[] = {
        {"stretch cells of 32 make an 8 by 1 grid", &strip, Placement::stretch, {32, 32}, {10, 10}, 4, true, {128, 0}},
        {"the last of eight", &strip, Placement::stretch, {32, 32}, {10, 10}, 7, true, {224, 0}},
        {"full: one column, rows run past the texture", &strip, Placement::full, {32, 32}, {10, 10}, 4, true, {0, 128}},
        {"tile: a 2 by 2 grid", &sheet, Placement::tile, {128, 64}, {10, 10}, 2, true, {0, 64}},
        {"stretch: a 2 by 2 grid", &sheet, Placement::stretch, {128, 64}, {10, 10}, 3, true, {128, 64}},
        {"texel: the rounded sprite size", &strip, Placement::texel, {1, 1}, {63.5f, 32}, 5, true, {64, 32}},
        {"projective also takes the sprite size", &sheet, Placement::projective, {1, 1}, {128, 64}, 1, true, {128, 0}},
        {"no texture: one cell wide", nullptr, Placement::texel, {1, 1}, {16, 8}, 3, true, {0, 24}},
        {"no texture, full: a 1 by 1 cell", nullptr, Placement::full, {1, 1}, {16, 8}, 3, true, {0, 3}},
        {"a cell wider than the texture", &strip, Placement::stretch, {512, 32}, {10, 10}, 1, false, {}},
        {"a zero texture size", &strip, Placement::tile, {0, 32}, {10, 10}, 1, false, {}},
        {"a zero-height texture size", &strip, Placement::stretch, {32, 0}, {10, 10}, 1, false, {}},
        {"a zero-sized sprite", &strip, Placement::texel, {32, 32}, {0.4f, 10}, 1, false, {}},
        {"a zero-sized sprite without texture", nullptr, Placement::texel, {32, 32}, {0, 0}, 1, false, {}},
        {"a negative sprite size", &strip, Placement::texel, {32, 32}, {-32, 32}, 1, false, {}},
    };
    for (const Case& c : cases) {
        Vector2<int> begin{-7, -7};
        EXPECT_EQ(AnimationController::frame_begin(c.texture, c.placement, c.tsize, c.size, c.frame, begin), c.shown)
            << c.name;
        EXPECT_EQ(begin, c.shown ? c.begin : (Vector2<int>{-7, -7})) << c.name;
    }
}

TEST(AnimationController, BinaryAndSkinForms)
{
    AnimationController source;
    source.set_frames(3, 12);
    source.set_secondary(true);
    source.set_momentary(true);
    const std::string bytes = own_bytes(source);
    AnimationController read;
    load_bytes(read, bytes);
    EXPECT_EQ(read.first_frame(), 3);
    EXPECT_EQ(read.frame_count(), 12);
    EXPECT_FALSE(read.is_secondary()) << "the secondary flag is not stored";
    EXPECT_TRUE(read.is_momentary());
    const struct Damage {
        std::string bytes;
        const char* message;
    } damaged[] = {
        {u8(1) + bytes.substr(1), "unsupported version."},
        {bytes.substr(0, bytes.size() - 3), "unexpected end of buffer."},
    };
    for (const Damage& d : damaged) {
        AnimationController broken;
        EXPECT_THAT(error_of([&] { load_bytes(broken, d.bytes); }), HasSubstr(d.message));
    }

    TestSkinEnvironment skin(R"(
        flicker "class kq::AnimationController" {
            state_mask 0 state_value 0 momentary false fleeting false start 2 count 6 secondary true
        }
        partial "class kq::AnimationController" { state_mask 0 state_value 0 momentary false fleeting false start 2 count 6 }
    )");
    AnimationController flicker;
    flicker.read_skin(SkinPath("flicker"));
    EXPECT_EQ(flicker.first_frame(), 2);
    EXPECT_EQ(flicker.frame_count(), 6);
    EXPECT_TRUE(flicker.is_secondary());
    AnimationController partial;
    EXPECT_THAT(error_of([&] { partial.read_skin(SkinPath("partial")); }), HasSubstr("node not found ["));
}


TEST(AnimationController, MovesTheTextureWindowOfItsImageSprite)
{
    TestResources resources;
    resources.add<Texture>("strip.png", SharedPtr<Texture>(new FakeTexture(256, 32, 256, 32)));
    const struct Case {
        const char* name;
        bool secondary;
        ArtTexturePlacement placement;
        Vector2<float> size;
        Vector2<int> begins[3];  // at 0, 400 and 800 ms of an 800 ms timer
    } cases[] = {
        {"stretch cells along the strip", false, ArtTexturePlacement::stretch, {32, 32}, {{0, 0}, {128, 0}, {224, 0}}},
        {"full cells down the rows", true, ArtTexturePlacement::full, {32, 32}, {{0, 0}, {0, 128}, {0, 224}}},
        {"a zero-sized sprite keeps its window", false, ArtTexturePlacement::texel, {0, 0}, {{5, 5}, {5, 5}, {5, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SharedPtr<ImageSprite> image(new ImageSprite);
        image->set_size(c.size);
        const ResHandle<Texture> strip(ResKey{"strip.png", 0});
        c.secondary ? image->set_secondary_texture(strip) : image->set_texture(strip);
        image->set_source_rect({5, 5}, {32, 32});
        image->property(property_set, SP_SEC_TBEGIN, std::vector<float>{5, 5}.data());
        c.secondary ? image->set_secondary_placement(c.placement) : image->set_placement(c.placement);
        auto* timer = new SpriteTimer;
        timer->set_period(800);
        image->set_timer(timer);
        auto* animation = new AnimationController;
        animation->set_frames(1, 8);
        animation->set_secondary(c.secondary);
        image->add_controller(SharedPtr<SpriteBase>(animation));
        const std::int32_t times[] = {0, 400, 800};
        for (int i = 0; i < 3; ++i) {
            image->tick(TimeStamp{TimeStamp::millisecond_clock, times[i], nullptr});
            EXPECT_EQ(c.secondary ? image->secondary_tbegin() : image->tbegin(), c.begins[i]) << times[i];
            EXPECT_EQ(c.secondary ? image->tbegin() : image->secondary_tbegin(), (Vector2<int>{5, 5}))
                << "the other texture keeps its window";
        }
        EXPECT_EQ(c.secondary ? image->secondary_placement() : image->placement(), c.placement);
    }

    // A parent that is not an image sprite is left alone.
    SharedPtr<Sprite> plain(new Sprite);
    plain->set_timer(new SpriteTimer);
    plain->add_controller(SharedPtr<SpriteBase>(new AnimationController));
    plain->tick(TimeStamp{TimeStamp::millisecond_clock, 0, nullptr});
    EXPECT_EQ(plain->size(), (Vector2<float>{32, 32}));
}

}
