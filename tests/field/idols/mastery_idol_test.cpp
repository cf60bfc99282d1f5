#include <gtest/gtest.h>

#include <string>

#include "game/field/idols/mastery_idol.h"
#include "tests/field/vimu_fixture.h"
#include "tests/platform/recording_artist.h"

namespace kq {
namespace {

// A field with a mastery idol of target 2 whose sword is loaded at scale (2, 3).
struct MasteryField : test::PieceField
{
    MasteryField()
        : PieceField({}, R"(
            mastery : mission_keys { idol <idol> "class kq::MasteryIdol" { present true
                sprite : image_keys { } rainbow "" target_mastery 2 sword : image_keys { scale [(2, 3)] } } })",
                     "mastery")
    {
    }
    MasteryIdol& idol() { return dynamic_cast<MasteryIdol&>(*field.idols().at(0)); }
    int bolts() const { return field.powerups(Powerup::bolt); }
};

TEST(MasteryIdol, ReachingTheTargetPleasesTheIdolOnceWithABolt)
{
    MasteryField f;
    EXPECT_FLOAT_EQ(f.idol().target_mastery(), 2.0f);
    f.field.add_mastery(15);
    f.field.add_mastery(5);
    f.field.end_turn();
    EXPECT_FLOAT_EQ(f.idol().mastery(), 2.0f);
    EXPECT_EQ(f.idol().mood(), IdolMood::good);
    EXPECT_TRUE(f.idol().is_mood_locked());
    EXPECT_EQ(f.bolts(), 1);
    EXPECT_EQ(f.game.tips.front().first, "idol_mastery");

    f.field.add_mastery(40);
    f.field.end_turn();
    f.field.end_turn();
    EXPECT_EQ(f.bolts(), 1) << "no second bolt once pleased";
}

TEST(MasteryIdol, BelowTheTargetTheIdolStaysNormal)
{
    MasteryField f;
    f.field.add_mastery(19);
    f.field.end_turn();
    EXPECT_FLOAT_EQ(f.idol().mastery(), 1.9f);
    EXPECT_EQ(f.idol().mood(), IdolMood::normal);
    EXPECT_EQ(f.bolts(), 0);
}

TEST(MasteryIdol, PointsLeaveTheWindowAfterTenTurns)
{
    MasteryField f;
    EXPECT_TRUE(f.idol().turn_points().empty());
    f.field.add_mastery(5);
    EXPECT_EQ(f.idol().turn_points().size(), 1u) << "the first points open the first turn";
    for (int turn = 1; turn <= 12; ++turn) {
        f.field.end_turn();
        EXPECT_FLOAT_EQ(f.idol().mastery(), turn <= 10 ? 0.5f : 0.0f) << "turn " << turn;
        EXPECT_LE(f.idol().turn_points().size(), 10u);
        EXPECT_EQ(f.idol().turn_points().back(), 0) << "a new turn starts empty";
    }
}

TEST(MasteryIdol, ATurnEndWithoutPointsCountsNothingAndOpensATurn)
{
    MasteryField f;
    f.field.end_turn();
    EXPECT_FLOAT_EQ(f.idol().mastery(), 0.0f);
    EXPECT_EQ(f.idol().turn_points(), (std::deque<int>{0}));
    f.field.add_mastery(3);
    f.field.add_mastery(4);
    EXPECT_EQ(f.idol().turn_points(), (std::deque<int>{7}));
}

TEST(MasteryIdol, TheSwordGrowsInWidthAtMostThreeTenthsASecond)
{
    MasteryField f;
    test::RecordingArtist artist;
    f.idol().update(10);
    EXPECT_FLOAT_EQ(f.idol().fill(), 0.01f) << "never less than a hundredth";

    f.field.add_mastery(10);
    f.field.end_turn(); // mastery 1.0: half the target
    f.idol().update(1000);
    EXPECT_NEAR(f.idol().fill(), 0.31f, 1e-5f);
    f.idol().update(1000);
    EXPECT_FLOAT_EQ(f.idol().fill(), 0.5f) << "stops at the mastery's share";
    f.idol().draw(artist);
    EXPECT_FLOAT_EQ(f.idol().sword().scale().x, 1.0f);
    EXPECT_FLOAT_EQ(f.idol().sword().scale().y, 3.0f) << "the height stays as loaded";

    f.field.add_mastery(20);
    f.field.end_turn();
    f.idol().update(10000);
    EXPECT_FLOAT_EQ(f.idol().fill(), 1.0f) << "a pleased idol shows the full sword";
    f.idol().draw(artist);
    EXPECT_FLOAT_EQ(f.idol().sword().scale().x, 2.0f);
}

}
}
