#include <gtest/gtest.h>

#include <string>

#include "game/field/objects/fireball.h"
#include "vimu_fixture.h"
#include "tests/base/log_capture.h"

namespace kq {
namespace {

using test::PieceField;

// Powerup counts: one of each.
constexpr std::array<int, 5> one_each{1, 1, 1, 1, 1};

TEST(FieldAim, ADragFiresFrom20PixelsAndTheAimStaysWithin100)
{
    struct Case
    {
        float drag;
        bool fires;
    };
    for (const Case& c : {Case{19.9f, false}, Case{20.0f, true}, Case{300.0f, true}}) {
        SCOPED_TRACE(c.drag);
        PieceField f;
        Vimu* piece = f.add("red", {500, 300});
        ASSERT_TRUE(f.field.on_press({500, 300}));
        EXPECT_EQ(f.field.held_item(), piece);
        f.field.set_aim_point({500 - c.drag, 300});
        f.field.update_aim_point();
        EXPECT_FLOAT_EQ(f.field.aim_point().x, 500 - std::min(c.drag, 100.0f));
        f.field.launch();
        EXPECT_EQ(f.field.held_item(), nullptr);
        EXPECT_EQ(f.field.step_deadline() != -1, c.fires);
        EXPECT_EQ(f.field.meter(), c.fires ? 499000 : 500000) << "a refused drag costs nothing";
        EXPECT_EQ(piece->is_struck(), c.fires);
        if (c.fires)
            EXPECT_NEAR(piece->velocity().x, std::min(c.drag, 100.0f) * 50.0f / piece->mass(), 0.05f);
    }
}

TEST(FieldAim, AShotCostsItsDifficultyAndTheGripSavesFivePercent)
{
    struct Case
    {
        int difficulty;
        bool grip;
        int cost;
    };
    for (const Case& c : {Case{0, false, 1000}, Case{0, true, 950}, Case{1, true, 1425}, Case{2, false, 2000}}) {
        SCOPED_TRACE(c.cost);
        PieceField f;
        f.game.difficulty_index = c.difficulty;
        f.game.grip = c.grip;
        f.add("red", {500, 300});
        ASSERT_TRUE(f.shoot({500, 300}, {450, 300}));
        EXPECT_EQ(f.field.meter(), 500000 - c.cost);
    }
}

TEST(FieldAim, TheGripAimsFromThePressedPointAndSpinsThePiece)
{
    PieceField f;
    f.game.grip = true;
    Vimu* piece = f.add("red", {500, 300});
    ASSERT_TRUE(f.field.on_press({500, 290}));
    EXPECT_EQ(f.field.launch_origin(), (Vector2<float>{500, 290}));
    f.field.set_aim_point({450, 290});
    f.field.launch();
    EXPECT_NE(piece->body()->angular_velocity(), 0.0f);
}

TEST(FieldAim, AnEmptyMeterEntersDangerOnceAndTheNextShotIsHeld)
{
    PieceField f;
    Vimu* first = f.add("red", {100, 100});
    Vimu* second = f.add("red", {100, 400});
    Vimu* third = f.add("red", {100, 700});
    f.field.add_meter(-499500);
    auto underload_tips = [&f] {
        return std::count_if(f.game.tips.begin(), f.game.tips.end(),
                             [](const auto& tip) { return tip.first == "game_meter_underload"; });
    };

    ASSERT_TRUE(f.shoot({100, 100}, {70, 100}));
    EXPECT_EQ(f.field.meter(), 0);
    EXPECT_EQ(f.field.danger_mode(), DangerMode::empty);
    EXPECT_EQ(underload_tips(), 1);

    f.run(500);
    ASSERT_TRUE(f.shoot({100, 400}, {70, 400}));
    EXPECT_EQ(f.field.danger_mode(), DangerMode::overdrawn);
    EXPECT_EQ(f.field.game_state(), GameState::running) << "the cut turn judged the shot before";
    EXPECT_EQ(f.field.turn_count(), 1);
    EXPECT_EQ(underload_tips(), 1);
    EXPECT_TRUE(second->is_struck());

    ASSERT_TRUE(f.shoot({100, 700}, {70, 700}));
    EXPECT_FALSE(third->is_struck()) << "held back";
    ASSERT_EQ(f.field.move_records().size(), 1u);
    EXPECT_EQ(f.field.move_records()[0].piece.get(), third);

    // The shot on the empty meter survives its turn: the mission is lost, and the held shot
    // still goes.
    f.run(2000);
    EXPECT_EQ(f.field.game_state(), GameState::fail);
    EXPECT_TRUE(third->is_struck());
    EXPECT_GT(third->velocity().x, 0.0f);
    EXPECT_TRUE(f.field.move_records().empty());
    (void)first;
}

TEST(FieldAim, PlanningAPieceAgainKeepsOneRecordAndGivesItsStrikeBack)
{
    PieceField f(one_each);
    Vimu* a = f.add("red", {200, 300});
    Vimu* b = f.add("blue", {600, 300});
    f.add("blue", {600, 600});
    f.field.select_powerup(Powerup::clock);
    ASSERT_EQ(f.field.mode(), GameMode::strikes);
    EXPECT_EQ(f.field.powerups(Powerup::clock), 0);
    EXPECT_EQ(f.field.strikes_left(), 5);

    ASSERT_TRUE(f.shoot({200, 300}, {170, 300}));
    EXPECT_EQ(f.field.strikes_left(), 4);
    ASSERT_TRUE(f.shoot({200, 300}, {200, 260}));
    EXPECT_EQ(f.field.strikes_left(), 4);
    ASSERT_EQ(f.field.move_records().size(), 1u);
    EXPECT_EQ(f.field.move_records()[0].impulse, (Vector2<float>{0, 2000}));
    EXPECT_FALSE(a->is_struck()) << "planned, not fired";
    EXPECT_EQ(f.field.meter(), 500000) << "strikes cost nothing";

    // Planning the last piece but one leaves one to plan; the third ends the plan.
    ASSERT_TRUE(f.shoot({600, 300}, {630, 300}));
    EXPECT_EQ(f.field.mode(), GameMode::strikes);
    ASSERT_TRUE(f.shoot({600, 600}, {630, 600}));
    EXPECT_EQ(f.field.mode(), GameMode::aim);
    EXPECT_TRUE(a->is_struck() && b->is_struck()) << "leaving the mode carries the plan out";
    EXPECT_TRUE(f.field.move_records().empty());
    EXPECT_NE(f.field.step_deadline(), -1);
}

TEST(FieldAim, TheBoltExplodesWithinItsRadiusAndThrowsUpTheNearOnes)
{
    PieceField f(one_each);
    Vimu* near = f.add("red", {560, 300});
    Vimu* edge = f.add("red", {500, 370});
    Vimu* far = f.add("blue", {1000, 300});
    f.field.select_powerup(Powerup::bolt);
    ASSERT_TRUE(f.field.on_press({500, 300}));
    EXPECT_TRUE(near->has_exploded());
    EXPECT_FALSE(edge->has_exploded());
    EXPECT_TRUE(edge->is_jumping());
    EXPECT_NEAR(edge->vertical_speed(), 17.2f, 1e-4f);
    EXPECT_NEAR(edge->velocity().length(), 200.0f, 1e-2f);
    EXPECT_FALSE(far->is_jumping());
    EXPECT_EQ(far->velocity(), (Vector2<float>{}));
    EXPECT_EQ(f.field.powerups(Powerup::bolt), 0);
    EXPECT_EQ(f.field.mode(), GameMode::aim);
}

TEST(FieldAim, LaunchOriginIsNothingWhereNothingIsLaunched)
{
    PieceField f(one_each);
    EXPECT_EQ(f.field.launch_origin(), (Vector2<float>{})) << "aim without a held piece";
    test::LogCapture log;
    f.field.select_powerup(Powerup::hand);
    EXPECT_EQ(f.field.launch_origin(), (Vector2<float>{}));
    EXPECT_NE(log.text("error").find("Unreachable point reached."), std::string::npos);
}

TEST(FieldAim, PowerupsOutOfRangeOrSpentAreRefused)
{
    PieceField f({0, 0, 0, 1, 0});
    f.field.select_powerup(Powerup(7));
    f.field.select_powerup(Powerup(-1));
    f.field.select_powerup(Powerup::hand);
    EXPECT_EQ(f.field.mode(), GameMode::aim);
    test::LogCapture log;
    f.field.spend_powerup(Powerup::bolt);
    EXPECT_NE(log.text("error").find("Not enough powerups."), std::string::npos);
}

TEST(FieldAim, TheFireballIsPlacedThrownAndTakenBackByAModeChange)
{
    PieceField f({0, 0, 1, 2, 0});
    Vimu* piece = f.add("red", {400, 300});
    const SharedPtr<Item> hold_piece(piece);
    f.field.select_powerup(Powerup::fireball);
    ASSERT_TRUE(f.field.on_press({300, 500}));
    auto* placed = dynamic_cast<Fireball*>(f.field.placed_item());
    ASSERT_NE(placed, nullptr);
    const SharedPtr<Item> hold(placed);
    f.field.select_powerup(Powerup::hand);
    EXPECT_EQ(f.field.placed_item(), nullptr) << "no fireball left in the air";
    f.run(10);
    EXPECT_TRUE(placed->is_dead());
    EXPECT_EQ(f.field.powerups(Powerup::fireball), 2);

    f.field.set_state(GameMode::fireball);
    ASSERT_TRUE(f.shoot({300, 300}, {270, 300}));
    EXPECT_EQ(f.field.powerups(Powerup::fireball), 1);
    EXPECT_EQ(f.field.mode(), GameMode::aim);
    EXPECT_EQ(f.field.meter(), 500000) << "a fireball is no shot";
    f.run(200);
    EXPECT_TRUE(piece->has_exploded());
}

TEST(FieldAim, TheHandCarriesAPieceAndDropsIt)
{
    PieceField f(one_each);
    Vimu* piece = f.add("red", {300, 300});
    f.field.select_powerup(Powerup::hand);
    ASSERT_TRUE(f.field.on_press({300, 300}));
    EXPECT_FLOAT_EQ(piece->height(), 3.0f);
    f.field.set_aim_point({400, 350});
    f.run(500);
    EXPECT_NEAR(piece->position().x, 400.0f, 1.0f);
    EXPECT_NEAR(piece->position().y, 350.0f, 1.0f);

    // Let go without a drop: it rests where it is.
    f.field.release_held_item();
    EXPECT_FLOAT_EQ(piece->height(), 0.0f);
    EXPECT_EQ(piece->velocity(), (Vector2<float>{}));
    EXPECT_EQ(f.field.powerups(Powerup::hand), 1);

    ASSERT_TRUE(f.field.on_press(piece->position()));
    f.field.set_aim_point({200, 200});
    f.run(300);
    const Vector2<float> dropped_at = piece->position();
    EXPECT_LT(Vector2<float>::distance(dropped_at, {200, 200}), 15.0f);
    f.field.launch();
    EXPECT_TRUE(piece->is_jumping());
    EXPECT_FLOAT_EQ(piece->vertical_speed(), -3.0f);
    EXPECT_EQ(f.field.powerups(Powerup::hand), 0);
    EXPECT_EQ(f.field.mode(), GameMode::aim);
    f.run(1000);
    EXPECT_FALSE(piece->is_jumping());
    EXPECT_FLOAT_EQ(piece->height(), 0.0f);
    EXPECT_EQ(piece->position(), dropped_at) << "it falls where it was let go";
}

}
}
