#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/field/effects/vimu_pursue_effect.h"
#include "game/field/objects/vimu.h"
#include "vimu_fixture.h"

namespace kq {
namespace {

using test::PieceField;

// A mission whose bonus bag always draws cost_3x, and the bonus bring effect.
const char* bringing_mission = R"(
    bringing : mission_keys { bonuses { vimoes_per_bonus 1000 cost_3x <bonus> : bonus_keys { present true } } })";
const char* bring_effect = R"(
    effects { bonus_bring "class kq::BonusBringEffect" : sprite_keys { speed 2000
        timer { parameter -1 period 1000 cyclic loop coeff_law linear random_start false period_spread 0 } } })";

std::vector<BonusBringEffect*> brought(Field& field)
{
    std::vector<BonusBringEffect*> effects;
    field.effect_layer().for_each_child([&effects](Sprite* child) {
        if (auto* effect = dynamic_cast<BonusBringEffect*>(child))
            effects.push_back(effect);
    }, false);
    return effects;
}

TEST(FieldTurn, TheTurnEndsTwoSecondsOfFieldTimeAfterTheShot)
{
    PieceField f;
    int steps = 0;
    f.field.on_turn_step().connect([&steps] { ++steps; }, &f);
    f.add("red", {500, 400});
    ASSERT_TRUE(f.shoot({500, 400}, {480, 400}));
    EXPECT_EQ(f.field.step_deadline(), 2000);
    f.run(1990);
    EXPECT_EQ(f.field.turn_count(), 0);
    f.run(10);
    EXPECT_EQ(f.field.turn_count(), 1);
    EXPECT_EQ(f.field.step_deadline(), -1);
    EXPECT_EQ(steps, 1) << "the shot's piece lived through the turn";
    EXPECT_EQ(f.field.last_piece(), nullptr);
    f.run(3000);
    EXPECT_EQ(f.field.turn_count(), 1) << "no shot, no turn";
}

TEST(FieldTurn, AShotWhosePieceDiesEndsItsTurnWithoutATurnStep)
{
    PieceField f;
    int steps = 0;
    int scored = 0;
    f.field.on_turn_step().connect([&steps] { ++steps; }, &f);
    f.field.on_shot_scored().connect([&scored] { ++scored; }, &f);
    Vimu* piece = f.add("red", {500, 400});
    f.add("blue", {100, 100});
    ASSERT_TRUE(f.shoot({500, 400}, {480, 400}));
    piece->ignite(nullptr);
    f.run(2000);
    EXPECT_EQ(f.field.turn_count(), 1);
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(scored, 1);
}

TEST(FieldTurn, AShotOnAnEmptyMeterWhosePieceLivesLosesWhileHeldBackShotsStillFire)
{
    PieceField f;
    std::vector<GameState> states;
    f.field.on_game_state_changed().connect([&states](GameState state) { states.push_back(state); }, &f);
    f.add("red", {200, 200});
    Vimu* held = f.add("blue", {600, 600});
    f.field.add_meter(-f.field.meter());
    ASSERT_EQ(f.field.danger_mode(), DangerMode::empty);
    ASSERT_TRUE(f.shoot({200, 200}, {180, 200}));
    EXPECT_EQ(f.field.danger_mode(), DangerMode::overdrawn);
    ASSERT_TRUE(f.shoot({600, 600}, {600, 620}));
    EXPECT_EQ(f.field.move_records().size(), 1u) << "held back";
    EXPECT_FALSE(held->is_struck());

    f.run(2000);
    EXPECT_EQ(states, std::vector<GameState>{GameState::fail});
    EXPECT_EQ(f.field.danger_mode(), DangerMode::none);
    EXPECT_TRUE(held->is_struck()) << "fired at the turn's end";
    EXPECT_LT(held->velocity().y, 0.0f);
    EXPECT_TRUE(f.field.move_records().empty());
}

TEST(FieldTurn, AMissionAlreadyWonIsNotLostAtTheTurnEnd)
{
    PieceField f;
    int steps = 0;
    f.field.on_turn_step().connect([&steps] { ++steps; }, &f);
    f.add("red", {200, 200});
    f.field.add_meter(-f.field.meter());
    ASSERT_TRUE(f.shoot({200, 200}, {180, 200}));
    f.field.set_game_state(GameState::win);
    f.run(2000);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(f.field.game_state(), GameState::win);
}

