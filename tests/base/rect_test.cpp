#include "engine/base/rect.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(Rect, FromCenterPutsTheCornerHalfASizeAway)
{
    struct Case {
        Vector2<float> centre;
        Vector2<float> size;
        Rect expected;
    };
    const Case cases[] = {
        {{10, 20}, {4, 6}, {8, 17, 4, 6}},
        {{0, 0}, {0, 0}, {0, 0, 0, 0}},
        {{-1, 1}, {3, 1}, {-2.5f, 0.5f, 3, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rect::from_center(c.centre, c.size), c.expected);
}

}
}
