#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/base/random.h"
#include "game/field/objects/spirit.h"
#include "tests/base/log_capture.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

// Spirits of gen 1 drifting at 50 pixels a second; one stands still; one reads no optional
// key; the burst the field shows.
const char* const spirit_skin = R"(
    spirit_keys : item_keys { form circle size [(20, 20)] density 1 gen 1 restitution 1
        emitter "class kq::EmitterSprite" : sprite_keys {
            emission 10 start_speed_min 0 start_speed_max 0 gravity_min 0 gravity_max 0
            radial_acceleration_min 0 radial_acceleration_max 0 tangential_acceleration_min 0
            tangential_acceleration_max 0 attraction_period 0 direction 0 direction_relative false
            spread 0 particle "" } }
    drifting "class kq::Spirit" : spirit_keys { nominal_speed 50 rotate_speed 0.1 rotate_period 1000 }
    still "class kq::Spirit" : spirit_keys { nominal_speed 0 density 50 }
    plain "class kq::Spirit" : item_keys { gen 1 }
    effects { spirit_explore "class kq::Sprite" : sprite_keys { } }
)";

struct SpiritField : test::PieceField
{
    SpiritField() : PieceField({}, "", "plain", spirit_skin) {}

    Spirit* add_spirit(const char* path, Vector2<float> point)
    {
        auto* spirit = create_from_skin<Spirit>(SkinPath(path));
        field.add_item(spirit, ItemPlacement{point, 0.0f});
        return spirit;
    }
};

Vector2<float> turned(const Vector2<float>& v, float a)
{
    return {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a)};
}

