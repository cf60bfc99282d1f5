#include <gtest/gtest.h>

#include "game/field/field_clock.h"

namespace kq {
namespace {

// A stop slows the clock to a stand over a second of real time; the stopped clock keeps its
// time; a resume brings it back over a second.
TEST(FieldClock, StopsAndResumesOverASecondEach)
{
    FieldClock clock;
    EXPECT_EQ(clock.advance(100), 100);
    EXPECT_FALSE(clock.start_resume()) << "a running clock has nothing to resume";
    clock.start_stop();
    clock.update_stop(500);
    EXPECT_EQ(clock.state(), TimeState::stopping);
    EXPECT_FLOAT_EQ(clock.factor(), 0.5f);
    EXPECT_EQ(clock.advance(100), 50);
    clock.update_stop(600);
    EXPECT_EQ(clock.state(), TimeState::stopped);
    EXPECT_FLOAT_EQ(clock.factor(), 0.0f);
    EXPECT_EQ(clock.advance(100), 0);
    EXPECT_EQ(clock.time(), 150);

    EXPECT_TRUE(clock.start_resume());
    clock.update_stop(1000);
    EXPECT_EQ(clock.state(), TimeState::running);
    EXPECT_FLOAT_EQ(clock.factor(), 1.0f);
}

TEST(FieldClock, ATurnIsDueAtItsDeadlineAndCountsWhenClosed)
{
    FieldClock clock;
    EXPECT_FALSE(clock.turn_pending());
    clock.open_turn(2000);
    EXPECT_EQ(clock.deadline(), 2000);
    clock.advance(1999);
    EXPECT_FALSE(clock.turn_due());
    clock.advance(1);
    EXPECT_TRUE(clock.turn_due());
    clock.close_turn();
    EXPECT_FALSE(clock.turn_pending());
    EXPECT_EQ(clock.turn_count(), 1);
}

}
}
