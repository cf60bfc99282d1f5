#include <gtest/gtest.h>

#include <cmath>

#include "game/field/physics/physics_shape.h"
#include "game/field/physics/physics_world.h"
#include "tests/field/physics_fixture.h"

namespace kq {
namespace {

TEST(PhysicsShape, PointsAreTestedAtTheBodysTransform)
{
    auto world = test::make_world();
    PhysicsBody* box = test::make_box(*world, {.position = {50, 40}}, 2, 0.5f);
    PhysicsBody* ball = test::make_circle(*world, {.position = {20, 20}}, 1);
    box->set_xform({50, 40}, b2_pi / 2); // now 1 wide and 4 tall
    struct Case
    {
        PhysicsBody* body;
        b2Vec2 point;
        bool inside;
    };
    const Case cases[] = {
        {box, {50, 41.8f}, true},  {box, {51.8f, 40}, false}, {box, {50.4f, 40}, true},
        {ball, {20.7f, 20.7f}, true}, {ball, {20.8f, 20.8f}, false},
        {ball, {NAN, 20}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << ", " << c.point.y);
        EXPECT_EQ(c.body->shapes().front()->test_point(c.point), c.inside);
    }
}

TEST(PhysicsShape, ShapesKeepTheirGeometry)
{
    auto world = test::make_world();
    PhysicsBody* body = world->create_body(BodyDef());
    CircleDef circle;
    circle.radius = 2;
    PolygonDef octagon;
    const float hx = 2, hy = 1;
    octagon.vertex_count = 8;
    octagon.vertices = {b2Vec2(-hx, 0.44f * hy), b2Vec2(-hx, -0.44f * hy), b2Vec2(-0.44f * hx, -hy),
                        b2Vec2(0.44f * hx, -hy), b2Vec2(hx, -0.44f * hy),  b2Vec2(hx, 0.44f * hy),
                        b2Vec2(0.44f * hx, hy),  b2Vec2(-0.44f * hx, hy)};
    PhysicsShape* round = body->create_shape(circle);
    PhysicsShape* eight = body->create_shape(octagon);
    ASSERT_TRUE(round && eight);
    EXPECT_EQ(round->type(), ShapeType::circle);
    EXPECT_EQ(round->radius(), 2.0f);
    EXPECT_EQ(round->vertex_count(), 0);
    EXPECT_EQ(eight->type(), ShapeType::polygon);
    ASSERT_EQ(eight->vertex_count(), 8);
    float twice_area = 0;
    for (int i = 0; i < 8; ++i)
        twice_area += b2Cross(eight->vertex(i), eight->vertex((i + 1) % 8));
    EXPECT_NEAR(twice_area / 2, 4 * hx * hy - 2 * 0.56f * hx * 0.56f * hy, 1e-4f); // counter-clockwise
    EXPECT_EQ(&eight->body(), body);
    ASSERT_EQ(body->shapes().size(), 2u);
    EXPECT_EQ(body->shapes()[1].get(), eight);
}

TEST(PhysicsShape, RefilteringDecidesWhoMeets)
{
    struct Case
    {
        std::uint16_t bits_a;
        std::uint16_t bits_b;
        bool meet;
    };
    // Both bits of a shape are set alike, as the field sets them by height.
    const Case cases[] = {{1, 1, true}, {1, 2, false}, {3, 2, true}, {0, 1, false}, {0, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits_a << " against " << c.bits_b);
        auto world = test::make_world();
        test::ContactLog log;
        world->set_contact_listener(&log);
        PhysicsBody* a = test::make_circle(*world, {.position = {40, 40}}, 1);
        PhysicsBody* b = test::make_circle(*world, {.position = {41.5f, 40}}, 1);
        world->step(0.02f, 10);
        ASSERT_FALSE(log.results.empty());

        for (auto [body, bits] : {std::pair(a, c.bits_a), std::pair(b, c.bits_b)}) {
            PhysicsShape* shape = body->shapes().front().get();
            shape->set_filter_data({.category_bits = bits, .mask_bits = bits, .group_index = 0});
            world->refilter(shape);
            EXPECT_EQ(shape->filter_data().mask_bits, bits);
        }
        a->set_xform({40, 40}, 0);
        b->set_xform({41.5f, 40}, 0);
        log.clear();
        world->step(0.02f, 10);
        EXPECT_EQ(!log.results.empty(), c.meet);
        EXPECT_EQ(log.removed.empty(), c.meet);
    }
}

}
}
