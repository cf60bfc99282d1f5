#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "art_test_support.h"
#include "controller_test_support.h"
#include "engine/art/interpolate_controller.h"
#include "engine/base/clone.h"
#include "engine/base/random.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

namespace {

constexpr float pi = 3.1415927f;

std::vector<float> rgba(const Sprite& sprite)
{
    const Color& c = sprite.color();
    return {c.r, c.g, c.b, c.a};
}

std::vector<float> scale(const Sprite& sprite)
{
    return {sprite.scale().x, sprite.scale().y};
}

std::vector<float> position(const Sprite& sprite)
{
    return {sprite.position().x, sprite.position().y};
}

template <class C, class T>
C* blending(T from, T to)
{
    auto* controller = new C;
    controller->set_start_value(from);
    controller->set_end_value(to);
    return controller;
}

// The random draws the generator gives after `seed`, in order.
std::vector<int> draws_after(std::uint32_t seed, int count)
{
    random_seed(seed);
    std::vector<int> draws;
    for (int i = 0; i < count; ++i)
        draws.push_back(random_next());
    return draws;
}

}

TEST(InterpolateController, EachKindPutsTheBlendAtCoefficientsZeroHalfAndOne)
{
    const struct Case {
        const char* name;
        std::function<SpriteController*()> make;
        std::function<std::vector<float>(const Sprite&)> read;
        std::vector<float> at[3];  // at 0, 500 and 1000 ms of a 1000 ms linear timer
    } cases[] = {
        {"alpha keeps rgb", [] { return blending<AlphaController>(0.2f, 0.8f); }, rgba,
         {{0.1f, 0.2f, 0.3f, 0.2f}, {0.1f, 0.2f, 0.3f, 0.5f}, {0.1f, 0.2f, 0.3f, 0.8f}}},
        {"scale floors zero", [] { return blending<ScaleController>(0.0f, 2.0f); }, scale,
         {{0.001f, 0.001f}, {1, 1}, {2, 2}}},
        {"colour sets all four", [] { return blending<ColorController>(Color{0, 0, 0, 0}, Color{1, 0.5f, 0.25f, 1}); },
         rgba, {{0, 0, 0, 0}, {0.5f, 0.25f, 0.125f, 0.5f}, {1, 0.5f, 0.25f, 1}}},
        {"colour3 keeps alpha", [] { return blending<Color3Controller>(Color3{1, 1, 1}, Color3{0, 0.5f, 1}); }, rgba,
         {{1, 1, 1, 0.9f}, {0.5f, 0.75f, 1, 0.9f}, {0, 0.5f, 1, 0.9f}}},
        {"shift adds its offset", [] { return blending<ShiftController>(Vector2<float>{0, 0}, Vector2<float>{100, -20}); },
         position, {{10, 10}, {60, 0}, {110, -10}}},
    };
    for (const Case& c : cases) {
        ControllerRig rig;
        rig.sprite->set_position(Vector2<float>{10, 10});
        rig.sprite->set_color({0.1f, 0.2f, 0.3f, 0.9f});
        rig.attach(c.make());
        const std::int32_t times[] = {0, 500, 1000};
        for (int i = 0; i < 3; ++i) {
            rig.at(times[i]);
            const std::vector<float> seen = c.read(*rig.sprite);
            ASSERT_EQ(seen.size(), c.at[i].size()) << c.name;
            for (std::size_t k = 0; k < seen.size(); ++k)
                EXPECT_NEAR(seen[k], c.at[i][k], 1e-5f) << c.name << " at " << times[i] << " component " << k;
        }
    }
}

TEST(InterpolateController, WithoutAnyTimerTheSpriteIsLeftAlone)
{
    SharedPtr<Sprite> sprite(new Sprite);
    sprite->set_position(Vector2<float>{5, 5});
    auto* shift = blending<ShiftController>(Vector2<float>{7, 7}, Vector2<float>{9, 9});
    auto* alpha = blending<AlphaController>(0.0f, 0.0f);
    sprite->add_controller(SharedPtr<SpriteBase>(shift));
    sprite->add_controller(SharedPtr<SpriteBase>(alpha));
    for (std::int32_t t : {0, 100, 200})
        sprite->tick(TimeStamp{TimeStamp::millisecond_clock, t, nullptr});
    EXPECT_TRUE(alpha->is_started());
    EXPECT_EQ(sprite->position(), (Vector2<float>{5, 5}));
    EXPECT_EQ(sprite->color().a, 1.0f);
}

TEST(InterpolateController, SpinTurnsBySpeedTimesStepAndStaysFolded)
{
    const struct Case {
        float rotation;
        float speed;
        std::int32_t step;
        float expected;
    } cases[] = {
        {0.0f, pi, 500, pi / 2},
        {3.0f, pi, 500, 3.0f + pi / 2 - 2 * pi},
        {-3.0f, -pi, 500, -3.0f - pi / 2 + 2 * pi},
        {1.0f, pi, 0, 1.0f},
    };
    for (const Case& c : cases) {
        ControllerRig rig(100000);
        rig.sprite->set_rotation(c.rotation);
        rig.attach(blending<SpinController>(c.speed, c.speed));
        rig.at(1000);  // the first step of a timer is 0
        EXPECT_FLOAT_EQ(rig.sprite->rotation(), c.rotation);
        rig.at(1000 + c.step);
        EXPECT_NEAR(rig.sprite->rotation(), c.expected, 1e-5f) << c.rotation << " " << c.step;
        EXPECT_LE(std::fabs(rig.sprite->rotation()), pi + 1e-6f);
    }
}

