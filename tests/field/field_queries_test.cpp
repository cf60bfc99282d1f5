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

class FieldQueries : public testing::Test
{
protected:
    ProbeItem* add(const std::string& keys, Vector2<float> position)
    {
        ProbeItem* item = probe(keys);
        m_field.add_item(item, {position, 0});
        return item;
    }
    // A piece of the group at the position, entered in the pieces by group.
    ProbeItem* piece(int gen, bool launchable, Vector2<float> position)
    {
        ProbeItem* item = add("size [(20, 20)] gen " + std::to_string(gen) + (launchable ? " launchable true" : ""),
                              position);
        m_field.add_piece(*item);
        return item;
    }

    test::FakeGame m_game;
    Field m_field{FieldSettings{}, m_game};
};

TEST_F(FieldQueries, ChainStateAsksForAGroupWithAFreeLaunchablePiece)
{
    EXPECT_EQ(m_field.chain_state(), ChainState::none_possible) << "no pieces";
    EXPECT_FALSE(m_field.single_group_left());
    piece(1, true, {100, 100});
    EXPECT_EQ(m_field.chain_state(), ChainState::none_possible) << "one piece";
    EXPECT_TRUE(m_field.single_group_left());
    piece(2, true, {200, 100});
    EXPECT_EQ(m_field.chain_state(), ChainState::none_possible) << "two groups of one";
    EXPECT_FALSE(m_field.single_group_left());
    ProbeItem* third = piece(2, false, {300, 100});
    EXPECT_EQ(m_field.chain_state(), ChainState::possible) << "a group of two with a launchable piece";

    // The group's launchable piece under an awning no longer counts.
    add("awning true size [(60, 60)]", {200, 100});
    EXPECT_EQ(m_field.chain_state(), ChainState::none_possible);
    EXPECT_TRUE(m_field.is_under_awning({210, 90}));
    EXPECT_FALSE(m_field.is_under_awning({300, 100}));
    third->set_launchable(true);
    EXPECT_EQ(m_field.chain_state(), ChainState::possible);

    EXPECT_TRUE(m_field.remove_piece(*third));
    EXPECT_FALSE(m_field.remove_piece(*third));
    EXPECT_EQ(m_field.pieces().size(), 2u);
}

TEST_F(FieldQueries, LaunchableNeedsTheFlagAndAGroup)
{
    piece(-1, true, {100, 100});
    piece(1, false, {200, 100});
    EXPECT_FALSE(m_field.has_launchable_piece());
    piece(1, true, {300, 100});
    EXPECT_TRUE(m_field.has_launchable_piece());

    std::vector<int> gens;
    m_field.for_each_piece([&gens](Item* item) { gens.push_back(item->gen()); });
    EXPECT_EQ(gens, (std::vector<int>{-1, 1, 1})) << "by group";
}

TEST_F(FieldQueries, ItemAtFindsTheFirstAdded)
{
    ProbeItem* wide = add("size [(200, 40)]", {300, 300});
    ProbeItem* small = add("size [(20, 20)]", {300, 300});
    ProbeItem* apart = add("size [(20, 20)]", {600, 300});
    EXPECT_EQ(m_field.item_at({300, 300}), wide);
    EXPECT_EQ(m_field.item_at({600, 305}), apart);
    EXPECT_EQ(m_field.item_at({450, 300}), nullptr);
    (void)small;
}

TEST_F(FieldQueries, ShockWavePushesGroundItemsAwayByDistance)
{
    struct Case
    {
        const char* keys;
        Vector2<float> position;
        float speed;  // pixels per second after the push, away from the blast
    };
    const Vector2<float> blast{500, 400};
    const Case cases[] = {
        {"density 1", {600, 400}, 700.0f},           // 100 px: impulse 700
        {"density 1", {500, 200}, 350.0f},           // 200 px: half
        {"density 1", {500, 400}, 0.0f},             // on the point
        {"density 1 height 0.2", {300, 400}, 0.0f},  // above the ground
        {"density 0.0001", {500, 600}, 0.0f},        // too light
    };
    std::vector<ProbeItem*> items;
    for (const Case& c : cases)
        items.push_back(add(c.keys, c.position));
    m_field.shock_wave(blast, 70000.0f);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Case& c = cases[i];
        const Vector2<float> v = items[i]->velocity();
        const float expected = c.speed / std::max(items[i]->mass(), 1.0f);
        EXPECT_NEAR(v.length(), expected, expected * 1e-4f + 1e-6f) << c.keys;
        if (expected > 0.0f) {
            const Vector2<float> away = (c.position - blast).with_length(1.0f);
            EXPECT_NEAR(v.x * away.x + v.y * away.y, expected, expected * 1e-4f) << "away from the blast";
        }
    }
}

}
}
