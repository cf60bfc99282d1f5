#include <gtest/gtest.h>

#include <string>

#include "vimu_fixture.h"

namespace kq {
namespace {

using test::PieceField;

// A field whose meter stands at `meter` of a maximum of 1000.
struct SmallMeter : PieceField
{
    explicit SmallMeter(int meter)
        : PieceField({}, "small : mission_keys { max_meter 1000 start_meter " + std::to_string(meter) + " }", "small")
    {
        field.on_meter_overload().connect([this] { ++overloads; }, this);
        field.on_meter_changed().connect([this] { ++changes; }, this);
    }
    int tips(const char* name) const
    {
        return int(std::count_if(game.tips.begin(), game.tips.end(), [name](const auto& tip) { return tip.first == name; }));
    }
    int overloads = 0;
    int changes = 0;
};

TEST(FieldMeter, AnOverfullMeterSpillsTwiceItsExcessIntoProgress)
{
    SmallMeter f(900);
    f.field.add_meter(5100);
    EXPECT_EQ(f.field.meter(), 1000);
    EXPECT_EQ(f.field.spill(), 0);
    EXPECT_EQ(f.field.progress(), 10);
    EXPECT_EQ(f.overloads, 1);
    EXPECT_EQ(f.tips("game_meter_overload"), 1);

    // A spill under 10000 carries over to the next overload.
    f.field.add_meter(3000);
    EXPECT_EQ(f.field.spill(), 6000);
    EXPECT_EQ(f.field.progress(), 10);
    EXPECT_EQ(f.overloads, 1);
    f.field.add_meter(3000);
    EXPECT_EQ(f.field.spill(), 2000);
    EXPECT_EQ(f.field.progress(), 20);
    EXPECT_EQ(f.overloads, 2);
    EXPECT_EQ(f.changes, 3);
}

TEST(FieldMeter, AnEmptyMeterStartsTheDangerAndRefillingEndsIt)
{
    SmallMeter f(500);
    f.field.add_meter(-800);
    EXPECT_EQ(f.field.meter(), 0);
    EXPECT_EQ(f.field.danger_mode(), DangerMode::empty);
    f.field.add_meter(-100);
    EXPECT_EQ(f.tips("game_meter_underload"), 1) << "once per danger";
    f.field.add_meter(999);
    EXPECT_EQ(f.field.danger_mode(), DangerMode::empty) << "under the danger exit";

    SmallMeter rich(500);
    rich.field.add_meter(-800);
    rich.field.add_meter(300000);
    EXPECT_EQ(rich.field.danger_mode(), DangerMode::none);
    EXPECT_EQ(rich.field.meter(), 1000);
}

TEST(FieldMeter, ALostMissionKeepsItsMeter)
{
    SmallMeter f(500);
    f.field.set_game_state(GameState::fail);
    f.field.add_meter(-100);
    f.field.add_meter(100);
    EXPECT_EQ(f.field.meter(), 500);
    EXPECT_EQ(f.changes, 0);
}

TEST(FieldMeter, ProgressScalesByDifficultyAndLevelsGiveCoins)
{
    struct Case
    {
        int difficulty;
        int units;
        int gain;
    };
    for (const Case& c : {Case{0, 1, 0}, Case{0, 5, 5}, Case{1, 5, 5}, Case{1, 10, 15}, Case{2, 5, 10}, Case{0, -5, 0}}) {
        SCOPED_TRACE(std::to_string(c.difficulty) + " " + std::to_string(c.units));
        PieceField f;
        f.game.difficulty_index = c.difficulty;
        int changes = 0;
        f.field.on_progress_changed().connect([&changes] { ++changes; }, &changes);
        f.field.add_progress(c.units);
        EXPECT_EQ(f.field.progress(), c.gain);
        EXPECT_EQ(changes, c.gain != 0 ? 1 : 0);
    }

    PieceField f;
    f.game.level_cost = 100;
    f.field.set_progress(95);
    f.field.add_progress(210);
    EXPECT_EQ(f.field.progress(), 305);
    EXPECT_EQ(f.field.powerups(Powerup::coin), 3) << "from level 0 to level 3";
}

TEST(FieldMeter, DustFliesToTheTargetOfItsSide)
{
    PieceField f;
    f.field.set_dust_target({10, 10}, true);
    f.field.set_dust_target({20, 20}, false);
    EXPECT_EQ(f.field.dust_target({500, 0}), (Vector2<float>{20, 20})) << "the second to start with";
    EXPECT_EQ(f.field.dust_target({424, 0}), (Vector2<float>{10, 10}));
    EXPECT_EQ(f.field.dust_target({600, 0}), (Vector2<float>{10, 10}));
    EXPECT_EQ(f.field.dust_target({601, 0}), (Vector2<float>{20, 20}));
    EXPECT_EQ(f.field.dust_target({425, 0}), (Vector2<float>{20, 20}));
}

}
}
