#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/field/physics/physics_body.h"
#include "game/field/physics/physics_check.h"
#include "tests/base/log_capture.h"
#include "tests/field/physics_fixture.h"

namespace kq {
namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

TEST(PhysicsBody, DensityZeroMakesAStaticBodyThatStopsOthers)
{
    auto world = test::make_world();
    PhysicsBody* wall = test::make_box(*world, {.position = {50, 40}, .density = 0.0f}, 1, 10);
    PhysicsBody* ball = test::make_circle(*world, {.position = {40, 40}}, 1);
    EXPECT_TRUE(wall->is_static());
    EXPECT_EQ(wall->mass(), 0.0f);
    EXPECT_EQ(wall->inv_mass(), 0.0f);
    EXPECT_FALSE(ball->is_static());

    wall->apply_impulse({100, 0}, wall->world_center());
    ball->set_linear_velocity({20, 0});
    for (int i = 0; i < 50; ++i)
        world->step(0.02f, 10);
    EXPECT_EQ(wall->position().x, 50.0f);
    EXPECT_LT(ball->position().x, 48.0f); // the ball stops at the wall's face
}

TEST(PhysicsBody, MassAndInertiaAreTakenAboutTheCentreOfMass)
{
    auto world = test::make_world();
    BodyDef def;
    def.position.Set(10, 10);
    PhysicsBody* body = world->create_body(def);
    // A 2 x 4 box whose centre lies 3 m beside the body's origin.
    PolygonDef box;
    box.vertex_count = 4;
    box.vertices = {b2Vec2(2, -2), b2Vec2(4, -2), b2Vec2(4, 2), b2Vec2(2, 2)};
    box.density = 0.5f;
    body->create_shape(box);
    EXPECT_TRUE(body->is_static()); // no mass before it is asked for
    body->set_mass_from_shapes();

    const float mass = 0.5f * 2 * 4;
    EXPECT_FLOAT_EQ(body->mass(), mass);
    EXPECT_NEAR(body->inertia(), mass * (2 * 2 + 4 * 4) / 12.0f, 1e-4f);
    EXPECT_NEAR(body->inv_inertia() * body->inertia(), 1.0f, 1e-6f);
    EXPECT_NEAR(body->world_center().x, 13.0f, 1e-5f);

    // A torque turns it as that inertia says.
    body->apply_force({0, 1}, body->world_center() + b2Vec2(1, 0));
    EXPECT_FLOAT_EQ(body->torque(), 1.0f);
    world->step(0.5f, 10);
    EXPECT_NEAR(body->angular_velocity(), 0.5f / body->inertia(), 1e-5f);
    // A torque of its own adds to it the same way, once.
    body->apply_torque(-2.0f);
    EXPECT_FLOAT_EQ(body->torque(), -2.0f);
    world->step(0.5f, 10);
    EXPECT_NEAR(body->angular_velocity(), -0.5f / body->inertia(), 1e-5f);
    EXPECT_EQ(body->torque(), 0.0f);
}

TEST(PhysicsBody, MassChangesOnlyWhenAskedFor)
{
    auto world = test::make_world();
    PhysicsBody* body = test::make_circle(*world, {.position = {50, 40}}, 1);
    const float mass = body->mass();

    PolygonDef box;
    box.set_as_box(2, 2);
    box.density = 1;
    ASSERT_NE(body->create_shape(box), nullptr);
    EXPECT_EQ(body->mass(), mass);
    // An impulse still moves the body as the mass it reports says.
    body->apply_impulse({mass, 0}, body->world_center());
    EXPECT_NEAR(body->linear_velocity().x, 1.0f, 1e-6f);

    body->set_mass_from_shapes();
    EXPECT_FLOAT_EQ(body->mass(), mass + 16);
    body->apply_impulse({body->mass(), 0}, body->world_center());
    EXPECT_NEAR(body->linear_velocity().x, 2.0f, 1e-6f);
}

TEST(PhysicsBody, ForcesActOnceAndAreCleared)
{
    auto world = test::make_world();
    PhysicsBody* body = test::make_circle(*world, {.position = {20, 20}, .density = 2.0f}, 1);
    const float mass = body->mass();
    body->apply_force({mass * 3, 0}, body->world_center());
    body->apply_force({0, -mass * 4}, body->world_center());
    EXPECT_FLOAT_EQ(body->force().x, mass * 3);
    world->step(0.1f, 10);
    EXPECT_NEAR(body->linear_velocity().x, 0.3f, 1e-5f);
    EXPECT_NEAR(body->linear_velocity().y, -0.4f, 1e-5f);
    EXPECT_EQ(body->force().x, 0.0f);
    world->step(0.1f, 10);
    EXPECT_NEAR(body->linear_velocity().x, 0.3f, 1e-5f);
}

TEST(PhysicsBody, DampingTakesOneMinusStepTimesDampingOfTheSpeed)
{
    struct Case
    {
        float h;
        float damping;
        float factor;
    };
    const Case cases[] = {
        {0.01f, 0.5f, 0.995f}, {0.02f, 2.0f, 0.96f}, {0.05f, 10.0f, 0.5f},
        {0.05f, 30.0f, 0.0f},  // more than all of it: stopped, never reversed
        {5.0f, 0.1f, 0.5f},    // the settle step's length
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "h " << c.h << " damping " << c.damping);
        auto world = test::make_world();
        PhysicsBody* body = test::make_circle(
            *world, {.position = {50, 40}, .linear_damping = c.damping, .angular_damping = c.damping}, 1);
        body->set_linear_velocity({2, -1});
        body->set_angular_velocity(3);
        world->step(c.h, 10);
        EXPECT_NEAR(body->linear_velocity().x, 2 * c.factor, 1e-5f);
        EXPECT_NEAR(body->linear_velocity().y, -1 * c.factor, 1e-5f);
        EXPECT_NEAR(body->angular_velocity(), 3 * c.factor, 1e-5f);
    }
}

