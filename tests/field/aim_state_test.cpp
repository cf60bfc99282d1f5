#include <gtest/gtest.h>

#include "engine/base/shared_ptr.h"
#include "game/field/aim_state.h"

namespace kq {
namespace {

TEST(AimState, PlanningAPieceAgainGivesItsEarlierStrikeBack)
{
    const SharedPtr<Item> a(new Item);
    const SharedPtr<Item> b(new Item);
    AimState aim;
    aim.set_strikes_left(5);
    aim.plan({WeakPtr<Item>(a.get()), {1, 1}, {10, 0}});
    aim.plan({WeakPtr<Item>(b.get()), {2, 2}, {20, 0}});
    aim.plan({WeakPtr<Item>(a.get()), {3, 3}, {30, 0}});
    EXPECT_EQ(aim.strikes_left(), 3);
    ASSERT_EQ(aim.records().size(), 2u);
    EXPECT_EQ(aim.records()[0].piece.get(), b.get());
    EXPECT_EQ(aim.records()[1].impulse, (Vector2<float>{30, 0})) << "the new plan comes last";

    EXPECT_TRUE(aim.take_back_last());
    EXPECT_EQ(aim.strikes_left(), 4);
    EXPECT_EQ(aim.take_records().size(), 1u);
    EXPECT_TRUE(aim.records().empty());
    EXPECT_FALSE(aim.take_back_last());
    EXPECT_EQ(aim.strikes_left(), 4);
}

TEST(AimState, TheAimPointStaysWithinReachOfTheOrigin)
{
    struct Case
    {
        Vector2<float> point;
        Vector2<float> kept;
    };
    AimState aim;
    for (const Case& c : {Case{{150, 100}, {150, 100}}, Case{{100, 250}, {100, 200}}, Case{{100, 100}, {100, 100}}}) {
        aim.set_aim_point(c.point);
        aim.clamp_aim_point({100, 100}, 100.0f);
        EXPECT_EQ(aim.aim_point(), c.kept);
    }
}

}
}
