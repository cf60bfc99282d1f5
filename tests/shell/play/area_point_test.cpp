#include <gtest/gtest.h>

#include "engine/base/random.h"
#include "game/shell/play/area_point.h"
#include "tests/base/log_capture.h"

namespace kq {
namespace {

// The three draws the pick takes after seeding with 1, computed with the generator's step.
struct Draws
{
    int r, r1, r2;
};

Draws draws_after_seed(std::uint32_t seed)
{
    std::uint32_t state = seed;
    auto next = [&] {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    };
    Draws d{};
    d.r = next();
    d.r1 = next();
    d.r2 = next();
    return d;
}

TEST(AreaPointTest, DrawsTheAreaByItsShareOfTheTotalThenAPointInside)
{
    const std::vector<Rect> areas{{0, 0, 10, 10}, {100, 200, 30, 10}, {500, 500, 0, 0}};
    for (std::uint32_t seed = 1; seed < 40; ++seed) {
        const Draws d = draws_after_seed(seed);
        float r = static_cast<float>(d.r) * 400.0f / 32768.0f;
        const Rect* expected = &areas.back();
        for (const Rect& area : areas) {
            r -= area.w * area.h;
            if (r <= 0.0f) {
                expected = &area;
                break;
            }
        }
        random_seed(seed);
        const Vector2<float> point = pick_area_point(areas);
        EXPECT_FLOAT_EQ(point.x, expected->x + d.r2 * expected->w / 32768.0f) << seed;
        EXPECT_FLOAT_EQ(point.y, expected->y + d.r1 * expected->h / 32768.0f) << seed;
        EXPECT_GE(point.x, expected->x);
        EXPECT_LT(point.x, expected->x + std::max(expected->w, 1e-3f));
    }
}

TEST(AreaPointTest, EmptyListIsLoggedAndGivesTheOrigin)
{
    test::LogCapture logs;
    const Vector2<float> point = pick_area_point({});
    EXPECT_EQ(point.x, 0.0f);
    EXPECT_EQ(point.y, 0.0f);
    EXPECT_NE(logs.text("error").find("\nNo areas to product\n"), std::string::npos);
}

}
}
