#include "engine/ui/tardy_counter.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/base/manual_clock.h"

namespace kq::test {
namespace {

/// One call of `update` at a time with a target, and the value it must show.
struct Call
{
    std::int64_t at_ms;
    int target;
    int shown;
};

TEST(TardyCounter, RunsTowardTheTargetOnTheClock)
{
    struct Case
    {
        const char* what;
        int start;
        std::vector<Call> calls;
    };
    const Case cases[] = {
        {"0 to 1000 runs linearly in 500 ms", 0, {{0, 1000, 0}, {100, 1000, 200}, {499, 1000, 998}, {500, 1000, 1000},
                                                   {900, 1000, 1000}}},
        {"one unit waits the whole run", 0, {{0, 1, 0}, {250, 1, 0}, {499, 1, 0}, {500, 1, 1}}},
        {"down from 1000 stops at 0", 1000, {{0, 0, 1000}, {100, 0, 800}, {400, 0, 200}, {700, 0, 0}, {800, 0, 0}}},
        {"irregular calls lose no time", 0, {{0, 3, 0}, {170, 3, 1}, {340, 3, 2}, {500, 3, 3}}},
        {"fractions carry: 3 units over calls 100 ms apart", 0,
         {{0, 3, 0}, {100, 3, 0}, {200, 3, 1}, {300, 3, 1}, {400, 3, 2}, {500, 3, 3}}},
        {"a target changing every call never moves the value", 0,
         {{0, 10, 0}, {100, 20, 0}, {200, 30, 0}, {300, 40, 0}}},
        {"a new target mid-run starts from the value reached", 0,
         {{0, 100, 0}, {250, 100, 50}, {250, 0, 50}, {500, 0, 25}, {750, 0, 0}}},
        {"a jump above four million", 0, {{0, 5000000, 0}, {100, 5000000, 1000000}, {499, 5000000, 4990000},
                                         {500, 5000000, 5000000}}},
        {"the widest run", INT_MIN, {{0, INT_MAX, INT_MIN}, {250, INT_MAX, -1}, {500, INT_MAX, INT_MAX}}},
        {"a call long after the change", 0, {{0, 7, 0}, {100000000000, 7, 7}}},
    };
    for (const Case& c : cases) {
        ManualClock clock;
        TardyCounter counter;
        counter.set(c.start);
        for (const Call& call : c.calls) {
            clock.time = call.at_ms;
            counter.update(call.target);
            EXPECT_EQ(counter.value(), call.shown) << c.what << " at " << call.at_ms << " ms";
        }
    }
}

TEST(TardyCounter, SetShowsAtOnceAndEndsTheRun)
{
    ManualClock clock;
    TardyCounter counter;
    counter.update(1000);
    clock.time = 100;
    counter.update(1000);
    ASSERT_EQ(counter.value(), 200);
    counter.set(40);
    clock.time = 600;
    counter.update(40);
    EXPECT_EQ(counter.value(), 40);
    EXPECT_EQ(counter.target(), 40);
}

}
}
