#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "game/field/physics/physics_world.h"
#include "tests/field/physics_fixture.h"

namespace kq {
namespace {

using PointKey = std::tuple<PhysicsShape*, PhysicsShape*, std::uint32_t>;

PointKey key_of(const ContactResult& result)
{
    return {result.shape1, result.shape2, result.id};
}

// Steps 20 ms frames until the log holds results; false after a second without.
bool step_until_results(PhysicsWorld& world, test::ContactLog& log, float h = 0.02f)
{
    for (int frame = 0; frame < 50; ++frame) {
        world.step(h, 10);
        if (!log.results.empty())
            return true;
    }
    return false;
}

TEST(ContactReporter, ACollisionGivesOneResultPerPointWithTheNormalFromAToB)
{
    auto world = test::make_world();
    test::ContactLog log;
    world->set_contact_listener(&log);
    PhysicsBody* a = test::make_circle(*world, {.position = {40, 40}, .restitution = 1, .item = test::fake_item(1)}, 1);
    PhysicsBody* b = test::make_circle(*world, {.position = {45, 41}, .restitution = 1, .item = test::fake_item(2)}, 1);
    a->set_linear_velocity({20, 0});
    ASSERT_TRUE(step_until_results(*world, log));

    ASSERT_EQ(log.results.size(), 1u); // two circles touch at one point
    const ContactResult& result = log.results.front();
    const bool a_first = &result.shape1->body() == a;
    PhysicsBody* first = a_first ? a : b;
    PhysicsBody* second = a_first ? b : a;
    EXPECT_EQ(&result.shape2->body(), second);
    EXPECT_EQ(result.item1, first->user_data());
    EXPECT_EQ(result.item2, second->user_data());
    const b2Vec2 centres = second->position() - first->position();
    EXPECT_NEAR(result.normal.Length(), 1.0f, 1e-5f);
    EXPECT_GT(b2Dot(result.normal, centres), 0.99f * centres.Length());
    EXPECT_GT(result.normal_impulse, 0.0f);
    const float along = b2Dot(result.position - first->position(), centres) / centres.Length();
    EXPECT_GT(along, 0.5f); // between the two circles
    EXPECT_LT(along, centres.Length() - 0.5f);
}

TEST(ContactReporter, SubStepsOfAFrameAddUpToOneResultPerPoint)
{
    auto world = test::make_world();
    test::ContactLog log;
    world->set_contact_listener(&log);
    PhysicsBody* a = test::make_box(*world, {.position = {40, 40}, .friction = 0}, 1, 1);
    PhysicsBody* b = test::make_box(*world, {.position = {46, 40}, .friction = 0}, 1, 1);
    a->set_linear_velocity({150, 0});

    float impulse = 0.0f;
    int frames_with_results = 0;
    for (int frame = 0; frame < 10; ++frame) {
        log.clear();
        world->step(0.05f, 10);
        if (log.results.empty())
            continue;
        ++frames_with_results;
        EXPECT_GT(world->last_substep_count(), 1);
        std::set<PointKey> seen;
        for (const auto& result : log.results) {
            EXPECT_TRUE(seen.insert(key_of(result)).second) << "a point reported twice in one frame";
            impulse += result.normal_impulse * (&result.shape1->body() == a ? 1.0f : -1.0f) * result.normal.x;
        }
    }
    ASSERT_GT(frames_with_results, 0);
    // Every solver impulse reached the listener: together they are b's momentum.
    EXPECT_NEAR(impulse, b->mass() * b->linear_velocity().x, 0.01f * b->mass() * b->linear_velocity().x);
    EXPECT_NEAR(a->linear_velocity().x, b->linear_velocity().x, 1.0f); // inelastic: they move on together
}

TEST(ContactReporter, FacesInContactGiveTwoPoints)
{
    auto world = test::make_world();
    test::ContactLog log;
    world->set_contact_listener(&log);
    test::make_box(*world, {.position = {40, 40}}, 1, 1);
    PhysicsBody* b = test::make_box(*world, {.position = {42.5f, 40}}, 1, 1);
    b->set_linear_velocity({-5, 0});
    ASSERT_TRUE(step_until_results(*world, log));
    ASSERT_EQ(log.results.size(), 2u);
    EXPECT_NE(log.results[0].id, log.results[1].id);
    EXPECT_EQ(log.results[0].shape1, log.results[1].shape1);
}

TEST(ContactReporter, PointsAreAddedPersistAndAreRemoved)
{
    auto world = test::make_world();
    test::ContactLog log;
    world->set_contact_listener(&log);
    PhysicsBody* a = test::make_box(*world, {.position = {40, 40}}, 1, 1);
    PhysicsBody* b = test::make_box(*world, {.position = {42.2f, 40}}, 1, 1);
    b->set_linear_velocity({-5, 0});
    ASSERT_TRUE(step_until_results(*world, log));
    EXPECT_EQ(log.added.size(), 2u);
    for (const auto& point : log.added) {
        EXPECT_EQ(point.shape1, log.results.front().shape1);
        EXPECT_LE(point.separation, b2_linearSlop);
    }

    log.clear();
    world->step(0.02f, 10);
    EXPECT_TRUE(log.added.empty());
    EXPECT_EQ(log.persisted.size(), 2u);

    log.clear();
    a->set_linear_velocity({-5, 0});
    b->set_linear_velocity({5, 0});
    for (int frame = 0; frame < 5; ++frame)
        world->step(0.02f, 10);
    ASSERT_EQ(log.removed.size(), 2u);
    EXPECT_NE(log.removed[0].id, log.removed[1].id);
}

TEST(ContactReporter, FreezingABodyEndsItsContacts)
{
    auto world = test::make_world();
    test::ContactLog log;
    world->set_contact_listener(&log);
    PhysicsBody* a = test::make_circle(*world, {.position = {40, 40}}, 1);
    PhysicsBody* b = test::make_circle(*world, {.position = {41.9f, 40}}, 1);
    ASSERT_TRUE(step_until_results(*world, log));

    log.clear();
    EXPECT_FALSE(a->set_xform({-100, 40}, 0));
    ASSERT_EQ(log.removed.size(), 1u);
    EXPECT_TRUE(log.removed[0].shape1 == a->shapes()[0].get() || log.removed[0].shape2 == a->shapes()[0].get());

    // Moving b through where a stands now meets nothing there.
    log.clear();
    b->set_xform({-100, 40.5f}, 0);
    world->step(0.02f, 10);
    EXPECT_TRUE(log.results.empty());
    EXPECT_TRUE(log.added.empty());
}

TEST(ContactReporter, BodiesWithoutItemsReportNone)
{
    auto world = test::make_world();
    test::ContactLog log;
    world->set_contact_listener(&log);
    test::make_circle(*world, {.position = {40, 40}, .item = test::fake_item(3)}, 1);
    test::make_circle(*world, {.position = {41.5f, 40}}, 1);
    ASSERT_TRUE(step_until_results(*world, log));
    for (const auto& result : log.results)
        EXPECT_TRUE((result.item1 == nullptr) != (result.item2 == nullptr));
}

}
}
