#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/base/random.h"
#include "game/field/objects/treasure.h"
#include "tests/field/field_object_fixture.h"

namespace kq {
namespace {

constexpr float two_pi = 2.0f * std::numbers::pi_v<float>;

// Treasures worth 100 with a reach of 16 and a shine of 50 x 30; jewels of three sizes; the
// eat and disappear effects.
const char* const treasure_skin = R"(
    treasure_keys : item_keys { form circle size [(20, 20)] value 100 take_radius 16
        eat_effect "effects.eat" sway_period 2000 sway_range 0.5
        shine : image_keys { size [(50, 30)] } color [(1, 1, 1, 1)] }
    coin "class kq::Treasure" : treasure_keys { }
    tinted "class kq::Treasure" : treasure_keys { color [(0.5, 0.1, 0.2, 0.7)] }
    still "class kq::Treasure" : treasure_keys { sway_period 0 }
    backwards "class kq::Treasure" : treasure_keys { sway_period -300 }
    mute "class kq::Treasure" : treasure_keys { eat_effect "effects.nothing" }
    piece "class kq::Item" : item_keys { form circle size [(40, 40)] gen 1 }
    broken "class kq::Treasure" : item_keys { value 1 take_radius 1 eat_effect "" sway_period 1
        sway_range 1 shine : image_keys { } }
    items {
        jewel1 "class kq::Treasure" : treasure_keys { color [(0.5, 0.1, 0.2, 0.7)] }
        jewel2 "class kq::Treasure" : treasure_keys { color [(0.5, 0.1, 0.2, 0.7)] }
        jewel3 "class kq::Treasure" : treasure_keys { color [(0.5, 0.1, 0.2, 0.7)] }
    }
    text_keys : sprite_keys { font "" text "" valign center halign center brilliance 0 }
    effects {
        floating_text "class kq::TextSprite" : text_keys { size [(80, 16)] }
        eat "class kq::Sprite" : sprite_keys { }
        treasure_disappear "class kq::Sprite" : sprite_keys { }
    }
)";

std::vector<Sprite*> effects_of(Field& field)
{
    std::vector<Sprite*> effects;
    field.effect_layer().for_each_child([&effects](Sprite* child) { effects.push_back(child); }, false);
    return effects;
}

struct TreasureField : test::FieldObjects
{
    TreasureField() : test::FieldObjects(treasure_skin) {}

    /// A piece of 40 pixels on the ground, burning or not.
    test::ProbeItem* add_piece(Vector2<float> point, bool burning)
    {
        auto* piece = new test::ProbeItem;
        piece->read_skin(SkinPath("piece"));
        field.add_item(piece, {point, 0.0f});
        if (burning)
            field.add_burning(*piece);
        return piece;
    }
};

TEST(Treasure, TheFirstBurningPieceWithinReachTakesIt)
{
    struct Case
    {
        Vector2<float> piece;
        bool burning;
        bool taken;
    };
    // Reach: take radius 16 + half the piece's 40 = 36 pixels.
    const Case cases[] = {
        {{536, 400}, true, true},
        {{500, 435.9f}, true, true},
        {{536.1f, 400}, true, false},
        {{500, 400}, false, false},  // however close, a piece that does not burn
    };
    for (const Case& c : cases) {
        TreasureField f;
        auto* treasure = f.add<Treasure>("coin", {500, 400});
        ASSERT_NE(treasure, nullptr);
        f.add_piece(c.piece, c.burning);
        treasure->update(10);
        EXPECT_EQ(treasure->is_dead(), c.taken) << c.piece.x << ", " << c.piece.y;
        EXPECT_EQ(f.field.progress(), c.taken ? 100 : 0);
        EXPECT_EQ(treasure->points(), c.taken ? 100 : 0);
        EXPECT_EQ(effects_of(f.field).size(), c.taken ? 1u : 0u);
    }
}

TEST(Treasure, IsTakenOnceWithItsScoreAndEatEffect)
{
    TreasureField f;
    auto* treasure = f.add<Treasure>("tinted", {500, 400});
    f.add_piece({520, 400}, true);
    f.add_piece({480, 400}, true);
    random_seed(3);
    const int r = random_next();
    random_seed(3);
    treasure->update(10);
    EXPECT_EQ(f.field.progress(), 100) << "two pieces in reach take it once";
    EXPECT_EQ(treasure->points(), 100);
    ASSERT_EQ(treasure->captions().size(), 1u);
    EXPECT_EQ(treasure->captions().front().text, "{#combo.treasure}");
    EXPECT_EQ(treasure->captions().front().colour, (Color{1, 1, 0, 1}));

    const std::vector<Sprite*> effects = effects_of(f.field);
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0]->position(), (Vector2<float>{500, 400}));
    EXPECT_NEAR(effects[0]->rotation(), two_pi * float(r) / 32768.0f, 1e-5f);
    EXPECT_EQ(effects[0]->color(), (Color{0.5f, 0.1f, 0.2f, 0.7f}));

    WeakPtr<Item> held(treasure);
    f.field.update(10);
    EXPECT_EQ(held.get(), nullptr) << "the field removes a taken treasure";
    EXPECT_EQ(f.field.progress(), 100) << "and it is not taken again on its way out";
    EXPECT_EQ(effects_of(f.field).size(), 2u) << "the eat effect and the caption shown as it goes";
}