TEST(FieldTurn, BonusesAreBroughtAtTurnTwelveOfEveryTwentyFiveWithTheTrophy)
{
    for (const int trophy : {2, -1}) {
        PieceField f({}, bringing_mission, "bringing", bring_effect);
        f.game.trophy = trophy;
        for (int i = 0; i < 5; ++i)
            f.add("red", {100.0f + 150.0f * float(i), 300});
        std::vector<int> counts_with_effects;
        for (int turn = 1; turn <= 62; ++turn) {
            const std::size_t before = brought(f.field).size();
            f.field.end_turn();
            if (brought(f.field).size() > before)
                counts_with_effects.push_back(f.field.turn_count());
            // The flights are not run: the pieces stay plain.
        }
        EXPECT_EQ(counts_with_effects, trophy == 2 ? (std::vector<int>{12, 37, 62}) : std::vector<int>{});
    }
}

TEST(FieldTurn, ABonusBringFliesInFromAfarAndHandsItsPieceTheBonus)
{
    PieceField f({}, bringing_mission, "bringing", bring_effect);
    f.game.trophy = 2;
    Vimu* centred = f.add("red", {512, 384});
    Vimu* right = f.add("blue", {812, 384});
    for (int turn = 0; turn < 12; ++turn)
        f.field.end_turn();

    const std::vector<BonusBringEffect*> effects = brought(f.field);
    ASSERT_EQ(effects.size(), 2u) << "one per piece";
    for (BonusBringEffect* effect : effects) {
        EXPECT_EQ(effect->bonus(), int(Bonus::cost_3x));
        const Vector2<float> from = effect->position() - Vector2<float>{512, 384};
        EXPECT_NEAR(from.length(), 600.0f, 1e-3f) << "even for the piece at the centre";
        if (effect->live_target() == right) {
            EXPECT_NEAR(from.x, 600.0f, 1e-3f);
        }
    }
    EXPECT_EQ(centred->bonus(), -1);
    f.run(1000);
    EXPECT_EQ(centred->bonus(), int(Bonus::cost_3x));
    EXPECT_EQ(right->bonus(), int(Bonus::cost_3x));
    EXPECT_TRUE(brought(f.field).empty()) << "finished on arrival";
}

TEST(FieldTurn, AtMostThreePiecesGetABonusAndNoneWhenNoneCanBeDrawn)
{
    PieceField f({}, bringing_mission, "bringing", bring_effect);
    f.game.trophy = 2;
    for (int i = 0; i < 5; ++i)
        f.add("red", {100.0f + 150.0f * float(i), 300});
    for (int turn = 0; turn < 12; ++turn)
        f.field.end_turn();
    const std::vector<BonusBringEffect*> effects = brought(f.field);
    ASSERT_EQ(effects.size(), 3u);
    EXPECT_NE(effects[0]->live_target(), effects[1]->live_target());
    EXPECT_NE(effects[1]->live_target(), effects[2]->live_target());
    EXPECT_NE(effects[0]->live_target(), effects[2]->live_target());

    PieceField plain({}, "", "plain", bring_effect);
    plain.game.trophy = 2;
    plain.add("red", {300, 300});
    for (int turn = 0; turn < 12; ++turn)
        plain.field.end_turn();
    EXPECT_TRUE(brought(plain.field).empty());
}

TEST(FieldTurn, PlannedStrikesEndThePendingTurnAndOpenTheirOwn)
{
    PieceField f({0, 1, 0, 0, 0});
    f.add("red", {200, 200});
    Vimu* planned = f.add("blue", {600, 600});
    ASSERT_TRUE(f.shoot({200, 200}, {180, 200}));
    f.run(500);
    f.field.select_powerup(Powerup::clock);
    ASSERT_EQ(f.field.mode(), GameMode::strikes);
    ASSERT_TRUE(f.shoot({600, 600}, {600, 620}));
    ASSERT_EQ(f.field.move_records().size(), 1u);
    f.field.end_time_stop();
    EXPECT_EQ(f.field.turn_count(), 1) << "the shot's turn ended first";
    EXPECT_TRUE(planned->is_struck());
    EXPECT_EQ(f.field.step_deadline(), f.field.field_time() + 2000);
    EXPECT_TRUE(f.field.move_records().empty());
}

}
}
