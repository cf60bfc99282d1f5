#include <gtest/gtest.h>

#include <string>

#include "engine/art/emitter_sprite.h"
#include "engine/art/sprite_timer.h"
#include "engine/art/time_stamp.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_prototypes.h"
#include "game/field/effects/curve_particle_effect.h"
#include "game/field/effects/powerup_add_effect.h"
#include "tests/res/test_skin_environment.h"

namespace kq {
namespace {

TimeStamp at(std::int32_t time)
{
    return TimeStamp{TimeStamp::millisecond_clock, time, nullptr};
}

SpriteTimer* timer_of(std::int32_t period)
{
    auto* timer = new SpriteTimer;
    timer->set_period(period);
    return timer;
}

// A line of length 20 from (0, 0) to (20, 0).
void give_line(CurveParticleEffect& effect)
{
    effect.target().set_segments({{{0, 0}, {20.0f / 3, 0}, {40.0f / 3, 0}, {20, 0}}});
}

Vector2<float> goal(CurveParticleEffect& effect, std::int32_t key)
{
    Vector2<float> out;
    effect.target().target_point(key, out);
    return out;
}

TEST(CurveParticleEffect, HandsItsTargetToDirectEmittersOnly)
{
    SharedPtr<CurveParticleEffect> effect(new CurveParticleEffect);
    SharedPtr<EmitterSprite> child(new EmitterSprite);
    SharedPtr<Sprite> holder(new Sprite);
    SharedPtr<EmitterSprite> grandchild(new EmitterSprite);
    effect->add_child(child);
    effect->add_child(holder);
    holder->add_child(grandchild);

    effect->tick(at(0));
    EXPECT_EQ(child->target().lock(), effect->target().self().lock());
    EXPECT_TRUE(grandchild->target().expired()) << "a grandchild keeps its own target";

    const auto handle = effect->target().self();
    effect = SharedPtr<CurveParticleEffect>();
    EXPECT_TRUE(handle.expired()) << "the target dies with its effect";
}

TEST(CurveParticleEffect, FinishesOnceWhenItsTimerRunsOutAndClonesHaveNoHandlers)
{
    SharedPtr<CurveParticleEffect> effect(new CurveParticleEffect);
    effect->set_timer(timer_of(1000));
    give_line(*effect);
    int finishes = 0;
    effect->on_finish().connect([&finishes] { ++finishes; }, &finishes);

    for (std::int32_t time : {0, 500, 1000})
        effect->tick(at(time));
    EXPECT_EQ(finishes, 0) << "not before the timer has run out";
    for (std::int32_t time : {1001, 1500, 3000})
        effect->tick(at(time));
    EXPECT_EQ(finishes, 1);
    EXPECT_TRUE(effect->has_finished());

    SharedPtr<CurveParticleEffect> copy(new CurveParticleEffect(*effect));
    EXPECT_EQ(copy->target().total_length(), 20.0f) << "the curves are copied";
    copy->tick(at(0));
    copy->tick(at(2000));
    EXPECT_EQ(finishes, 1) << "the copy's signal has no handlers";
    EXPECT_TRUE(copy->has_finished());
}

TEST(PowerupAddEffect, PlacementFollowsThePhase)
{
    const float turn = 6.2831853f;
    const struct Case {
        float p, x, y, scale, angle;
    } cases[] = {
        {0.0f, 512, 384, 24, turn}, {0.1f, 512, 384, 24, turn}, {0.35f, 512, 384, 19.5f, turn / 2},
        {0.6f, 512, 384, 15, 0},    {0.605f, 512, 384, 15, 0},  {1.0f, 512, 0, 0.01f, 0},
    };
    for (const Case& c : cases) {
        const CurvePlacement placement = powerup_add_placement(c.p);
        EXPECT_NEAR(placement.centre.x, c.x, 0.01f) << c.p;
        EXPECT_NEAR(placement.centre.y, c.y, 0.05f) << c.p;
        EXPECT_NEAR(placement.scale, c.scale, 0.001f) << c.p;
        EXPECT_NEAR(placement.angle, c.angle, 1e-4f) << c.p;
    }
}

TEST(PowerupAddEffect, CurvesFlyToTheTopEdgeAndTheEffectFinishes)
{
    SharedPtr<PowerupAddEffect> effect(new PowerupAddEffect);
    effect->set_timer(timer_of(1000));
    give_line(*effect);
    int finishes = 0;
    effect->on_finish().connect([&finishes] { ++finishes; }, &finishes);

    effect->tick(at(0));
    const Vector2<float> start = goal(*effect, 10000);  // the line's middle, (10, 0)
    EXPECT_NEAR(start.x, 512 + 240, 0.05f) << "24 times its size about the centre";
    EXPECT_NEAR(start.y, 384, 0.05f);

    effect->tick(at(350));  // half a turn, scale 19.5
    const Vector2<float> turned = goal(*effect, 10000);
    EXPECT_NEAR(turned.x, 512 - 195, 0.1f);
    EXPECT_NEAR(turned.y, 384, 0.1f);

    effect->tick(at(1000));
    const Vector2<float> end = goal(*effect, 10000);
    EXPECT_NEAR(end.x, 512 + 0.1f, 0.01f) << "shrunk to almost nothing";
    EXPECT_NEAR(end.y, 0, 0.05f) << "at the top edge";
    EXPECT_EQ(finishes, 0);
    effect->tick(at(1010));
    EXPECT_EQ(finishes, 1);
}

TEST(PowerupAddEffect, WithoutAnyTimerItNeverMovesItsCurvesNorFinishes)
{
    SharedPtr<PowerupAddEffect> effect(new PowerupAddEffect);
    give_line(*effect);
    int finishes = 0;
    effect->on_finish().connect([&finishes] { ++finishes; }, &finishes);
    for (std::int32_t time : {0, 1000, 100000})
        effect->tick(at(time));
    EXPECT_FALSE(effect->target().transform_in_use());
    EXPECT_EQ(finishes, 0);
}

TEST(PowerupAddEffect, IsMadeByNameAndReadsItsCurvesFromTheSkin)
{
    test::TestSkinEnvironment skin(R"(
        sprite_keys { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(80, 16)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 96 }
        gain "class kq::PowerupAddEffect" : sprite_keys {
            target { curves [{ ((0, 0), (1, 0), (2, 0), (3, 0)) }] ai_curves "0 0 m 0 4 l" }
        }
    )");
    SharedPtr<Sprite> made(create_from_skin<Sprite>(SkinPath("gain")));
    auto* effect = dynamic_cast<PowerupAddEffect*>(made.get());
    ASSERT_NE(effect, nullptr);
    EXPECT_FLOAT_EQ(effect->target().total_length(), 7.0f);
}

}
}
