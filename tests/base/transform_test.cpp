#include "engine/base/transform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kq {
namespace {

const float pi = std::acos(-1.0f);

void expect_near(Vector2<float> actual, Vector2<float> expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
}

TEST(Transform, ComposeMapsSamplePoints)
{
    struct Case {
        Vector2<float> scale;
        float angle;
        Vector2<float> position;
        Vector2<float> point;
        Vector2<float> expected;
    };
    const Case cases[] = {
        {{1, 1}, 0, {5, 7}, {1, 2}, {6, 9}},
        {{2, 3}, 0, {0, 0}, {1, 1}, {2, 3}},
        {{1, 1}, pi / 2, {0, 0}, {1, 0}, {0, 1}},
        {{2, 1}, pi / 2, {10, 0}, {1, 0}, {10, 2}},  // scaled, then turned, then moved
    };
    for (const Case& c : cases)
        expect_near(Transform::compose(c.scale, c.angle, c.position).transform_point(c.point), c.expected);

    const Transform moved = Transform::compose({1, 1}, 0, {5, 7});
    expect_near(moved.transform_direction({1, 2}), {1, 2});
    EXPECT_NEAR(Transform::compose({2, 2}, 0.5f, {3, 4}).angle(), 0.5f, 1e-6f);
}

TEST(Transform, InverseUndoesTheTransform)
{
    const Transform t = Transform::compose({2, 0.5f}, 0.7f, {-3, 8});
    Transform inverse;
    t.inverse(inverse);
    for (Vector2<float> p : {Vector2<float>{0, 0}, {1, 2}, {-4.5f, 3}}) {
        expect_near(inverse.transform_point(t.transform_point(p)), p);
        expect_near(t.transform_point(inverse.transform_point(p)), p);
    }
    Transform in_place = t;
    in_place.invert();
    EXPECT_EQ(in_place.m, inverse.m);
    EXPECT_NEAR(t.determinant() * inverse.determinant(), 1.0f, 1e-5f);

    const Transform product = t * inverse;
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(product.m[i], Transform().m[i], 1e-5f) << i;
}

TEST(Transform, ProductsApplyInOrder)
{
    const Transform turn = Transform::rotation(pi / 2);
    const Transform move = Transform::compose({1, 1}, 0, {10, 0});
    const Vector2<float> p{1, 0};

    // The affine product applies its argument first.
    expect_near(move.affine_product(turn).transform_point(p), {10, 1});
    expect_near(turn.affine_product(move).transform_point(p), {0, 11});
    // The full product a × b applies a first (row vectors).
    expect_near((turn * move).transform_point(p), {10, 1});
    EXPECT_EQ((turn * move).m, move.affine_product(turn).m);
}

TEST(Transform, LocalScaleAndTranslate)
{
    Transform t = Transform::compose({1, 1}, pi / 2, {5, 5});
    t.translate(1, 0);  // one step along the turned x axis
    expect_near(t.transform_point({0, 0}), {5, 6});
    t.scale(2, 3);
    expect_near(t.transform_point({1, 1}), {2, 8});
    EXPECT_FLOAT_EQ(t.m[2], 0.0f);
    EXPECT_FLOAT_EQ(t.m[8], 1.0f);
}

}
}
