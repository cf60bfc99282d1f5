#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/field/objects/fireball.h"
#include "game/field/objects/vimu.h"
#include "tests/art/art_res_support.h"
#include "tests/field/drawn_quads.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

using test::PieceField;

// A fireball 30 pixels across with a flame and a halo of 40; the pieces are 40 across, so a
// piece explodes when its centre lies closer than 35 pixels.
const char* const fireball_skin = R"(
    burning "class kq::Fireball" : item_keys { form circle size [(30, 30)] density 1
        fire "class kq::Sprite" : sprite_keys { }
        galo : image_keys { texture "halo.png" size [(40, 40)] pivot [(20, 20)] tsize [(64, 64)] } })";

struct FireballField : PieceField
{
    FireballField() : PieceField({}, "", "plain", fireball_skin) {}

    Fireball* add_fireball(Vector2<float> point)
    {
        auto* fireball = create_from_skin<Fireball>(SkinPath("burning"));
        field.add_item(fireball, ItemPlacement{point, 0.0f});
        return fireball;
    }
};

TEST(Fireball, AHeldFireballBurnsNothingAndStays)
{
    FireballField f;
    Fireball* fireball = f.add_fireball({500, 400});
    Vimu* piece = f.add("red", {510, 400});
    WeakPtr<Item> held(fireball);
    f.run(3000);
    EXPECT_NE(held.get(), nullptr);
    EXPECT_FALSE(piece->has_exploded());
    EXPECT_EQ(fireball->time_left(), 1000);
    EXPECT_EQ(fireball->hits_left(), 8);
}

TEST(Fireball, ExplodesThePiecesItOverlapsStrictlyAndCountsEachOnce)
{
    FireballField f;
    Fireball* fireball = f.add_fireball({500, 400});
    struct Case
    {
        Vector2<float> point;
        bool explodes;
    };
    const Case cases[] = {
        {{535, 400}, false},  // touching the outline
        {{500, 434.9f}, true},
        {{479, 421}, true},
        {{460, 380}, false},
    };
    std::vector<Vimu*> pieces;
    for (const Case& c : cases)
        pieces.push_back(f.add(c.point.x < 500 ? "blue" : "red", c.point));
    fireball->launch({1, 0});
    EXPECT_TRUE(fireball->is_launched());
    fireball->update(10);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        EXPECT_EQ(pieces[i]->has_exploded(), cases[i].explodes) << cases[i].point.x << ", " << cases[i].point.y;
    EXPECT_EQ(fireball->hits_left(), 6);
    fireball->update(10);
    EXPECT_EQ(fireball->hits_left(), 6) << "an exploded piece is not counted again";
    EXPECT_EQ(fireball->time_left(), 980);
    EXPECT_FALSE(fireball->is_dead());
}

TEST(Fireball, GoesAfterASecondOfFlight)
{
    FireballField f;
    Fireball* fireball = f.add_fireball({500, 400});
    fireball->launch({0, -3});
    EXPECT_LT(fireball->velocity().y, 0.0f);
    EXPECT_NEAR(fireball->velocity().y * fireball->mass(), -4000.0f, 1.0f) << "an impulse of 4000";
    for (int i = 0; i < 99; ++i)
        fireball->update(10);
    EXPECT_FALSE(fireball->is_dead());
    fireball->update(10);
    EXPECT_TRUE(fireball->is_dead());
}

TEST(Fireball, TenOverlappingPiecesAllExplodeAndTheFireballGoes)
{
    FireballField f;
    Fireball* fireball = f.add_fireball({500, 400});
    std::vector<Vimu*> pieces;
    for (int i = 0; i < 10; ++i)
        pieces.push_back(f.add(i % 2 ? "red" : "blue", {490.0f + 2.0f * float(i), 400.0f}));
    fireball->launch({1, 1});
    fireball->update(10);
    for (Vimu* piece : pieces)
        EXPECT_TRUE(piece->has_exploded());
    EXPECT_EQ(fireball->hits_left(), -2);
    EXPECT_TRUE(fireball->is_dead());
}

TEST(Fireball, ItsFlameFollowsItOnTheEffectLayerUntilItGoes)
{
    FireballField f;
    Fireball* fireball = f.add_fireball({500, 400});
    Sprite* fire = fireball->fire().get();
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->parent(), &f.field.effect_layer());
    fireball->launch({1, 0});
    f.run(200);
    EXPECT_GT(fireball->position().x, 500.0f);
    EXPECT_NE(fire->position(), fireball->position()) << "the flame moves in the update, before the step";
    fireball->update(0);
    EXPECT_EQ(fire->position(), fireball->position());
    const SharedPtr<Sprite> hold(fire);
    f.run(900);
    EXPECT_EQ(fire->parent(), nullptr);
    bool on_layer = false;
    f.field.effect_layer().for_each_child([&](Sprite* child) { on_layer = on_layer || child == fire; }, false);
    EXPECT_FALSE(on_layer);
}

TEST(Fireball, DrawsItsHaloTurningBothWays)
{
    test::TestResources resources;
    resources.add("halo.png", SharedPtr<Texture>(new test::PlainTexture(TextureHandle(5), 64, 64)));
    FireballField f;
    Fireball* fireball = f.add_fireball({500, 400});
    f.run(1000);
    test::RecordingArtist artist;
    artist.begin_scene();
    fireball->prepare_quads();
    fireball->draw(1, artist);
    const std::vector<test::DrawnQuad> quads = test::drawn_quads(artist);
    ASSERT_EQ(quads.size(), 2u);
    const float t = float(f.field.field_time()) * 0.0005f;
    for (std::size_t i = 0; i < 2; ++i) {
        const test::DrawnQuad& q = quads[i];
        const float cx = (q.x(0) + q.x(1) + q.x(2) + q.x(3)) / 4.0f;
        const float cy = (q.y(0) + q.y(1) + q.y(2) + q.y(3)) / 4.0f;
        EXPECT_NEAR(cx, 500.0f, 1e-2f);
        EXPECT_NEAR(cy, 400.0f, 1e-2f);
        const float turn = std::atan2(q.y(1) - q.y(0), q.x(1) - q.x(0));
        EXPECT_NEAR(turn, i == 0 ? t : -t, 1e-4f) << "quad " << i;
        EXPECT_EQ(q.texture, TextureHandle(5));
    }
}

TEST(Fireball, NeedsItsFlameAndHalo)
{
    auto skin = test::piece_skin("", R"(
        nofire "class kq::Fireball" : item_keys { galo : image_keys { } }
        nohalo "class kq::Fireball" : item_keys { fire "" })");
    EXPECT_NE(test::error_of([] { test::item_at("nofire"); }).find("node not found [nofire.fire]"), std::string::npos);
    EXPECT_NE(test::error_of([] { test::item_at("nohalo"); }).find("node not found [nohalo.galo"), std::string::npos);
}

}
}
