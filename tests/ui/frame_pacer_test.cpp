#include "engine/ui/frame_pacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace kq {
namespace {

// Frames that start when the pacer says, `cost` ms after which the delay is asked: at 60 a
// second they come 17, 17, 16 ms apart (50 ms every three), whatever the cost below a period.
TEST(FramePacer, SpacesFramesByThePeriodCarryingTheFractions)
{
    for (std::int64_t cost : {0, 5, 15}) {
        FramePacer pacer(60);
        std::int64_t now = 1000;
        std::vector<std::int64_t> starts;
        for (int frame = 0; frame < 7; ++frame) {
            starts.push_back(now);
            pacer.frame_started(now);
            now += cost;
            now += pacer.delay(now);
        }
        EXPECT_EQ(starts, (std::vector<std::int64_t>{1000, 1017, 1034, 1050, 1067, 1084, 1100})) << cost;
    }
}

TEST(FramePacer, ALateFrameIsCaughtUpAndAVeryLateOneStartsAnew)
{
    struct Case {
        std::int64_t second_start;  // the first frame starts at 0
        std::int64_t third_due;
    };
    const Case cases[] = {
        {17, 34},  // on time
        {25, 34},  // late by less than a period: the next keeps its time
        {40, 57},  // more than a period late: spaced from its start
    };
    for (const Case& c : cases) {
        FramePacer pacer(60);
        pacer.frame_started(0);
        pacer.frame_started(c.second_start);
        EXPECT_EQ(c.second_start + pacer.delay(c.second_start), c.third_due) << c.second_start;
        // Asked after it is due, the delay is none.
        EXPECT_EQ(pacer.delay(c.third_due + 5), 0) << c.second_start;
    }
}

}
}
