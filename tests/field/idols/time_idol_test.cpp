#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/field/idols/time_idol.h"
#include "tests/field/drawn_quads.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

// A field with a time idol draining `rates` (one per difficulty) from a meter of 50000 out of
// 100000; its "freeze" stands at x 300, away from the figure.
struct TimeField : test::PieceField
{
    explicit TimeField(const std::string& rates = "10 20 30", std::array<int, 5> powerups = {})
        : PieceField(powerups, R"(
            timed : mission_keys { max_meter 100000 start_meter 50000 time_difficulty [()" + rates + R"()]
                idol <idol> "class kq::TimeIdol" { present true sprite : image_keys { } rainbow ""
                    freeze : image_keys { position [(300, 0)] } } })",
                     "timed")
    {
    }
    TimeIdol& idol() { return dynamic_cast<TimeIdol&>(*field.idols().at(0)); }
    // Whether drawing the idol shows "freeze".
    bool freeze_shown()
    {
        test::RecordingArtist artist;
        artist.begin_scene();
        idol().draw(artist);
        const auto quads = test::drawn_quads(artist);
        return std::any_of(quads.begin(), quads.end(), [](const test::DrawnQuad& q) { return q.x(0) == 300.0f; });
    }
};

TEST(TimeIdol, DrainsTheMeterByTheRateOfTheProfilesDifficulty)
{
    struct Case
    {
        int difficulty;
        int elapsed;
        int drained;
    };
    for (const Case c : {Case{0, 40, 56}, Case{1, 40, 112}, Case{2, 40, 168}, Case{0, 7, 9}}) {
        TimeField f;
        f.game.difficulty_index = c.difficulty;
        f.field.update(c.elapsed);
        EXPECT_EQ(f.field.meter(), 50000 - c.drained) << c.difficulty << " " << c.elapsed;
        EXPECT_FALSE(f.freeze_shown());
    }
}

TEST(TimeIdol, AnEasingProfileDrainsHalfAsFastInDanger)
{
    TimeField f;
    f.game.eased = true;
    f.field.update(40);
    EXPECT_EQ(f.field.meter(), 50000 - 56) << "not eased out of danger";
    EXPECT_FALSE(f.freeze_shown());

    f.field.add_meter(-100000);
    f.field.add_meter(1000);
    ASSERT_EQ(f.field.danger_mode(), DangerMode::empty);
    f.field.update(40);
    EXPECT_EQ(f.field.meter(), 1000 - 28);
    EXPECT_TRUE(f.freeze_shown());

    f.game.eased = false;
    f.field.update(40);
    EXPECT_EQ(f.field.meter(), 1000 - 28 - 56) << "the flag belongs to the profile";
}

TEST(TimeIdol, AFullMeterPleasesItOnceWithAClock)
{
    TimeField f;
    EXPECT_EQ(f.game.tips.size(), 0u);
    f.field.update(10);
    EXPECT_EQ(f.game.tips.back().first, "idol_time");

    f.field.add_meter(60000);
    EXPECT_EQ(f.idol().mood(), IdolMood::good);
    EXPECT_TRUE(f.idol().is_mood_locked());
    EXPECT_EQ(f.field.powerups(Powerup::clock), 1);

    f.field.update(40);
    EXPECT_EQ(f.field.meter(), 100000) << "no drain once pleased";
    f.field.add_meter(5000);
    EXPECT_EQ(f.field.powerups(Powerup::clock), 1) << "pleased once";
    EXPECT_TRUE(f.freeze_shown());
}

TEST(TimeIdol, NoRateMeansNoDrainAndFreezeShown)
{
    TimeField f("0 0 0");
    f.field.update(40);
    EXPECT_EQ(f.field.meter(), 50000);
    EXPECT_TRUE(f.freeze_shown());
}

TEST(TimeIdol, PlanningStrikesOrAnEndedMissionStopsTheDrain)
{
    TimeField planning("10 20 30", {0, 1, 0, 0, 0});
    planning.field.select_powerup(Powerup::clock);
    ASSERT_EQ(planning.field.mode(), GameMode::strikes);
    planning.field.update(40);
    EXPECT_EQ(planning.field.meter(), 50000);
    EXPECT_TRUE(planning.freeze_shown());

    TimeField won;
    won.field.set_game_state(GameState::win);
    won.field.update(40);
    EXPECT_EQ(won.field.meter(), 50000);
}

}
}
