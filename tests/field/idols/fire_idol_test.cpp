#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/art/interpolate_controller.h"
#include "engine/art/sprite_timer.h"
#include "game/field/idols/fire_idol.h"
#include "tests/field/drawn_quads.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

// Emitters whose particles live 100 ms and grow by a scale controller; a fire idol of them
// with a halo, and sacrificial pieces: red of gen 1, blue of gen 2, each with its kind.
const char* const fire_skin = R"(
    emitter_keys : sprite_keys { emission 0 start_speed_min 0 start_speed_max 0 gravity_min 0
        gravity_max 0 radial_acceleration_min 0 radial_acceleration_max 0
        tangential_acceleration_min 0 tangential_acceleration_max 0 attraction_period 0
        direction 0 direction_relative false spread 0
        particle "class kq::Sprite" : sprite_keys {
            timer { parameter -1 period 100 cyclic none coeff_law linear random_start false period_spread 0 }
            grow <controller> "class kq::ScaleController" { state_mask 0 state_value 0
                momentary false fleeting false start_value 1 end_value 1 variation 0 } } }
    fire_idol_keys { present true sprite : image_keys { } rainbow "" galo : image_keys { size [(10, 10)] }
        left_fire "class kq::EmitterSprite" : emitter_keys { }
        right_fire "class kq::EmitterSprite" : emitter_keys { }
        left_smoke "class kq::EmitterSprite" : emitter_keys { }
        right_smoke "class kq::EmitterSprite" : emitter_keys { } }
    offering {
        red "class kq::Vimu" : piece_keys { gen 1 color [(1, 0, 0)] sacrifice true
            inhand_sprite : image_keys { } }
        blue "class kq::Vimu" : piece_keys { gen 2 color [(0, 0, 1)] sacrifice true
            inhand_sprite : image_keys { } }
    }
    idols {
        scored : fire_idol_keys { fireball_score 7 cloud_score 6 }
        unscored : fire_idol_keys { }
        narrow : fire_idol_keys { fireball_score 1 cloud_score 1 }
    })";

// A field whose fire idol is described at "idols.<kind>".
struct FireField : test::PieceField
{
    explicit FireField(const std::string& kind = "scored")
        : PieceField({}, "fiery : mission_keys { idol <idol> \"class kq::FireIdol\" : idols." + kind + " { } }", "fiery",
                       std::string(fire_skin) + test::floating_text_effect)
    {
    }
    FireIdol& idol() { return dynamic_cast<FireIdol&>(*field.idols().at(0)); }
    // A sacrificial piece of the kind ("red", "blue") at the point.
    Vimu* offer(const char* kind, Vector2<float> point)
    {
        auto* piece = create_from_skin<Vimu>(SkinPath("offering") + kind);
        field.add_item(piece, ItemPlacement{point, 0.0f});
        return piece;
    }
    // Shoots the piece; its death, when `dies`, scores the shot; then the turn ends.
    void shot(Vimu& piece, bool dies)
    {
        const Vector2<float> p = piece.position();
        ASSERT_TRUE(shoot(p, {p.x, p.y + 25.0f}));
        if (dies)
            piece.ignite(nullptr);
        field.end_turn();
    }
    std::vector<EmitterSprite*> fires() { return {idol().left_fire(), idol().right_fire()}; }
    std::vector<EmitterSprite*> smokes() { return {idol().left_smoke(), idol().right_smoke()}; }
    static bool shown(const std::vector<EmitterSprite*>& emitters)
    {
        return std::all_of(emitters.begin(), emitters.end(), [](EmitterSprite* e) { return e->hidden() == 0; });
    }
    static bool hidden(const std::vector<EmitterSprite*>& emitters)
    {
        return std::all_of(emitters.begin(), emitters.end(), [](EmitterSprite* e) { return e->hidden() == 1; });
    }
    int clouds() const
    {
        return int(std::count_if(field.items().begin(), field.items().end(), [](const SharedPtr<Item>& item) {
            return item->skin_path() == SkinPath("items.cloud");
        }));
    }
};

TEST(FireIdol, ReadsItsScoresAndKeepsTheDefaultsOfMissingOnes)
{
    for (const auto& [kind, top, bottom] : {std::tuple{"scored", 7, -6}, {"unscored", 7, -6}, {"narrow", 1, -1}}) {
        FireField f(kind);
        EXPECT_EQ(f.idol().fireball_score(), top) << kind;
        EXPECT_EQ(f.idol().cloud_score(), bottom) << kind;
        EXPECT_EQ(f.idol().fire_level(), 0);
        EXPECT_TRUE(f.hidden(f.fires()) && f.hidden(f.smokes())) << "put on the field hidden";
        EXPECT_EQ(f.idol().left_fire()->parent(), &f.field.effect_layer());
    }
}