TEST(InterpolateController, ShiftMovesOnlyByItsOwnChangeAndFallsBackWhenALoopWraps)
{
    ControllerRig rig(1000, SpriteTimer::Cyclic::loop);
    rig.attach(blending<ShiftController>(Vector2<float>{0, 0}, Vector2<float>{100, 0}));
    rig.at(0);
    rig.at(400);
    EXPECT_FLOAT_EQ(rig.sprite->position().x, 40.0f);
    rig.sprite->move_by(Vector2<float>{0, 25});  // another mover
    rig.at(900);
    EXPECT_EQ(rig.sprite->position(), (Vector2<float>{90, 25}));
    rig.at(1100);  // the loop wrapped: the offset falls back to 10
    EXPECT_EQ(rig.sprite->position(), (Vector2<float>{10, 25}));
}

TEST(InterpolateController, VariationDrawsTheBeginAtEveryStart)
{
    // A template kind draws once for all components; the colour kinds once per channel, in
    // channel order.
    const std::vector<int> r = draws_after(1234, 4);
    const auto fraction = [](int draw, float variation) { return float(draw) * variation * (1.0f / 32768.0f); };

    ShiftController shift;
    shift.set_start_value({10, 20});
    shift.set_end_value({30, 60});
    shift.set_variation(0.5f);
    random_seed(1234);
    shift.start();
    const float f = fraction(r[0], 0.5f);
    EXPECT_FLOAT_EQ(shift.begin().x, 10 + 20 * f);
    EXPECT_FLOAT_EQ(shift.begin().y, 20 + 40 * f) << "the begin lies on the segment";

    ColorController color;
    color.set_start_value({0, 0, 0, 0});
    color.set_end_value({1, 1, 1, 1});
    color.set_variation(-1.0f);
    random_seed(1234);
    color.start();
    EXPECT_FLOAT_EQ(color.begin().r, fraction(r[0], -1.0f));
    EXPECT_FLOAT_EQ(color.begin().g, fraction(r[1], -1.0f));
    EXPECT_FLOAT_EQ(color.begin().b, fraction(r[2], -1.0f));
    EXPECT_FLOAT_EQ(color.begin().a, fraction(r[3], -1.0f));
    EXPECT_LE(color.begin().r, 0.0f) << "a negative variation moves away from the end";

    Color3Controller rgb;
    rgb.set_end_value({1, 1, 1});
    rgb.set_variation(1.0f);
    random_seed(1234);
    rgb.start();
    EXPECT_FLOAT_EQ(rgb.begin().b, fraction(r[2], 1.0f));
    EXPECT_EQ(random_next(), r[3]) << "three draws, no more";

    // A restart draws again; variation 0 takes the start value without a draw.
    const Vector2<float> first = shift.begin();
    shift.stop();
    shift.start();
    EXPECT_NE(shift.begin(), first);
    shift.set_variation(0.0f);
    shift.stop();
    shift.start();
    EXPECT_EQ(shift.begin(), (Vector2<float>{10, 20}));
}

TEST(InterpolateController, MomentaryAndFleetingChangeNothingForTheseKinds)
{
    for (const bool momentary : {false, true}) {
        ControllerRig rig;
        auto& alpha = rig.attach(blending<AlphaController>(0.0f, 1.0f));
        alpha.set_momentary(momentary);
        alpha.set_fleeting(true);
        rig.at(0);
        rig.at(750);
        EXPECT_FLOAT_EQ(rig.sprite->color().a, 0.75f) << momentary;
        alpha.stop();
        EXPECT_FLOAT_EQ(rig.sprite->color().a, 0.75f) << momentary;
    }
}

TEST(InterpolateController, SkinAndCopyCarryTheValues)
{
    TestSkinEnvironment skin(R"(
        tint "class kq::Color3Controller" {
            state_mask 0 state_value 0 momentary false fleeting true
            start_value [(0.5, 0.25, 1)] end_value [(0, 0, 0)] variation 0.5
        }
        slide "class kq::ShiftController" {
            state_mask 0 state_value 0 momentary false fleeting false
            start_value [(1, 2)] end_value [(3, 4)] variation 0
        }
        fade "class kq::ColorController" {
            state_mask 0 state_value 0 momentary false fleeting false
            start_value [(1, 1, 1)] end_value [(1, 1, 1, 0)]
        }
    )");
    Color3Controller tint;
    tint.read_skin(SkinPath("tint"));
    EXPECT_EQ(tint.start_value().g, 0.25f);
    EXPECT_EQ(tint.begin().b, 1.0f) << "the begin is the start value after a load";
    EXPECT_EQ(tint.variation(), 0.5f);
    EXPECT_TRUE(tint.is_fleeting());

    ColorController fade;
    EXPECT_NE(error_of([&] { fade.read_skin(SkinPath("fade")); }), "") << "variation is required";

    // A copy has applied no offset: it moves the sprite by its whole value.
    ControllerRig rig;
    auto& slide = rig.attach(new ShiftController);
    slide.read_skin(SkinPath("slide"));
    rig.at(0);
    EXPECT_EQ(slide.applied_offset(), (Vector2<float>{1, 2}));
    SharedPtr<SpriteBase> copy(rtti::clone(static_cast<SpriteBase*>(&slide)));
    auto* copied = dynamic_cast<ShiftController*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->applied_offset(), (Vector2<float>{0, 0}));
    EXPECT_EQ(copied->start_value(), (Vector2<float>{1, 2}));
    EXPECT_EQ(copied->end_value(), (Vector2<float>{3, 4}));
}

}
