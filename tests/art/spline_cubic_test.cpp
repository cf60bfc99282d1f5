#include "engine/art/spline_cubic.h"

#include <gtest/gtest.h>

#include <string>

#include "art_test_support.h"
#include "spline_test_support.h"

namespace kq {
namespace {

using test::near;
using test::vec;
using Cubic = CubicSpline<float, VectorD<float>>;

// Keys 0 -> [0], 1 -> [10], 2 -> [0].
Cubic peak()
{
    Cubic spline;
    spline.set_key(0, vec({0}));
    spline.set_key(1, vec({10}));
    spline.set_key(2, vec({0}));
    return spline;
}

TEST(CubicSpline, HermiteValues)
{
    Cubic line;
    line.set_key(0, vec({0}));
    line.set_key(1, vec({10}));
    const Cubic hill = peak();
    struct Case {
        const Cubic* spline;
        float t;
        float expected;
    };
    const Case cases[] = {
        {&line, 0.25f, 2.5f}, {&line, -1, 0},     {&line, 4, 10},   {&hill, 0.5f, 3.75f},
        {&hill, 1.5f, 8.75f}, {&hill, 1, 10},     {&hill, 2, 0},    {&hill, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(near(c.spline->value(c.t), {c.expected})) << "t = " << c.t;
}

// The tangent rule that stored paths were authored with: both differences scaled by
// (1 + gain), E = D0 - D1, skew moving weight between the two, tension scaling the result.
TEST(CubicSpline, TangentRule)
{
    struct Case {
        float gain, tension, skew;
        float out, in;
    };
    // D0 = 10 (1 + gain), D1 = -10 (1 + gain), E = 20 (1 + gain).
    const Case cases[] = {
        {0, 0, 0, 20, 20},
        {1, 0, 0, 40, 40},
        {0, 0, 0.5f, 25, 15},
        {0, 0.5f, 0, 10, 10},
        {1, 0.5f, 0.5f, 25, 15},
    };
    for (const Case& c : cases) {
        Cubic spline = peak();
        spline.set_shape(c.gain, c.tension, c.skew);
        spline.recompute_tangents();
        const auto& keys = spline.keys();
        EXPECT_TRUE(near(keys.at(1).out_tangent, {c.out})) << c.gain << " " << c.tension << " " << c.skew;
        EXPECT_TRUE(near(keys.at(1).in_tangent, {c.in})) << c.gain << " " << c.tension << " " << c.skew;
        EXPECT_TRUE(near(keys.at(0).out_tangent, {10}));
        EXPECT_TRUE(near(keys.at(2).in_tangent, {-10}));
    }
}

// Tangents follow the keys, computed once after a change and only for an inner interval.
TEST(CubicSpline, TangentsAreRecomputedLazily)
{
    Cubic spline = peak();
    EXPECT_FALSE(spline.tangents_valid());
    spline.value(-1);
    spline.value(5);
    EXPECT_FALSE(spline.tangents_valid());
    spline.value(0.5f);
    EXPECT_TRUE(spline.tangents_valid());

    spline.set_key(1, vec({20}));
    EXPECT_FALSE(spline.tangents_valid());
    EXPECT_TRUE(near(spline.value(0.5f), {7.5f}));  // every term of the middle key doubles

    spline.erase_key(1);
    EXPECT_TRUE(near(spline.value(1), {0}));  // the straight line from [0] to [0]
    spline.set_key(1, vec({10}));
    spline.value(0.5f);
    spline.move_key(1, 1.5f);
    EXPECT_FALSE(spline.tangents_valid());
    spline.value(0.5f);
    spline.offset(vec({1}));
    EXPECT_FALSE(spline.tangents_valid());
    EXPECT_TRUE(near(spline.value(1.5f), {11}));
}

TEST(CubicSpline, BinaryFormHoldsValuesOnly)
{
    Cubic spline = peak();
    spline.value(0.5f);
    const std::string bytes = test::own_bytes(spline);
    EXPECT_EQ(bytes.size(), 4u + 3 * (4 + 4 + 4));
    Cubic read;
    read.set_key(0, vec({1}));
    read.value(0);
    test::load_bytes(read, bytes);
    EXPECT_FALSE(read.tangents_valid());
    EXPECT_TRUE(near(read.value(0.5f), {3.75f}));
}

TEST(CubicSpline, CopiesTakeTangentsShapeAndFlag)
{
    Cubic spline = peak();
    spline.set_shape(1, 0, 0);
    spline.value(0.5f);
    const Cubic copy(spline);
    EXPECT_TRUE(copy.tangents_valid());
    EXPECT_TRUE(near(copy.keys().at(1).out_tangent, {40}));
    Cubic::KeyMap keys;
    copy.get_keys(keys);
    Cubic refilled(copy);
    refilled.set_keys(keys);  // the gain stays
    EXPECT_TRUE(near(refilled.value(0.5f), spline.value(0.5f)));
}

TEST(CubicSpline, PlanePath)
{
    CubicSpline<float, Vector2<float>> path;
    path.set_key(0, {0, 0});
    path.set_key(1, {10, 0});
    EXPECT_EQ(path.value(0.5f), (Vector2<float>{5, 0}));
    path.set_key(2, {10, 10});
    const Vector2<float> p = path.value(1.5f);
    EXPECT_NEAR(p.x, 10 + 0.125f * 15 - 0.125f * 0, 1e-4f);  // out (15, -5), in (0, 10)
    EXPECT_NEAR(p.y, 0.125f * -5 + 5 - 0.125f * 10, 1e-4f);
    EXPECT_EQ(test::own_bytes(path).size(), 4u + 12u * 3);
}

}
}