bool is_finite(const Vector2<float>& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

TEST(Spirit, ReadsItsKeysAndIsNoGroupMember)
{
    SpiritField f;
    f.add("red", {100, 100});
    Spirit* plain = f.add_spirit("plain", {500, 500});
    EXPECT_EQ(plain->nominal_speed(), 0.0f);
    EXPECT_EQ(plain->rotate_period(), 1000);
    EXPECT_FLOAT_EQ(plain->rotate_speed(), 0.1f);
    EXPECT_EQ(plain->emitter().get(), nullptr);

    Spirit* spirit = f.add_spirit("drifting", {300, 300});
    EXPECT_FLOAT_EQ(spirit->nominal_speed(), 50.0f);
    EXPECT_FALSE(spirit->has_group());
    Vimu* red = f.add("red", {600, 600});
    red->strike({}, red->position());
    EXPECT_TRUE(spirit->same_group(*red)) << "it still compares the gens";

    FilterData filter;
    spirit->collision_filter(filter);
    EXPECT_EQ(filter.category_bits, 255);
    EXPECT_EQ(filter.mask_bits, 0x000F);
}

TEST(Spirit, DriftsAtItsSpeedTurningGently)
{
    random_seed(7);
    SpiritField f;
    f.add("red", {100, 100});
    Spirit* spirit = f.add_spirit("drifting", {500, 400});
    const Vector2<float> start = spirit->velocity();
    EXPECT_NEAR(start.length(), 50.0f, 1e-3f) << "set off in a random direction";

    // A knock changes only the direction of travel, never the speed.
    spirit->set_velocity(start * 3.0f);
    spirit->set_angular_velocity(2.0f);
    spirit->update(100);
    const Vector2<float> want = turned(start, 100 * 0.1f * 0.001f);
    EXPECT_NEAR(spirit->velocity().x, want.x, 1e-3f);
    EXPECT_NEAR(spirit->velocity().y, want.y, 1e-3f);
    EXPECT_EQ(spirit->body()->angular_velocity(), 0.0f);
    EXPECT_FLOAT_EQ(spirit->rotate_speed(), -0.1f) << "the first update already reverses";

    f.run(500);
    EXPECT_NEAR(spirit->velocity().length(), 50.0f, 1e-3f);
    const Vector2<float> behind = spirit->position() - spirit->velocity() * 0.01f;
    EXPECT_NEAR(spirit->emitter()->position().x, behind.x, 1e-2f) << "the emitter follows, a step behind";
    EXPECT_NEAR(spirit->emitter()->position().y, behind.y, 1e-2f);
}

TEST(Spirit, ReversesItsTurnAtRandomIntervalsBelowThePeriod)
{
    SpiritField f;
    f.add("red", {100, 100});
    Spirit* spirit = f.add_spirit("drifting", {500, 400});
    for (int seed = 1; seed <= 20; ++seed) {
        const float before = spirit->rotate_speed();
        const int left = spirit->rotate_timer();
        if (left > 1) {
            spirit->update(left - 1);
            EXPECT_EQ(spirit->rotate_speed(), before) << "no reversal while time is left";
        }
        random_seed(std::uint32_t(seed));
        const int r = random_next() % 32768;
        random_seed(std::uint32_t(seed));
        spirit->update(left > 1 ? 1 : left);
        EXPECT_EQ(spirit->rotate_speed(), -before);
        EXPECT_EQ(spirit->rotate_timer(), r * 1000 / 32768) << seed;
        EXPECT_GE(spirit->rotate_timer(), 0);
        EXPECT_LE(spirit->rotate_timer(), 999);
    }
}

TEST(Spirit, AStillSpiritStaysStillAndNoneTurnsIntoNonsense)
{
    SpiritField f;
    f.add("red", {100, 100});
    Spirit* still = f.add_spirit("still", {300, 300});
    Spirit* stopped = f.add_spirit("drifting", {600, 300});
    test::LogCapture log;
    EXPECT_EQ(still->velocity(), (Vector2<float>{}));
    still->apply_central_impulse({500, 300});
    stopped->set_velocity({0, 0});
    still->update(16);
    stopped->update(16);
    for (Spirit* spirit : {still, stopped})
        EXPECT_EQ(spirit->velocity(), (Vector2<float>{})) << "stands whatever hits it";
    f.run(200);
    EXPECT_EQ(stopped->position(), (Vector2<float>{600, 300})) << "a spirit stopped dead has no direction";
    EXPECT_TRUE(is_finite(still->position()));
    EXPECT_TRUE(is_finite(stopped->velocity()));
    EXPECT_EQ(log.text("error").find("Physics:"), std::string::npos) << "nothing unusable reached the world";
}

TEST(Spirit, BurstsOnAPieceOfItsGenAndIgnoresOthers)
{
    struct Case
    {
        const char* kind;
        bool bursts;
    };
    for (const Case& c : {Case{"red", true}, Case{"green", true}, Case{"blue", false}}) {
        SCOPED_TRACE(c.kind);
        SpiritField f;
        f.add("red", {900, 700});  // kin keeping the spirit on the field
        Spirit* spirit = f.add_spirit("still", {400, 300});
        const SharedPtr<Item> held(spirit);
        Vimu* piece = f.add(c.kind, {300, 300});
        piece->strike({2000, 0}, piece->position());
        const Color colour = piece->color();
        for (int t = 0; t < 300 && !spirit->is_dead(); t += 10)
            f.field.update(10);

        EXPECT_EQ(spirit->is_dead(), c.bursts);
        EXPECT_EQ(piece->is_ignited(), c.bursts) << "the piece catches fire from it";
        Sprite* burst = nullptr;
        f.field.effect_layer().for_each_child([&burst](Sprite* s) { burst = s; }, false);
        ASSERT_EQ(burst != nullptr, c.bursts);
        if (c.bursts) {
            EXPECT_EQ(burst->color(), colour);
            EXPECT_EQ(spirit->emitter()->parent_sprite(), nullptr) << "its emitter leaves with it";
        } else {
            EXPECT_LT(piece->velocity().x, 0.0f) << "bounced off";
            EXPECT_EQ(spirit->emitter()->parent_sprite(), &f.field.layer(0));
        }
    }
}

TEST(Spirit, LeavesQuietlyWithItsLastKin)
{
    SpiritField f;
    Vimu* last = f.add("red", {100, 100});
    f.add("blue", {100, 600});
    Spirit* spirit = f.add_spirit("drifting", {500, 400});
    const SharedPtr<Item> held(spirit);
    f.field.update(10);
    EXPECT_FALSE(spirit->is_dead());

    last->remove();
    f.field.update(10);
    EXPECT_FALSE(spirit->is_dead()) << "its kin leaves at the end of the frame";
    f.field.update(10);
    EXPECT_TRUE(spirit->is_dead());
    EXPECT_EQ(f.field.items().size(), 1u) << "gone in the next frame";
    EXPECT_TRUE(f.field.effect_layer().children().empty()) << "without a burst";
}

}
}
