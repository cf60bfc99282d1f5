#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/base/random.h"
#include "game/field/field_shake.h"

namespace kq {
namespace {

// Up to 1.5 the screen stays still; above it the offset wanders within a range that grows
// with the amount, and comes back to rest as the amount decays by one a second.
TEST(FieldShake, MovesOnlyAboveOneAndAHalfAndRestsAgain)
{
    random_seed(3);
    FieldShake shake;
    shake.add(1.5f);
    shake.update(10);
    EXPECT_EQ(shake.offset(), (Vector2<int>{}));

    shake.add(10.0f);
    int largest = 0;
    for (int t = 0; t < 1400; t += 10) {
        shake.update(10);
        largest = std::max({largest, std::abs(shake.offset().x), std::abs(shake.offset().y)});
    }
    EXPECT_GT(largest, 0);
    EXPECT_LE(largest, 15) << "half the range of (3 - 1.5) x 20";
    for (int t = 0; t < 200; t += 10)
        shake.update(10);
    EXPECT_EQ(shake.offset(), (Vector2<int>{})) << "at 1.5 the shake has died down";
}

}
}
