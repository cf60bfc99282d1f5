#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/field/physics/physics_world.h"
#include "tests/base/log_capture.h"
#include "tests/field/physics_fixture.h"

namespace kq {
namespace {

TEST(PhysicsWorld, StepsAreCutSoThatNoBodyOutrunsBox2DsPerStepLimit)
{
    struct Case
    {
        float h;
        b2Vec2 velocity;
        float spin;
        int substeps;
    };
    // A sub-step moves a body at most 1 m and turns it at most pi/4.
    const Case cases[] = {
        {0.02f, {10, 0}, 0, 1},
        {0.02f, {0, 0}, 0, 1},
        {0.02f, {0, 100}, 0, 2},
        {0.05f, {120, 160}, 0, 10},
        {0.01f, {200, 0}, 0, 2},
        {0.05f, {0, 0}, 250, 16},
        {0.05f, {0, 0}, -20, 2},
        {5.0f, {200, 0}, 0, PhysicsWorld::max_substeps}, // the cap
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "h " << c.h << " speed " << c.velocity.Length() << " spin " << c.spin);
        auto world = test::make_world();
        PhysicsBody* body = test::make_circle(*world, {.position = {50, 40}}, 1);
        test::make_circle(*world, {.position = {10, 10}}, 1); // a body at rest asks for nothing
        body->set_linear_velocity(c.velocity);
        body->set_angular_velocity(c.spin);
        world->step(c.h, 10);
        EXPECT_EQ(world->last_substep_count(), c.substeps);
    }
}

TEST(PhysicsWorld, SettleStepSeparatesOverlapsWithoutCuttingSpeeds)
{
    auto world = test::make_world();
    PhysicsBody* a = test::make_box(*world, {.position = {50, 40}}, 2, 2);
    PhysicsBody* b = test::make_box(*world, {.position = {52, 40.5f}}, 2, 2);
    PhysicsBody* c = test::make_circle(*world, {.position = {51, 42}}, 1.5f);
    PhysicsBody* drifting = test::make_circle(*world, {.position = {20, 20}}, 1);
    drifting->set_linear_velocity({2, 0}); // 10 m in 5 s: far beyond one Box2D step's 2 m

    world->step(5.0f, 500);

    auto gap_x = [](PhysicsBody* left, PhysicsBody* right) { return right->position().x - left->position().x; };
    EXPECT_GT(gap_x(a, b), 3.9f); // two 4 m boxes side by side
    const float ca = (c->position() - a->position()).Length();
    const float cb = (c->position() - b->position()).Length();
    EXPECT_GT(std::min(ca, cb), 2.5f);
    EXPECT_NEAR(drifting->linear_velocity().x, 2.0f, 1e-4f);
    EXPECT_NEAR(drifting->position().x, 30.0f, 1e-3f);
}

TEST(PhysicsWorld, IterationsDriveThePositionSolverToo)
{
    // Boxes overlapping by 2 m: one round of position correction moves them 0.2 m at most.
    for (const int iterations : {1, 500}) {
        SCOPED_TRACE(iterations);
        auto world = test::make_world();
        PhysicsBody* a = test::make_box(*world, {.position = {50, 40}}, 2, 2);
        PhysicsBody* b = test::make_box(*world, {.position = {52, 40}}, 2, 2);
        world->step(5.0f, iterations);
        const float gap = b->position().x - a->position().x;
        EXPECT_EQ(gap > 3.9f, iterations == 500) << gap;
    }
}

TEST(PhysicsWorld, GravityActsThroughTheVelocityStage)
{
    PhysicsWorld world(test::field_box(), b2Vec2(0, 10), false);
    PhysicsBody* body = test::make_circle(world, {.position = {50, 40}}, 1);
    PhysicsBody* wall = test::make_circle(world, {.position = {50, 60}, .density = 0}, 1);
    world.step(0.1f, 10);
    EXPECT_NEAR(body->linear_velocity().y, 1.0f, 1e-5f);
    EXPECT_EQ(wall->linear_velocity().y, 0.0f);
}

TEST(PhysicsWorld, ZeroStepMovesNothing)
{
    auto world = test::make_world();
    PhysicsBody* body = test::make_circle(*world, {.position = {50, 40}}, 1);
    body->set_linear_velocity({5, 0});
    world->step(0.0f, 10);
    EXPECT_EQ(body->position(), b2Vec2(50, 40));
    EXPECT_EQ(body->linear_velocity(), b2Vec2(5, 0));
}

TEST(PhysicsWorld, DestroyingABodyEndsItsContacts)
{
    auto world = test::make_world();
    test::ContactLog log;
    world->set_contact_listener(&log);
    PhysicsBody* a = test::make_box(*world, {.position = {50, 40}}, 1, 1);
    PhysicsBody* b = test::make_box(*world, {.position = {51.9f, 40}}, 1, 1);
    world->step(0.02f, 10);
    ASSERT_FALSE(log.added.empty());
    EXPECT_EQ(world->body_count(), 2);

    log.clear();
    PhysicsShape* gone = b->shapes().front().get();
    world->destroy_body(b);
    EXPECT_EQ(world->body_count(), 1);
    ASSERT_FALSE(log.removed.empty());
    for (const auto& point : log.removed)
        EXPECT_TRUE(point.shape1 == gone || point.shape2 == gone);
    log.clear();
    world->step(0.02f, 10);
    EXPECT_TRUE(log.results.empty());
    (void)a;
}

TEST(PhysicsWorld, OutlivesItsListenerAndTellsItNothingAtTheEnd)
{
    auto world = test::make_world();
    auto log = std::make_unique<test::ContactLog>();
    world->set_contact_listener(log.get());
    test::make_box(*world, {.position = {50, 40}}, 1, 1);
    test::make_box(*world, {.position = {51.9f, 40}}, 1, 1);
    world->step(0.02f, 10);
    ASSERT_FALSE(log->results.empty());
    log.reset(); // the field lets its listener go before its world
    world.reset();
}

TEST(PhysicsWorld, NothingChangesDuringAStep)
{
    struct Meddler : PhysicsContactListener
    {
        void add(const ContactPoint& point) override
        {
            PhysicsBody& body = point.shape1->body();
            moved = body.set_xform({10, 10}, 0);
            made = body.world().create_body(BodyDef()) != nullptr;
            shaped = body.create_shape(CircleDef()) != nullptr;
            body.world().step(0.02f, 10);
            body.world().destroy_body(&point.shape2->body());
        }
        bool moved = true;
        bool made = true;
        bool shaped = true;
    };
    test::LogCapture errors;
    auto world = test::make_world();
    Meddler meddler;
    world->set_contact_listener(&meddler);
    test::make_box(*world, {.position = {50, 40}}, 1, 1);
    test::make_box(*world, {.position = {51.9f, 40}}, 1, 1);
    world->step(0.02f, 10);
    EXPECT_FALSE(meddler.moved);
    EXPECT_FALSE(meddler.made);
    EXPECT_FALSE(meddler.shaped);
    EXPECT_EQ(world->body_count(), 2);
    EXPECT_NE(errors.text("error").find("Physics: a body cannot be destroyed during a step"), std::string::npos);
}

}
}