TEST(FireIdol, SevenSacrificesOfTheTargetGiveAFireballAndPleaseIt)
{
    FireField f;
    std::vector<Vimu*> reds;
    for (int i = 0; i < 10; ++i)
        reds.push_back(f.offer("red", {100.0f + 80.0f * float(i), 300.0f}));
    f.field.update(10);
    ASSERT_EQ(f.idol().target_gen(), 1);
    EXPECT_EQ(f.game.tips.back().first, "idol_fire");

    for (int level = 1; level <= 6; ++level) {
        f.shot(*reds[std::size_t(level - 1)], true);
        ASSERT_EQ(f.idol().fire_level(), level);
        EXPECT_EQ(f.idol().mood(), IdolMood::normal);
        EXPECT_EQ(f.idol().target_gen(), 1) << "a new target of the only candidates";
        EXPECT_TRUE(f.shown(f.fires()) && f.hidden(f.smokes())) << level;
        const float r = float(level) / 6.0f;
        EmitterSprite& fire = *f.idol().left_fire();
        EXPECT_FLOAT_EQ(fire.emission(), 70.0f * r + 10.0f);
        EXPECT_FLOAT_EQ(fire.settings().start_speed_max, 110.0f * r + 10.0f);
        EXPECT_EQ(fire.particle()->timer()->period(), int((0.1f * r + 0.3f) * 1000.0f));
        EXPECT_FLOAT_EQ(fire.particle()->find_child<ScaleController>()->end_value(), 1.5f * r + 0.5f);
    }
    EXPECT_EQ(f.field.powerups(Powerup::fireball), 0);

    f.shot(*reds[6], true);
    EXPECT_EQ(f.idol().fire_level(), 7);
    EXPECT_EQ(f.field.powerups(Powerup::fireball), 1);
    EXPECT_EQ(f.idol().mood(), IdolMood::good);
    EXPECT_TRUE(f.idol().is_mood_locked());
    EXPECT_EQ(f.idol().target_gen(), -1);
    EXPECT_TRUE(f.hidden(f.fires()) && f.hidden(f.smokes())) << "all four hidden at once";

    f.field.update(10);
    f.shot(*reds[7], false);
    EXPECT_EQ(f.idol().target_gen(), -1) << "no target once pleased";
    EXPECT_EQ(f.idol().fire_level(), 7);
    EXPECT_EQ(f.field.powerups(Powerup::fireball), 1);
}

TEST(FireIdol, ShotsThatMissTheTargetLowerTheLevelAndABadIdolDropsACloud)
{
    FireField f;
    std::vector<Vimu*> reds;
    for (int i = 0; i < 4; ++i)
        reds.push_back(f.offer("red", {100.0f + 80.0f * float(i), 300.0f}));
    Vimu* blue = f.offer("blue", {100.0f, 500.0f});
    f.offer("blue", {200.0f, 500.0f});
    f.field.update(10);
    const int target = f.idol().target_gen();
    ASSERT_NE(target, -1);
    Vimu* other = target == 1 ? blue : reds[0];
    f.shot(*other, true);
    EXPECT_EQ(f.idol().fire_level(), -1) << "a dying piece of another group";
    EXPECT_TRUE(f.hidden(f.fires()) && f.shown(f.smokes()));

    for (int level = -2; level >= -5; --level) {
        f.shot(*reds[1], false);
        EXPECT_EQ(f.idol().fire_level(), level) << "a piece that lives";
        EXPECT_EQ(f.idol().mood(), IdolMood::normal);
        const float r = float(level) / -5.0f;
        EmitterSprite& smoke = *f.idol().right_smoke();
        EXPECT_FLOAT_EQ(smoke.emission(), 6.0f * r + 4.0f);
        EXPECT_FLOAT_EQ(smoke.scale().x, 0.8f * r + 0.2f);
        EXPECT_FLOAT_EQ(smoke.settings().start_speed_max, 50.0f * r + 50.0f);
        EXPECT_EQ(smoke.particle()->timer()->period(), int((0.2f * r + 0.8f) * 1000.0f));
    }
    EXPECT_EQ(f.clouds(), 0);

    // The sixth loss makes it bad at the end of the shot; the turn's end drops the cloud.
    f.shot(*reds[1], false);
    EXPECT_EQ(f.clouds(), 1);
    const Item& cloud = *f.field.items().back();
    EXPECT_EQ(cloud.skin_path(), SkinPath("items.cloud"));
    EXPECT_NEAR(cloud.position().x, 79.0f, 1e-3f);
    EXPECT_NEAR(cloud.position().y, 86.0f, 1e-3f);
    EXPECT_EQ(f.idol().fire_level(), 0);
    EXPECT_EQ(f.idol().mood(), IdolMood::normal);
    EXPECT_TRUE(f.hidden(f.fires()) && f.hidden(f.smokes()));
    f.field.end_turn();
    EXPECT_EQ(f.clouds(), 1) << "a normal idol drops nothing";
}

