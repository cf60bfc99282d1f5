#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "drawn_quads.h"
#include "engine/base/buffer.h"
#include "engine/base/tstream.h"
#include "engine/platform/font.h"
#include "vimu_fixture.h"
#include "tests/art/art_res_support.h"

namespace kq {
namespace {

using test::DrawnQuad;
using test::drawn_quads;
using test::PieceField;
using test::PlainTexture;

// Missions whose aiming sprites have textures of their own (handles: beam 50, arrow tail 51,
// arrow head 52, digits 53); "aimed" starts with the accuracy bonus, "limp" with a strike
// bonus of strength 0.
#define DRAWN_SPRITES                                                                              \
    "accuracy : image_keys { texture \"beam.png\" } "                                             \
    "arrow_tail : image_keys { texture \"tail.png\" size [(32, 6)] } "                            \
    "arrow_head : image_keys { texture \"head.png\" size [(10, 10)] } "                           \
    "launch_nember : text_keys { font \"digits.fnt\" pivot [(16, 16)] } "

const char* const missions =
    "drawn : mission_keys { " DRAWN_SPRITES "} "
    "aimed : mission_keys { " DRAWN_SPRITES "initial_bonuses [{ accuracy, 1 }] } "
    "limp : mission_keys { " DRAWN_SPRITES
    "bonuses { vimoes_per_bonus 10 powerful_strike <bonus> : bonus_keys { data 0 } } "
    "initial_bonuses [{ powerful_strike, 1 }] }";

class FieldOverlay : public testing::Test
{
protected:
    FieldOverlay()
    {
        texture("beam.png", 50, 64, 64);
        texture("tail.png", 51, 64, 64);
        texture("head.png", 52, 64, 64);
        texture("digits.png", 53, 16, 8);
        // The digits 1, 2 and 3 side by side, 4 x 8 pixels each.
        SharedPtr<Font> font(new Font);
        StringBuffer description("HGEFONT Bitmap=digits.png Char=\"1\",0,0,4,8,0,0 Char=\"2\",4,0,4,8,0,0 "
                                 "Char=\"3\",8,0,4,8,0,0\n");
        TStream stream(description);
        EXPECT_TRUE(font->parse(stream));
        font->resolve();
        m_resources.add("digits.fnt", font);
        m_artist.begin_scene();
    }

    void texture(const std::string& name, TextureHandle handle, int w, int h)
    {
        m_resources.add(name, SharedPtr<Texture>(new PlainTexture(handle, w, h)));
    }

    // The quads of one texture that the field's drawing (or its overlay's) drew.
    std::vector<DrawnQuad> drawn(Field& field, TextureHandle texture, bool overlay)
    {
        if (overlay)
            field.draw_overlay(m_artist);
        else
            field.draw(m_artist);
        std::vector<DrawnQuad> out;
        for (const DrawnQuad& quad : drawn_quads(m_artist))
            if (quad.texture == texture)
                out.push_back(quad);
        return out;
    }

    test::TestResources m_resources;
    test::RecordingArtist m_artist;
};

TEST_F(FieldOverlay, TheBeamFadesInOverAHundredPixelsAndOutOverSevenWithTheDragsAlpha)
{
    struct Case {
        float drag;
        float alpha;  // negative: no beam
    };
    for (const Case& c : {Case{10, -1}, Case{20, 0.0f}, Case{60, 0.3f}, Case{100, 0.6f}, Case{300, 0.6f}}) {
        SCOPED_TRACE(c.drag);
        PieceField f({}, missions, "aimed");
        f.add("red", {500, 300});
        ASSERT_TRUE(f.field.on_press({500, 300}));
        f.field.set_aim_point({500 - c.drag, 300});
        f.field.update_aim_point();
        const std::vector<DrawnQuad> beam = drawn(f.field, 50, false);
        if (c.alpha < 0) {
            EXPECT_TRUE(beam.empty());
            continue;
        }
        ASSERT_EQ(beam.size(), 2u);
        const DrawnQuad& in = beam[0];
        const DrawnQuad& out = beam[1];
        // Away from the pointer, from the piece's centre, as wide as the piece and 4 more.
        EXPECT_NEAR(in.x(0), 500, 1e-3);
        EXPECT_NEAR(in.x(1), 600, 1e-3);
        EXPECT_NEAR(out.x(0), 600, 1e-3);
        EXPECT_NEAR(out.x(1), 1300, 1e-3);
        EXPECT_NEAR(in.y(0), 300 - 22, 1e-3);
        EXPECT_NEAR(in.y(3), 300 + 22, 1e-3);
        const float none = 0.0f;
        const std::array<float, 4> in_alpha{none, c.alpha, c.alpha, none};
        const std::array<float, 4> out_alpha{c.alpha, none, none, c.alpha};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(in.alpha(i), in_alpha[std::size_t(i)], 1.0f / 255) << "fading in, vertex " << i;
            EXPECT_NEAR(out.alpha(i), out_alpha[std::size_t(i)], 1.0f / 255) << "fading out, vertex " << i;
        }
        // At field time 0 the pulse stands halfway between its two colours.
        EXPECT_NEAR(in.channel(1, 2), 0.6f, 1.0f / 255);
        EXPECT_NEAR(in.channel(1, 1), 0.6f, 1.0f / 255);
        EXPECT_NEAR(in.channel(1, 0), 0.7f, 1.0f / 255);
    }
}

TEST_F(FieldOverlay, OnlyAHeldPieceAimedWithTheAccuracyBonusShowsTheBeam)
{
    struct Case {
        const char* mission;
        GameMode mode;
        bool beam;
    };
    const Case cases[] = {
        {"aimed", GameMode::aim, true}, {"aimed", GameMode::strikes, true},
        {"aimed", GameMode::hand, false}, {"drawn", GameMode::aim, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mission) + " " + std::to_string(int(c.mode)));
        PieceField f({1, 1, 1, 1, 1}, missions, c.mission);
        f.add("red", {500, 300});
        f.add("red", {700, 300});
        f.field.set_state(c.mode);
        ASSERT_TRUE(f.field.on_press({500, 300}));
        f.field.set_aim_point({440, 300});
        f.field.update_aim_point();
        EXPECT_EQ(drawn(f.field, 50, false).size(), c.beam ? 2u : 0u);
        f.field.release_held_item();
        EXPECT_TRUE(drawn(f.field, 50, false).empty()) << "nothing is held";
    }
}