TEST(PhysicsBody, SpeedCapsHoldForEveryFrameLength)
{
    for (const float h : {0.01f, 0.02f, 0.05f}) {
        SCOPED_TRACE(testing::Message() << "frame " << h);
        auto world = test::make_world();
        PhysicsBody* body = test::make_circle(*world, {.position = {0, 40}}, 1);
        body->apply_impulse(body->mass() * b2Vec2(600, 800), body->world_center()); // 1000 m/s
        body->set_angular_velocity(-1000);
        world->step(h, 10);
        const b2Vec2 v = body->linear_velocity();
        EXPECT_NEAR(v.Length(), 200.0f, 1e-3f);
        EXPECT_NEAR(v.x / v.y, 0.75f, 1e-5f);
        EXPECT_NEAR(body->angular_velocity(), -250.0f, 1e-3f);
        EXPECT_NEAR(body->position().x, 120 * h, 1e-3f);
        EXPECT_NEAR(body->position().y, 40 + 160 * h, 1e-3f);
        EXPECT_NEAR(body->angle(), -250 * h, 1e-3f);
    }
}

TEST(PhysicsBody, LeavingTheBoxFreezesForGood)
{
    auto world = test::make_world();
    // The box ends at x = 162.4; this body stays across that edge.
    PhysicsBody* astride = test::make_circle(*world, {.position = {162.9f, 40}}, 1);
    PhysicsBody* body = test::make_circle(*world, {.position = {150, 30}}, 1);
    body->set_linear_velocity({100, 0}); // 1 m per sub-step of a 50 ms frame
    world->step(0.05f, 10);
    world->step(0.05f, 10);
    EXPECT_FALSE(body->is_frozen()); // at 160: inside
    world->step(0.05f, 10);
    // Frozen where the sub-step from 164 to 165 swept bounds wholly outside.
    ASSERT_TRUE(body->is_frozen());
    EXPECT_NEAR(body->position().x, 165.0f, 1e-3f);
    EXPECT_EQ(body->linear_velocity().Length(), 0.0f);
    EXPECT_FALSE(astride->is_frozen());

    const b2Vec2 where = body->position();
    EXPECT_FALSE(body->set_xform({50, 40}, 0));
    body->set_linear_velocity({-10, 0});
    body->apply_impulse({-10, 0}, where);
    world->step(0.05f, 10);
    EXPECT_EQ(body->position(), where);
    EXPECT_EQ(body->linear_velocity().Length(), 0.0f);
}

