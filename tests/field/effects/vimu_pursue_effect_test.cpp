#include <gtest/gtest.h>

#include <cmath>

#include "engine/art/sprite_timer.h"
#include "engine/art/time_stamp.h"
#include "game/field/effects/vimu_pursue_effect.h"
#include "game/field/objects/vimu.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

using test::PieceField;

// An effect on a layer whose looping timer drives it, flying to a piece at (300, 300).
class PursueTest : public testing::Test
{
protected:
    PursueTest() : m_layer(new Sprite), m_piece(m_f.add("red", {300, 300}))
    {
        auto* timer = new SpriteTimer;
        timer->set_cyclic(SpriteTimer::Cyclic::loop);
        m_layer->set_timer(timer);
    }

    template <class Effect>
    SharedPtr<Effect> launch(Vector2<float> from, float speed, Vimu* target)
    {
        SharedPtr<Effect> effect(new Effect);
        effect->set_speed(speed);
        effect->set_position(from);
        if (target)
            effect->set_target(WeakPtr<Vimu>(target));
        m_layer->add_child(effect);
        return effect;
    }

    void tick()
    {
        TimeStamp stamp;
        stamp.time = m_time;
        m_layer->tick(stamp);
        m_time += 10;
    }

    PieceField m_f;
    SharedPtr<Sprite> m_layer;
    Vimu* m_piece;
    std::int32_t m_time = 0;
};

TEST_F(PursueTest, FliesAtItsSpeedWithoutOvershootingAndActsOnArrival)
{
    const SharedPtr<BonusBringEffect> effect = launch<BonusBringEffect>({200, 300}, 1000.0f, m_piece);
    effect->set_bonus(int(Bonus::magnetic));
    tick();
    EXPECT_FLOAT_EQ(effect->position().x, 200.0f) << "the timer has only started";
    tick();
    EXPECT_NEAR(effect->position().x, 210.0f, 1e-3f) << "10 ms at 1000 units a second";
    EXPECT_NEAR(effect->rotation(), 0.0f, 1e-5f) << "facing the piece";
    while (effect->position().x < 289.0f && !effect->is_closed())
        tick();
    EXPECT_NEAR(effect->position().x, 290.0f, 1e-3f);
    tick();
    EXPECT_NEAR(effect->position().x, 300.0f, 1e-3f) << "10 units away is not there yet";
    EXPECT_FALSE(effect->is_closed());
    EXPECT_EQ(m_piece->bonus(), -1);
    tick();
    EXPECT_TRUE(effect->is_closed()) << "within 10 units: arrived";
    EXPECT_EQ(m_piece->bonus(), int(Bonus::magnetic));
}

TEST_F(PursueTest, AStepNeverOvershootsThePiece)
{
    const SharedPtr<VimuPursueEffect> effect = launch<VimuPursueEffect>({288, 300}, 3000.0f, m_piece);
    tick();
    tick();
    EXPECT_NEAR(effect->position().x, 300.0f, 1e-3f) << "12 left, a step of 30";
    EXPECT_FALSE(effect->is_closed());
    tick();
    EXPECT_TRUE(effect->is_closed());
}

TEST_F(PursueTest, APieceWithinReachIsReachedAtOnce)
{
    const SharedPtr<SplinterEffect> effect = launch<SplinterEffect>({305, 300}, 1000.0f, m_piece);
    tick();
    EXPECT_TRUE(effect->is_closed());
    EXPECT_FLOAT_EQ(effect->position().x, 305.0f) << "it did not move";
    EXPECT_TRUE(m_piece->has_exploded());
}

TEST_F(PursueTest, WithoutSpeedItWaitsAndAPieceThatGoesEndsItWithoutAction)
{
    const SharedPtr<BonusBringEffect> effect = launch<BonusBringEffect>({200, 300}, 0.0f, m_piece);
    effect->set_bonus(int(Bonus::magnetic));
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_FLOAT_EQ(effect->position().x, 200.0f);
    EXPECT_FALSE(effect->is_closed());
    m_piece->remove();
    tick();
    EXPECT_TRUE(effect->is_closed());
    EXPECT_EQ(m_piece->bonus(), -1);
}

TEST_F(PursueTest, ACopyHasNoTargetAndFinishesAtOnce)
{
    const SharedPtr<BonusBringEffect> effect = launch<BonusBringEffect>({200, 300}, 500.0f, m_piece);
    effect->set_bonus(int(Bonus::spirit));
    SharedPtr<BonusBringEffect> copy(new BonusBringEffect(*effect));
    EXPECT_EQ(copy->speed(), 500.0f);
    EXPECT_EQ(copy->bonus(), int(Bonus::spirit));
    EXPECT_EQ(copy->live_target(), nullptr);
    m_layer->add_child(copy);
    tick();
    EXPECT_TRUE(copy->is_closed());
    EXPECT_FALSE(effect->is_closed());
    EXPECT_EQ(m_piece->bonus(), -1);
}

}
}
