#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/field/field.h"
#include "game/field/physics/physics_body.h"
#include "item_fixture.h"

namespace kq {
namespace {

using test::probe;
using test::ProbeItem;

class FieldUpdate : public testing::Test
{
protected:
    ProbeItem* add(const std::string& keys, Vector2<float> position)
    {
        ProbeItem* item = probe(keys);
        m_field.add_item(item, {position, 0});
        return item;
    }

    test::FakeGame m_game;
    Field m_field{FieldSettings{}, m_game};
};

TEST_F(FieldUpdate, ClockRunsAtTheTimeFactorAndStandsWhenStopped)
{
    ProbeItem* mover = add("form circle density 1", {100, 100});
    mover->set_velocity({100, 0});

    m_field.update(0);
    m_field.update(-5);
    EXPECT_EQ(m_field.field_time(), 0);
    EXPECT_EQ(mover->position(), (Vector2<float>{100, 100})) << "no time, no change";

    m_field.update(40);
    EXPECT_EQ(m_field.field_time(), 40);
    EXPECT_NEAR(mover->position().x, 104.0f, 1e-3f);

    // Entering the strikes mode stops time over a second: half of 500 ms passes.
    m_field.set_state(GameMode::strikes);
    EXPECT_EQ(m_field.time_state(), TimeState::stopping);
    m_field.update(500);
    EXPECT_FLOAT_EQ(m_field.time_factor(), 0.5f);
    EXPECT_EQ(m_field.field_time(), 290);
    EXPECT_NEAR(mover->position().x, 129.0f, 1e-3f);

    m_field.update(500);
    EXPECT_EQ(m_field.time_state(), TimeState::stopped);
    EXPECT_EQ(m_field.field_time(), 290) << "stopped: the clock stands";
    const Vector2<float> stopped_at = mover->position();
    m_field.update(50);
    EXPECT_EQ(m_field.field_time(), 290);
    EXPECT_EQ(mover->position(), stopped_at);
    mover->die();
    m_field.update(50);
    EXPECT_TRUE(m_field.items().empty()) << "dead items still leave while time stands";

    m_field.set_state(GameMode::aim);
    EXPECT_EQ(m_field.time_state(), TimeState::resuming);
    m_field.update(600);
    m_field.update(600);
    EXPECT_EQ(m_field.time_state(), TimeState::running);
    EXPECT_FLOAT_EQ(m_field.time_factor(), 1.0f);
}

TEST_F(FieldUpdate, ContactsReachBothItemsWithOpposedNormals)
{
    ProbeItem* puck = add("form circle density 1 size [(20, 20)]", {100, 100});
    ProbeItem* wall = add("form rect density 0 size [(20, 200)]", {200, 100});
    puck->set_velocity({400, 0});
    for (int i = 0; i < 20 && puck->contacts.empty(); ++i)
        m_field.update(20);

    ASSERT_FALSE(puck->contacts.empty());
    ASSERT_EQ(puck->contacts.size(), wall->contacts.size());
    for (std::size_t i = 0; i < puck->contacts.size(); ++i) {
        const ContactInfo& mine = puck->contacts[i].info;
        const ContactInfo& theirs = wall->contacts[i].info;
        EXPECT_EQ(puck->contacts[i].other, wall);
        EXPECT_EQ(wall->contacts[i].other, puck);
        EXPECT_GT(mine.normal_impulse, 0.0f);
        EXPECT_EQ(mine.normal_impulse, theirs.normal_impulse);
        EXPECT_EQ(mine.position, theirs.position);
        EXPECT_EQ(mine.normal, theirs.normal * -1.0f);
        EXPECT_NEAR(std::fabs(mine.normal.x), 10.0f, 1e-3f) << "the unit normal in pixels";
        EXPECT_NEAR(mine.position.x, 190.0f, 1.0f) << "at the wall's face";
    }
    EXPECT_TRUE(m_field.contact_listener().results().empty());
}

TEST_F(FieldUpdate, ContactsSkipBodiesWithoutItemsAndTheDead)
{
    // A body of the world that carries no item: the puck hits it and nobody is told.
    BodyDef def;
    def.position.Set(20.0f, 50.0f);
    PolygonDef wall;
    wall.set_as_box(1.0f, 10.0f);
    m_field.world().create_body(def)->create_shape(wall);
    ProbeItem* lone = add("form circle density 1 size [(20, 20)]", {100, 500});
    lone->set_velocity({400, 0});
    for (int i = 0; i < 20; ++i)
        m_field.update(20);
    EXPECT_TRUE(lone->contacts.empty());
    EXPECT_LT(lone->velocity().x, 400.0f) << "it did hit";

    // The first item of a contact kills the second, which is then not told.
    ProbeItem* a = add("form circle density 1 size [(20, 20)]", {600, 100});
    ProbeItem* b = add("form circle density 1 size [(20, 20)]", {700, 100});
    a->set_velocity({400, 0});
    b->set_velocity({-400, 0});
    a->victim = b;
    b->victim = a;
    const SharedPtr<Item> hold_a(a);
    const SharedPtr<Item> hold_b(b);
    for (int i = 0; i < 20 && a->contacts.empty() && b->contacts.empty(); ++i)
        m_field.update(20);
    EXPECT_EQ(a->contacts.size() + b->contacts.size(), 1u);
}

TEST_F(FieldUpdate, DeadItemsLeaveAnnounced)
{
    ProbeItem* a = add("", {100, 100});
    ProbeItem* b = add("awning true", {200, 100});
    ProbeItem* c = add("", {300, 100});
    std::vector<Item*> removed;
    m_field.on_item_removed().connect(
        [&](Item* item) {
            removed.push_back(item);
            EXPECT_EQ(item->body(), nullptr) << "the body goes first";
            EXPECT_EQ(item->field(), &m_field);
        },
        &removed);
    SharedPtr<Item> kept(b);
    b->die();
    m_field.update(10);
    EXPECT_EQ(removed, (std::vector<Item*>{b}));
    EXPECT_EQ(m_field.draw_order(), (std::vector<Item*>{a, c}));
    EXPECT_EQ(m_field.items().size(), 2u);
    EXPECT_EQ(m_field.items().front().get(), a);
    EXPECT_TRUE(m_field.awnings().empty());
    EXPECT_EQ(m_field.world().body_count(), 2);
    EXPECT_EQ(b->field(), nullptr);
}

TEST_F(FieldUpdate, ShakeMovesTheScreenOnlyAboveOneAndAHalf)
{
    m_field.add_shake(1.5f);
    for (int i = 0; i < 10; ++i) {
        m_field.update(20);
        EXPECT_EQ(m_field.shake_offset(), (Vector2<int>{0, 0}));
    }
    m_field.add_shake(7.0f);
    bool moved = false;
    for (int i = 0; i < 30; ++i) {
        m_field.update(20);
        const Vector2<int> offset = m_field.shake_offset();
        moved = moved || offset != Vector2<int>{0, 0};
        EXPECT_LE(std::abs(offset.x), 15);
        EXPECT_LE(std::abs(offset.y), 15);
    }
    EXPECT_TRUE(moved);
    for (int i = 0; i < 60; ++i)
        m_field.update(50);
    EXPECT_EQ(m_field.shake_offset(), (Vector2<int>{0, 0})) << "the shake wears off at one a second";
}

TEST_F(FieldUpdate, DarknessRisesAfterAFailAndFades)
{
    m_field.update(100);
    EXPECT_EQ(m_field.darkness(), 0.0f);
    m_field.set_game_state(GameState::fail);
    m_field.update(100);
    EXPECT_FLOAT_EQ(m_field.darkness(), 0.1f);
    for (int i = 0; i < 30; ++i)
        m_field.update(50);
    EXPECT_FLOAT_EQ(m_field.darkness(), 1.0f);
}

// Every pair on the ground is tried in a step, whichever of the two comes first among the
// items: a magnet pulls the pieces of its group before and after it, pieces without a magnet
// and items in the air stay, and a charged pair pushes apart.
TEST_F(FieldUpdate, AStepAttractsEveryPairOnTheGround)
{
    struct Case
    {
        const char* keys;
        bool attractor;
        Vector2<float> position;
        float moves;  // the sign of its speed along x after the step, 0 for none
    };
    const Case cases[] = {
        {"gen 1", false, {-200, 0}, 1},
        {"gen 2", false, {-400, 0}, 0},
        {"gen 1", true, {0, 0}, 0},
        {"gen 1", false, {200, 0}, -1},
        {"gen 1 height 0.2", false, {0, -200}, 0},
        {"gen 3 electrostatic_charge 30", false, {-100, 250}, -1},
        {"gen 4", false, {0, 250}, 0},
        {"gen 3 electrostatic_charge 30", false, {100, 250}, 1},
    };
    std::vector<ProbeItem*> items;
    for (const Case& c : cases) {
        items.push_back(add(std::string("form circle density 1 size [(20, 20)] ") + c.keys, c.position));
        items.back()->attractor = c.attractor;
    }
    m_field.update(20);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const float vx = items[i]->velocity().x;
        const float sign = vx > 0.0f ? 1.0f : (vx < 0.0f ? -1.0f : 0.0f);
        EXPECT_EQ(sign, cases[i].moves) << "item " << i << " (" << cases[i].keys << ") at speed " << vx;
        EXPECT_EQ(items[i]->velocity().y, 0.0f) << "item " << i;
    }
    EXPECT_NEAR(items[0]->velocity().x, -items[3]->velocity().x, 1e-3f) << "pulled alike from both sides";
}

TEST_F(FieldUpdate, ChargesAndMagnetsPullAndPush)
{
    struct Case
    {
        const char* keys_a;
        bool attractor_a;
        const char* keys_b;
        bool attractor_b;
        float distance;
        float force;  // on b along a to b, pixel units; positive pushes apart
    };
    const float magnet = -8e7f;
    const Case cases[] = {
        {"electrostatic_charge 30", false, "electrostatic_charge 30", false, 200, 900.0f / 40000},
        {"electrostatic_charge 30", false, "electrostatic_charge -30", false, 100, -900.0f / 32400},
        {"electrostatic_charge 30", false, "electrostatic_charge 30", false, 60, 0},
        {"electrostatic_charge 30", false, "electrostatic_charge 30 height 0.2", false, 200, 0},
        {"electrostatic_charge 30", false, "electrostatic_charge 0", false, 200, 0},
        {"gen 1", true, "gen 1", false, 200, magnet / 40000},
        {"gen 1", true, "gen 1", true, 200, 2 * magnet / 40000},
        {"gen 1", true, "gen 1", true, 100, 2 * magnet / 32400},
        {"gen 1", true, "gen 2", true, 200, 0},
        {"gen 1", true, "gen 1 magnetic false", true, 200, 0},
        {"gen -1", true, "gen -1", true, 200, 0},
    };
    int row = 0;
    for (const Case& c : cases) {
        // Each pair on a row of its own, all inside the world's box.
        const float y = float(-250 + 100 * row++);
        ProbeItem* a = add(std::string("density 1 ") + c.keys_a, {100, y});
        ProbeItem* b = add(std::string("density 1 ") + c.keys_b, {100 + c.distance, y});
        a->attractor = c.attractor_a;
        b->attractor = c.attractor_b;
        m_field.attract(*a, *b);
        EXPECT_NEAR(b->body()->force().x * 10.0f, c.force, 1e-6f + std::fabs(c.force) * 1e-4f)
            << c.keys_a << " / " << c.keys_b << " at " << c.distance;
        EXPECT_NEAR(a->body()->force().x, -b->body()->force().x, 1e-9f);
        EXPECT_EQ(b->body()->force().y, 0.0f);
    }
}

}
}
