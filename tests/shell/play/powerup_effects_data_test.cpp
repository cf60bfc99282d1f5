#include <gtest/gtest.h>

#include <string>

#include "engine/base/random.h"
#include "engine/res/skin.h"
#include "game/field/effects/powerup_add_effect.h"
#include "game/field/field.h"
#include "tests/shell/data_tree.h"
#include "tests/shell/first_profile.h"

namespace kq {
namespace {

// A new profile that watches its gained powerups fly in.
struct AnimatingProfile : test::FirstProfile
{
    void show_tip(StrCache name, const Vector2<int>&) override { tips.emplace_back(name.c_str()); }
    bool animated_powerups() const override { return true; }

    std::vector<std::string> tips;
};

// The game's data tree with a renderer on a device that keeps its textures in memory.
class PowerupEffectsData : public testing::Test
{
protected:
    test::DataTreeRenderer m_data{"kq_powerup_data_"};
    AnimatingProfile m_game;
};

// The sparks on the field's effect layer (every child but the gain effect) and how many of them
// lie within `radius` of the point.
struct SparkCount
{
    int all = 0;
    int near = 0;
};

SparkCount count_sparks(Field& field, const Vector2<float>& point, float radius)
{
    SparkCount count;
    field.effect_layer().children().walk([&](const SharedPtr<Sprite>& child) {
        if (dynamic_cast<PowerupAddEffect*>(child.get()))
            return;
        ++count.all;
        if ((child->position() - point).length() <= radius)
            ++count.near;
    });
    return count;
}

TEST_F(PowerupEffectsData, EveryGainFliesInWithSparksThatGatherOnItsOutline)
{
    random_seed(7);
    const struct Case
    {
        Powerup powerup;
        const char* tip;
    } cases[] = {{Powerup::coin, "powerup_coin"},         {Powerup::clock, "powerup_clock"},
                 {Powerup::hand, "powerup_hand"},         {Powerup::fireball, "powerup_fireball"},
                 {Powerup::bolt, "powerup_bolt"},         {Powerup(5), nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.powerup));
        m_game.tips.clear();
        Field field(FieldSettings{}, m_game);
        field.add_powerup(c.powerup, 2, true);
        ASSERT_EQ(field.pending_powerup_effects(), 1) << "its effect is described";

        // Two seconds of flight: the outline holds at the screen's centre at 1.2 s, where
        // sparks from all over the screen have gathered on it (60 to 75 pixels out).
        for (int t = 0; t < 1200; t += 20)
            field.update(20);
        const SparkCount sparks = count_sparks(field, {512, 384}, 130);
        EXPECT_GT(sparks.all, 50);
        EXPECT_GT(sparks.near * 10, sparks.all * 6) << "most sparks on the outline";
        EXPECT_EQ(field.pending_powerup_effects(), 1);

        for (int t = 1200; t < 2100; t += 20)
            field.update(20);
        EXPECT_EQ(field.pending_powerup_effects(), 0);
        if (c.tip) {
            EXPECT_EQ(field.powerups(c.powerup), 2);
            EXPECT_EQ(m_game.tips, std::vector<std::string>{c.tip});
        } else {
            EXPECT_TRUE(m_game.tips.empty());
        }
    }
}

}
}
