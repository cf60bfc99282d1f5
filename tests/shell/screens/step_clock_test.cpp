#include "game/shell/screens/step_clock.h"

#include <vector>

#include <gtest/gtest.h>

namespace kq::test {
namespace {

TEST(StepClock, UpdatesAddTheRealTimeInStepsAndNeverMoreThanTheMaximumAtOnce)
{
    struct Case
    {
        const char* title;
        int max_step;
        int step;
        std::vector<int> updates;      // real times fed, after a reset at 1000
        std::vector<int> times;        // the clock after each
        std::vector<int> remainders;
    };
    const Case cases[] = {
        {"a stall of 250 ms adds the maximum", 100, 0, {1250}, {1100}, {0}},
        {"spans within the maximum add in full", 100, 0, {1030, 1130, 1131}, {1030, 1130, 1131}, {0, 0, 0}},
        {"no maximum: everything counts", 0, 0, {6000}, {6000}, {0}},
        {"whole steps only, the rest kept", 100, 40, {1030, 1060, 1090}, {1000, 1040, 1080}, {30, 20, 10}},
        {"a stall in steps: the maximum, then whole steps", 100, 40, {1500}, {1080}, {20}},
        {"an earlier or equal time changes nothing", 100, 0, {1050, 1050, 1020, 1060}, {1050, 1050, 1050, 1060},
         {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        StepClock clock;
        clock.set_max_step(c.max_step);
        clock.set_step(c.step);
        clock.reset(1000);
        for (std::size_t i = 0; i < c.updates.size(); ++i) {
            clock.update(c.updates[i]);
            EXPECT_EQ(clock.time(), c.times[i]) << "after the update to " << c.updates[i];
            EXPECT_EQ(clock.remainder(), c.remainders[i]);
        }
    }
}

TEST(StepClock, StartsAtNoughtAndTheTitlesSettingLimitsTo100)
{
    StepClock clock;
    EXPECT_EQ(clock.time(), 0);
    EXPECT_EQ(clock.last(), 0);
    EXPECT_FALSE(clock.paused());
    clock.update(5000);
    EXPECT_EQ(clock.time(), 5000) << "no limit after construction";
    clock.set_default_max_step();
    clock.update(10000);
    EXPECT_EQ(clock.time(), 5100);
}

TEST(StepClock, APausedClockStandsAndDoesNotCatchUpThePauseLater)
{
    StepClock clock;
    clock.set_default_max_step();
    clock.reset(1000);
    clock.update(1050);
    clock.set_paused(true);
    clock.update(1090);
    clock.update(3000);
    EXPECT_EQ(clock.time(), 1050);
    EXPECT_EQ(clock.last(), 3000) << "the real time is still followed";
    clock.set_paused(false);
    clock.update(3020);
    EXPECT_EQ(clock.time(), 1070);
}

TEST(StepClock, ResetStartsAfreshWithoutTheRemainder)
{
    StepClock clock;
    clock.set_step(40);
    clock.reset(0);
    clock.update(30);
    ASSERT_EQ(clock.remainder(), 30);
    clock.reset(500);
    EXPECT_EQ(clock.time(), 500);
    EXPECT_EQ(clock.last(), 500);
    EXPECT_EQ(clock.remainder(), 0);
    clock.update(530);
    EXPECT_EQ(clock.time(), 500);
}

}
}
