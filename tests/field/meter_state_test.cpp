#include <gtest/gtest.h>

#include <climits>

#include "game/field/meter_state.h"

namespace kq {
namespace {

TEST(MeterState, StopsAtZeroAndSpillsTwiceTheExcessInUnitsOfTenThousand)
{
    MeterState meter;
    meter.set_maximum(100000);
    meter.set_value(1000);
    EXPECT_FALSE(meter.add(-999));
    EXPECT_TRUE(meter.add(-5));
    EXPECT_EQ(meter.value(), 0);

    struct Case
    {
        int value;
        int units;
        int spill;
    };
    // Each row starts from the spill the row before left.
    for (const Case& c : {Case{100000, 0, 0}, Case{104000, 0, 8000}, Case{101000, 10, 0},
                          Case{INT_MAX, 4294760, 7294}}) {
        SCOPED_TRACE(c.value);
        meter.set_value(c.value);
        EXPECT_EQ(meter.spill_excess(), c.units);
        EXPECT_EQ(meter.spill(), c.spill);
        EXPECT_EQ(meter.value(), 100000);
    }
}

TEST(MeterState, DarkensOverASecondAndLightensFasterWithinZeroAndOne)
{
    MeterState meter;
    meter.update_darkness(500, true);
    EXPECT_FLOAT_EQ(meter.darkness(), 0.5f);
    meter.update_darkness(800, true);
    EXPECT_FLOAT_EQ(meter.darkness(), 1.0f);
    meter.update_darkness(200, false);
    EXPECT_FLOAT_EQ(meter.darkness(), 0.7f);
    meter.update_darkness(1000, false);
    EXPECT_FLOAT_EQ(meter.darkness(), 0.0f);
}

TEST(MeterState, DustFliesToTheTargetOfItsSideAndKeepsTheLastBetween)
{
    MeterState meter;
    meter.set_dust_target({10, 10}, true);
    meter.set_dust_target({900, 10}, false);
    EXPECT_EQ(meter.dust_target({500, 0}), (Vector2<float>{900, 10})) << "none chosen yet: the second";
    EXPECT_EQ(meter.dust_target({100, 0}), (Vector2<float>{10, 10}));
    EXPECT_EQ(meter.dust_target({500, 0}), (Vector2<float>{10, 10}));
    EXPECT_EQ(meter.dust_target({700, 0}), (Vector2<float>{900, 10}));
}

}
}