TEST_F(FieldOverlay, TheAimArrowRunsFromTheOriginToThePointer)
{
    struct Case {
        GameMode mode;
        bool arrow;
    };
    for (const Case& c : {Case{GameMode::aim, true}, Case{GameMode::strikes, true}, Case{GameMode::hand, false},
                          Case{GameMode::fireball, true}}) {
        SCOPED_TRACE(int(c.mode));
        PieceField f({1, 1, 1, 1, 1}, missions, "drawn");
        f.add("red", {500, 300});
        f.field.set_state(c.mode);
        ASSERT_TRUE(f.field.on_press({500, 300}));
        f.field.set_aim_point({440, 300});
        f.field.update_aim_point();
        const std::vector<DrawnQuad> tails = drawn(f.field, 51, true);
        if (!c.arrow) {
            EXPECT_TRUE(tails.empty());
            continue;
        }
        ASSERT_EQ(tails.size(), 1u);
        // The tail stretches from the origin back to the pointer, the head sits on the origin.
        EXPECT_NEAR(tails[0].x(0), 500, 1e-3);
        EXPECT_NEAR(tails[0].x(1), 440, 1e-3);
        f.field.set_aim_point({490, 300});
        EXPECT_TRUE(drawn(f.field, 51, true).empty()) << "a drag under 20 pixels shows no arrow";
    }
}

// The centre of a drawn glyph and the digit it shows (by its place on the digit sheet).
struct Glyph {
    float x, y;
    int digit;
};

Glyph glyph(const DrawnQuad& quad)
{
    return {(quad.x(0) + quad.x(2)) / 2, (quad.y(0) + quad.y(2)) / 2, int(std::lround(quad.v[0].tu * 16 / 4)) + 1};
}

TEST_F(FieldOverlay, PlannedStrikesShowTheirArrowsAndNumbersBeyondTheTails)
{
    PieceField f({}, missions, "drawn");
    const float xs[] = {300, 500, 700};
    const float drags[] = {30, 60, 100};
    for (float x : xs)
        f.add("red", {x, 300});
    f.add("red", {900, 300});  // left unplanned, so planning goes on
    f.field.set_state(GameMode::strikes);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(f.shoot({xs[i], 300}, {xs[i] - drags[i], 300}));
    ASSERT_EQ(f.field.move_records().size(), 3u);

    f.field.draw_overlay(m_artist);
    std::vector<DrawnQuad> tails, digits;
    for (const DrawnQuad& quad : drawn_quads(m_artist))
        (quad.texture == 51 ? tails : digits).push_back(quad);
    ASSERT_EQ(tails.size(), 3u);
    ASSERT_EQ(digits.size(), 6u) << "three arrow heads and three digits";
    int shown = 0;
    for (const DrawnQuad& quad : digits) {
        if (quad.texture != 53)
            continue;
        const Glyph g = glyph(quad);
        const int i = shown++;
        EXPECT_EQ(g.digit, i + 1);
        // An impulse of 50 per pixel of drag, scaled by 0.02: the arrow is as long as the
        // drag, and the number stands 16 pixels beyond its tail.
        EXPECT_NEAR(g.x, xs[i] - drags[i] - 16, 1.0) << "number " << i + 1;
        EXPECT_NEAR(g.y, 300, 1.0) << "number " << i + 1;
        EXPECT_NEAR(tails[std::size_t(i)].x(1), xs[i] - drags[i], 1e-3);
    }
    EXPECT_EQ(shown, 3);
}

TEST_F(FieldOverlay, AStrikeWithoutImpulseShowsItsNumberOnItsOriginWithoutAnArrow)
{
    PieceField f({}, missions, "limp");
    f.add("red", {500, 300});
    f.add("red", {700, 300});
    f.field.set_state(GameMode::strikes);
    ASSERT_TRUE(f.shoot({500, 300}, {440, 300}));
    ASSERT_EQ(f.field.move_records().size(), 1u);
    ASSERT_EQ(f.field.move_records()[0].impulse, (Vector2<float>{0, 0}));

    EXPECT_TRUE(drawn(f.field, 51, true).empty());
    f.field.draw_overlay(m_artist);
    const std::vector<DrawnQuad> quads = drawn_quads(m_artist);
    ASSERT_EQ(quads.size(), 1u);
    const Glyph g = glyph(quads[0]);
    EXPECT_EQ(g.digit, 1);
    EXPECT_NEAR(g.x, 500, 1.0);
    EXPECT_NEAR(g.y, 300, 1.0);
}

}
}