TEST(FireIdol, TheLevelStopsAtItsLimitsWithoutTouchingTheEmitters)
{
    FireField f;
    f.idol().change_fire(-10);
    EXPECT_EQ(f.idol().fire_level(), -6);
    EXPECT_EQ(f.idol().mood(), IdolMood::bad);
    f.idol().left_smoke()->set_emission(999.0f);
    f.idol().change_fire(-1);
    EXPECT_EQ(f.idol().fire_level(), -6);
    EXPECT_FLOAT_EQ(f.idol().left_smoke()->emission(), 999.0f);
    f.field.end_turn();
    EXPECT_EQ(f.clouds(), 1);
    EXPECT_EQ(f.idol().fire_level(), 0);
    EXPECT_EQ(f.idol().mood(), IdolMood::normal);
}

TEST(FireIdol, LimitsOneStepFromZeroSizeTheirEmittersInFull)
{
    FireField f("narrow");
    f.idol().change_fire(-1);
    EXPECT_EQ(f.idol().mood(), IdolMood::bad);
    for (EmitterSprite* smoke : f.smokes()) {
        EXPECT_EQ(smoke->hidden(), 0);
        EXPECT_FLOAT_EQ(smoke->emission(), 10.0f);
        EXPECT_FLOAT_EQ(smoke->scale().x, 1.0f);
        EXPECT_EQ(smoke->particle()->timer()->period(), 1000);
        EXPECT_FLOAT_EQ(smoke->particle()->find_child<ScaleController>()->end_value(), 4.0f);
    }
    f.field.end_turn();
    f.idol().change_fire(+1);
    EXPECT_EQ(f.idol().mood(), IdolMood::good);
    EXPECT_EQ(f.field.powerups(Powerup::fireball), 1);
    EXPECT_TRUE(f.hidden(f.fires()) && f.hidden(f.smokes()));
}

TEST(FireIdol, WithoutSacrificesThereIsNeverATarget)
{
    FireField f;
    Vimu* red = f.add("red", {200, 300});
    f.add("red", {300, 300});
    f.field.update(10);
    EXPECT_EQ(f.idol().target_gen(), -1);
    f.shot(*red, true);
    f.field.update(10);
    EXPECT_EQ(f.idol().fire_level(), 0);
    EXPECT_TRUE(f.idol().glows().empty());
}

TEST(FireIdol, ANewTargetsHaloFadesInAsTheOldOneFadesOut)
{
    FireField f;
    Vimu* reds[] = {f.offer("red", {100, 300}), f.offer("red", {300, 300})};
    Vimu* blues[] = {f.offer("blue", {100, 600}), f.offer("blue", {300, 600})};
    f.field.update(10);
    const int first = f.idol().target_gen();
    ASSERT_NE(first, -1);
    EXPECT_NEAR(f.idol().glows().at(first).a, 10.0f / 600.0f, 1e-5f);
    f.field.update(600);
    EXPECT_FLOAT_EQ(f.idol().glows().at(first).a, 1.0f);

    // The halo shows over the target's pieces in the group's colour, not over others.
    Vimu* target = first == 1 ? reds[0] : blues[0];
    Vimu* other = first == 1 ? blues[0] : reds[0];
    const Color& colour = f.idol().glows().at(first);
    test::RecordingArtist artist;
    artist.begin_scene();
    const auto halos = [&](Vimu* piece) {
        piece->draw(1, artist);
        const auto quads = test::drawn_quads(artist);
        return std::count_if(quads.begin(), quads.end(), [&](const test::DrawnQuad& q) {
            return std::fabs(q.channel(0, 2) - colour.r) < 0.01f && std::fabs(q.channel(0, 0) - colour.b) < 0.01f &&
                   q.channel(0, 1) < 0.01f && q.alpha(0) > 0.99f;
        });
    };
    EXPECT_EQ(halos(target), 1);
    EXPECT_EQ(halos(other), 0);

    target->ignite(nullptr);
    f.field.update(10);
    const int second = f.idol().target_gen();
    EXPECT_NE(second, first) << "a group of one piece is no target";
    EXPECT_NEAR(f.idol().glows().at(first).a, 1.0f - 10.0f / 600.0f, 1e-5f);
    EXPECT_NEAR(f.idol().glows().at(second).a, 10.0f / 600.0f, 1e-5f);
    f.field.update(590);
    EXPECT_FLOAT_EQ(f.idol().glows().at(first).a, 0.0f);
    EXPECT_FLOAT_EQ(f.idol().glows().at(second).a, 1.0f);
}

}
}