TEST(PhysicsBody, AMoveOutOfTheBoxFreezesAtOnce)
{
    struct Case
    {
        const char* name;
        b2Vec2 to;
        bool moved;
    };
    const Case cases[] = {
        {"inside", {100, 50}, true},
        {"partly over the left edge", {-60.5f, 50}, true},
        {"touching the left edge from outside", {-61, 50}, false},
        {"far above", {50, -1000}, false},
        {"beyond a corner", {170, 110}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto world = test::make_world();
        PhysicsBody* body = test::make_circle(*world, {.position = {50, 40}}, 1);
        EXPECT_EQ(body->set_xform(c.to, 0.5f), c.moved);
        EXPECT_EQ(body->is_frozen(), !c.moved);
        EXPECT_EQ(body->position(), c.to); // placed there either way
    }
}

TEST(PhysicsBody, ValuesBox2DCannotTakeAreRefusedAndLogged)
{
    test::LogCapture log;
    auto world = test::make_world();
    PhysicsBody* body = test::make_circle(*world, {.position = {50, 40}}, 1);
    body->set_linear_velocity({1, 2});

    EXPECT_FALSE(body->set_xform({nan, 0}, 0));
    EXPECT_FALSE(body->set_xform({1, 1}, inf));
    body->set_linear_velocity({inf, 0});
    body->set_angular_velocity(nan);
    body->apply_impulse({nan, 0}, body->world_center());
    body->apply_force({1, 0}, {inf, 0});
    body->apply_torque(nan);
    world->step(nan, 10);
    world->step(-0.02f, 10);
    world->step(inf, 10);
    EXPECT_EQ(body->position(), b2Vec2(50, 40));
    EXPECT_EQ(body->linear_velocity(), b2Vec2(1, 2));
    EXPECT_EQ(body->force(), b2Vec2(0, 0));
    EXPECT_EQ(body->torque(), 0.0f);
    EXPECT_FALSE(body->is_frozen());

    // A finite impulse too large for a float speed stops the body instead of spreading NaN.
    PhysicsBody* light = test::make_circle(*world, {.position = {20, 40}, .density = 0.01f}, 1);
    light->apply_impulse({3e38f, 3e38f}, light->world_center());
    world->step(0.02f, 10);
    EXPECT_EQ(light->position(), b2Vec2(20, 40));
    EXPECT_EQ(light->linear_velocity(), b2Vec2(0, 0));

    BodyDef def;
    def.position.Set(nan, 7);
    def.angle = inf;
    def.linear_damping = -1;
    def.angular_damping = nan;
    PhysicsBody* bad = world->create_body(def);
    EXPECT_EQ(bad->position(), b2Vec2(0, 7));
    EXPECT_EQ(bad->angle(), 0.0f);
    EXPECT_EQ(bad->linear_damping(), 0.0f);
    EXPECT_EQ(bad->angular_damping(), 0.0f);

    const std::string errors = log.text("error");
    for (const char* line :
         {"Physics: move refused: position or angle not finite", "Physics: velocity refused: not finite",
          "Physics: impulse refused: not finite", "Physics: force refused: not finite",
          "Physics: step refused: time negative or not finite", "Physics: speed overflowed; the body is stopped",
          "Physics: body position not finite; taken as 0",
          "Physics: linear damping negative or not finite; taken as 0"})
        EXPECT_NE(errors.find(line), std::string::npos) << line;
}

TEST(PhysicsBody, BadShapesAreRefusedWithoutAbort)
{
    test::LogCapture log;
    auto world = test::make_world();
    BodyDef def;
    def.position.Set(50, 40);
    PhysicsBody* body = world->create_body(def);

    auto circle = [](float radius, float density = 1, float friction = 0.2f, float restitution = 0) {
        CircleDef d;
        d.radius = radius;
        d.density = density;
        d.friction = friction;
        d.restitution = restitution;
        return d;
    };
    auto box = [](float hx, float hy) {
        PolygonDef d;
        d.set_as_box(hx, hy);
        d.density = 1;
        return d;
    };
    PolygonDef line;
    line.vertex_count = 3;
    line.vertices = {b2Vec2(0, 0), b2Vec2(1, 1), b2Vec2(2, 2)};
    PolygonDef too_many;
    too_many.vertex_count = 9;

    const CircleDef circles[] = {circle(0), circle(-1), circle(nan), circle(1, -1), circle(1, inf),
                                 circle(1, 1, -0.1f), circle(1, 1, 0.2f, nan)};
    for (const auto& shape : circles) {
        SCOPED_TRACE(testing::Message() << "radius " << shape.radius << " density " << shape.density
                                        << " friction " << shape.friction << " restitution " << shape.restitution);
        EXPECT_EQ(body->create_shape(shape), nullptr);
    }
    const PolygonDef polygons[] = {box(0, 0), box(1, 0), box(nan, 1), line, too_many};
    for (const auto& shape : polygons) {
        SCOPED_TRACE(testing::Message() << "polygon of " << shape.vertex_count);
        EXPECT_EQ(body->create_shape(shape), nullptr);
    }
    EXPECT_TRUE(body->shapes().empty());

    // A tiny circle far from the origin: its inertia about the centre is lost to rounding,
    // which Box2D would assert on; the body keeps its mass and does not turn.
    CircleDef far = circle(0.01f);
    far.local_position.Set(3000, 0);
    ASSERT_NE(body->create_shape(far), nullptr);
    body->set_mass_from_shapes();
    EXPECT_GT(body->mass(), 0.0f);
    EXPECT_EQ(body->inv_inertia(), 0.0f);
    world->step(0.02f, 10);

    const std::string errors = log.text("error");
    EXPECT_NE(errors.find("Physics: shape refused: circle without a finite, positive radius"), std::string::npos);
    EXPECT_NE(errors.find("Physics: shape refused: polygon without 3 distinct points around an area"),
              std::string::npos);
    EXPECT_NE(errors.find("Physics: shape refused: density negative or not finite"), std::string::npos);
    EXPECT_NE(errors.find("Physics: body's inertia lost to rounding; it will not turn"), std::string::npos);
}

}
}