TEST(Treasure, AnEatEffectThatNamesNothingShowsNothing)
{
    TreasureField f;
    auto* treasure = f.add<Treasure>("mute", {500, 400});
    f.add_piece({510, 400}, true);
    treasure->update(10);
    EXPECT_TRUE(treasure->is_dead());
    EXPECT_EQ(f.field.progress(), 100);
    EXPECT_TRUE(effects_of(f.field).empty());
}

TEST(Treasure, SwaysAboutItsRestAngleFromARandomStart)
{
    TreasureField f;
    random_seed(9);
    const int r = random_next();
    const int r1 = random_next();
    const int r2 = random_next();
    random_seed(9);
    auto* treasure = f.add<Treasure>("coin", {500, 400}, 0.3f);
    const int offset = 2000 * r / 32768;
    EXPECT_FLOAT_EQ(treasure->rest_angle(), 0.3f);
    EXPECT_EQ(treasure->sway_offset(), offset);
    EXPECT_NEAR(treasure->shine().pivot().x, 50.0f * (0.2f + 0.6f * float(r2) / 32768.0f), 1e-4f);
    EXPECT_NEAR(treasure->shine().pivot().y, 30.0f * (0.2f + 0.6f * float(r1) / 32768.0f), 1e-4f);

    for (int step = 0; step < 5; ++step) {
        for (int i = 0; i < 37; ++i)
            f.field.update(10);
        const int now = f.field.field_time();
        const float expected = 0.3f + 0.5f * std::sin(two_pi * float((offset + now) % 2000) / 2000.0f);
        EXPECT_NEAR(treasure->angle(), expected, 1e-4f) << now;
        EXPECT_NEAR(treasure->shine().rotation(), expected, 1e-4f) << now;
        EXPECT_EQ(treasure->shine().position(), (Vector2<float>{500, 400}));
    }
}

TEST(Treasure, WithoutAPositiveSwayPeriodRestsWithoutDividingByZero)
{
    for (const char* path : {"still", "backwards"}) {
        TreasureField f;
        auto* treasure = f.add<Treasure>(path, {500, 400}, 0.3f);
        EXPECT_EQ(treasure->sway_offset(), 0) << path;
        for (int i = 0; i < 20; ++i)
            f.field.update(10);
        EXPECT_FLOAT_EQ(treasure->angle(), 0.3f) << path;
        EXPECT_FLOAT_EQ(treasure->sway_angle(12345), 0.3f) << path;
    }
}

TEST(Treasure, AJewelDisappearsAtTheFifthTurnEndAfterItsOwn)
{
    TreasureField f;
    f.field.end_turn();
    f.field.end_turn();
    const int dropped = f.field.turn_count();
    f.field.create_jewel({300, 200});
    auto* level = f.add<Treasure>("coin", {700, 200});
    Treasure* jewel = nullptr;
    for (const SharedPtr<Item>& item : f.field.items())
        if (item.get() != level)
            jewel = dynamic_cast<Treasure*>(item.get());
    ASSERT_NE(jewel, nullptr);
    EXPECT_EQ(jewel->expiry_turn(), dropped + 5);
    EXPECT_EQ(level->expiry_turn(), -1);

    WeakPtr<Item> held(jewel);
    for (int turn = 1; turn <= 5; ++turn) {
        f.field.end_turn();
        f.field.update(10);
        ASSERT_NE(held.get(), nullptr) << "turn end " << turn;
    }
    EXPECT_TRUE(effects_of(f.field).empty());
    f.add_piece({310, 200}, true);
    f.field.end_turn();
    EXPECT_EQ(f.field.turn_count(), dropped + 6);
    EXPECT_TRUE(jewel->is_dead());
    const std::vector<Sprite*> effects = effects_of(f.field);
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0]->position(), (Vector2<float>{300, 200}));
    EXPECT_EQ(effects[0]->color(), (Color{1.0f, 0.4f, 0.8f, 0.7f})) << "brightened four times, each channel to 1 at most";
    f.field.update(10);
    EXPECT_EQ(held.get(), nullptr);
    EXPECT_EQ(f.field.progress(), 0) << "a burning piece cannot take a jewel that has gone";

    for (int turn = 0; turn < 20; ++turn) {
        f.field.end_turn();
        f.field.update(10);
    }
    EXPECT_FALSE(level->is_dead()) << "a level's treasure never goes by itself";
    EXPECT_EQ(effects_of(f.field).size(), 1u);
}

TEST(Treasure, TheDisappearEffectOfAWhiteTreasureIsWhite)
{
    TreasureField f;
    auto* treasure = f.add<Treasure>("coin", {700, 200});
    treasure->set_expiry_turn(0);
    f.field.end_turn();
    const std::vector<Sprite*> effects = effects_of(f.field);
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0]->color(), (Color{1, 1, 1, 1}));
}

TEST(Treasure, NeedsItsKeys)
{
    TreasureField f;
    EXPECT_NE(test::error_of([] { test::item_at("broken"); }).find("node not found [broken.color]"), std::string::npos);
}

}
}
