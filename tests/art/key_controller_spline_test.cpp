#include "engine/art/key_controller_spline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "art_test_support.h"
#include "controller_test_support.h"
#include "engine/art/spline_cubic.h"
#include "engine/art/spline_curve.h"
#include "engine/art/spline_linear.h"
#include "engine/base/clone.h"
#include "engine/base/random.h"
#include "key_test_support.h"
#include "tests/base/log_capture.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

// A spline controller of the property on a fresh rig, keyed (time, values)...
SCKSpline& keyed(ControllerRig& rig, std::int32_t property,
                 std::initializer_list<std::pair<float, std::initializer_list<float>>> keys)
{
    auto& controller = rig.attach(new SCKSpline);
    controller.set_property_id(property);
    for (const auto& [time, values] : keys)
        controller.set_key(time, float_key(values));
    return controller;
}

}

TEST(SCKSpline, AnimatesASpritePropertyAlongTheSpline)
{
    ControllerRig rig;
    keyed(rig, SP_POSITION, {{0.0f, {0, 0}}, {1.0f, {100, 50}}});
    const struct Step {
        std::int32_t time;
        Vector2<float> position;
    } steps[] = {{0, {0, 0}}, {250, {25, 12.5f}}, {500, {50, 25}}, {1000, {100, 50}}, {1500, {100, 50}}};
    for (const Step& s : steps) {
        rig.at(s.time);
        EXPECT_EQ(rig.sprite->position(), s.position) << s.time;
    }
}

TEST(SCKSpline, EmptySplineDoesNothingAndAnswersNoKeys)
{
    ControllerRig rig;
    rig.sprite->set_position(Vector2<float>{3, 4});
    auto& controller = keyed(rig, SP_POSITION, {});
    rig.at(0);
    rig.at(500);
    EXPECT_EQ(rig.sprite->position(), (Vector2<float>{3, 4}));
    EXPECT_EQ(controller.nearest_key_time(0.3f), -1.0f);
    EXPECT_EQ(controller.has_keys(), 0);
}

TEST(SCKSpline, KeysOfOtherLengthsNeverReachPastEitherVector)
{
    // Position has two components; the keys have one and three.
    ControllerRig rig;
    keyed(rig, SP_POSITION, {{0.0f, {2}}, {1.0f, {10, 20, 30}}});
    const struct Step {
        std::int32_t time;
        Vector2<float> position;
    } steps[] = {{0, {2, 0}}, {500, {6, 0}}, {1000, {10, 20}}};
    for (const Step& s : steps) {
        rig.at(s.time);
        EXPECT_EQ(rig.sprite->position(), s.position) << s.time;
    }
}

TEST(SCKSpline, OneComponentLeavesTheOthersAlone)
{
    ControllerRig rig;
    rig.sprite->set_position(Vector2<float>{7, 0});
    auto& controller = keyed(rig, SP_POSITION, {{0.0f, {0}}, {1.0f, {40}}});
    controller.set_component(1);
    rig.at(0);
    rig.at(500);
    EXPECT_EQ(rig.sprite->position(), (Vector2<float>{7, 20}));
    // A component beyond the property (as a damaged file may give) drives nothing.
    controller.set_component(2);
    rig.at(1000);
    EXPECT_EQ(rig.sprite->position(), (Vector2<float>{7, 20}));
}

TEST(SCKSpline, ChaosFactorsScaleTheValueFromStartToFinish)
{
    const struct Case {
        float start;
        float finish;
        bool proportional;
    } cases[] = {{0.0f, 0.0f, true}, {0.3f, 0.0f, true}, {0.3f, 0.0f, false}, {0.0f, 0.5f, false}};
    for (const Case& c : cases) {
        random_seed(7);
        ControllerRig rig;
        auto& controller = keyed(rig, SP_POSITION, {{0.0f, {10, 20}}, {1.0f, {10, 20}}});
        controller.set_chaos(c.start, c.finish);
        controller.set_proportional(c.proportional);
        rig.at(0);
        const VectorD<float>& s = controller.start_factors();
        const VectorD<float>& f = controller.finish_factors();
        ASSERT_EQ(s.size(), 2u);
        ASSERT_EQ(f.size(), 2u);
        const bool chaos = c.start > 0.0f || c.finish > 0.0f;
        for (std::uint32_t i = 0; i < 2; ++i) {
            if (!chaos) {
                EXPECT_EQ(s[i], 0.0f) << "no draw without chaos";
                continue;
            }
            EXPECT_GE(s[i], 1.0f - c.start);
            EXPECT_LT(s[i], 1.0f + c.start + 1e-6f);
            EXPECT_GE(f[i], 1.0f - c.finish);
            EXPECT_LT(f[i], 1.0f + c.finish + 1e-6f);
        }
        if (chaos && c.proportional) {
            EXPECT_EQ(s[0], s[1]) << "one draw for every component";
        }
        if (chaos && !c.proportional && c.start > 0.0f) {
            EXPECT_NE(s[0], s[1]) << "one draw per component";
        }
        const Vector2<float> at_start = rig.sprite->position();
        EXPECT_FLOAT_EQ(at_start.x, chaos ? 10.0f * s[0] : 10.0f) << c.start;
        EXPECT_FLOAT_EQ(at_start.y, chaos ? 20.0f * s[1] : 20.0f) << c.start;
        rig.at(1000);
        EXPECT_FLOAT_EQ(rig.sprite->position().x, chaos ? 10.0f * f[0] : 10.0f);
        if (c.finish == 0.0f) {
            EXPECT_EQ(rig.sprite->position(), (Vector2<float>{10, 20})) << "finish factors of exactly 1";
        }
    }
}

TEST(SCKSpline, AspirationEasesTowardsTheSpline)
{
    ControllerRig rig;
    auto& controller = keyed(rig, SP_ROTATION, {{0.0f, {1}}});
    controller.set_aspiration(500);
    const struct Step {
        std::int32_t time;
        float rotation;
    } steps[] = {{0, 0.0f}, {250, 0.5f}, {375, 0.875f}, {500, 1.0f}, {900, 1.0f}};
    for (const Step& s : steps) {
        rig.at(s.time);
        EXPECT_FLOAT_EQ(rig.sprite->rotation(), s.rotation) << s.time;
    }
}

TEST(SCKSpline, AdditiveModeAddsTheChangeAndTakesItBackOnRestart)
{
    ControllerRig rig;
    rig.sprite->set_rotation(0.25f);
    auto& controller = keyed(rig, SP_ROTATION, {{0.0f, {1}}, {1.0f, {2}}});
    controller.set_additive(true);
    rig.at(0);
    EXPECT_FLOAT_EQ(rig.sprite->rotation(), 1.25f) << "the first apply adds the whole value";
    rig.at(500);
    EXPECT_FLOAT_EQ(rig.sprite->rotation(), 1.75f) << "later ones add the change";
    rig.sprite->set_rotation(rig.sprite->rotation() + 10.0f);  // someone else turns it
    rig.at(1000);
    EXPECT_FLOAT_EQ(rig.sprite->rotation(), 12.25f);
    controller.remove_contribution();
    EXPECT_FLOAT_EQ(rig.sprite->rotation(), 10.25f) << "takes back the 2 it holds applied";
    controller.remove_contribution();
    EXPECT_FLOAT_EQ(rig.sprite->rotation(), 10.25f) << "nothing is held any more";

    rig.at(1000);  // re-applies the whole value, then a restart takes it back first
    controller.stop();
    controller.start();
    EXPECT_FLOAT_EQ(rig.sprite->rotation(), 12.25f);
}

TEST(SCKSpline, APropertyNotOfFloatsIsSkippedAndLogged)
{
    LogCapture log;
    ControllerRig rig;
    keyed(rig, SP_VISIBLE, {{0.0f, {0.3f}}});
    keyed(rig, 4242, {{0.0f, {1}}});
    rig.at(0);
    EXPECT_EQ(rig.sprite->hidden(), 0);
    EXPECT_THAT(log.text("error"), HasSubstr("property 1030: its values are not floats."));
    EXPECT_THAT(log.text("error"), HasSubstr("Property not found."));
}

TEST(SCKSpline, KindSwitchKeepsTheKeys)
{
    SCKSpline controller;
    controller.set_key(0.0f, float_key({1}));
    controller.set_key(1.0f, float_key({3}));
    EXPECT_EQ(controller.spline_type(), SCKSpline::SplineType::linear);
    const SCKSpline::SplineType kinds[] = {SCKSpline::SplineType::curve, SCKSpline::SplineType::cubic,
                                           SCKSpline::SplineType::linear};
    for (const SCKSpline::SplineType kind : kinds) {
        controller.set_spline_type(kind);
        EXPECT_EQ(controller.spline_type(), kind);
        EXPECT_EQ(controller.spline().size(), 2u);
        EXPECT_FLOAT_EQ(controller.spline().value(0.5f)[0], 2.0f);
    }

    LogCapture log;
    controller.set_spline_type(static_cast<SCKSpline::SplineType>(7));
    EXPECT_EQ(controller.spline_type(), SCKSpline::SplineType::linear);
    EXPECT_EQ(controller.spline().size(), 2u);
    EXPECT_THAT(log.text("error"), HasSubstr("Unreachable point reached."));
}

TEST(SCKSpline, KeyEditingFollowsTheSplineKind)
{
    SCKSpline controller;
    controller.set_spline_type(SCKSpline::SplineType::curve);
    controller.set_key(0.0f, float_key({0}, 0.2f));
    controller.set_key(0.5f, float_key({4}));
    controller.set_key(1.0f, float_key({8}, 0.9f));
    std::map<float, KeyArray> keys;
    controller.keys(keys);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys.at(0.0f).bend, 0.2f);
    EXPECT_EQ(keys.at(0.5f).bend, 0.5f) << "a new curve key without a bend gets 0.5";
    EXPECT_EQ(keys.at(1.0f).bend, 0.9f);
    EXPECT_EQ(keys.at(1.0f).type_name(), type_name<float>());

    controller.move_key(0.5f, 0.75f);
    controller.erase_key(0.0f);
    std::set<float> times{-3.0f};
    controller.key_times(times);
    EXPECT_EQ(times, (std::set<float>{-3.0f, 0.75f, 1.0f}));
    EXPECT_EQ(controller.nearest_key_time(0.0f), 0.75f);
    KeyArray value;
    controller.value_at(0.0f, value);
    EXPECT_EQ(value.to_floats()[0], 4.0f);

    SCKSpline linear;
    linear.set_key(0.0f, float_key({1}, 0.2f));
    linear.keys(keys);
    EXPECT_EQ(keys.at(0.0f).bend, -1.0f);
    linear.clear_keys();
    EXPECT_EQ(linear.has_keys(), 0);
}

TEST(SCKSpline, CopiesShareTheSplineUntilOneEditsIt)
{
    ControllerRig rig;
    auto& controller = keyed(rig, SP_POSITION, {{0.0f, {1, 2}}});
    SharedPtr<SCKSpline> copy(rtti::clone(&controller));
    EXPECT_EQ(&copy->spline(), &controller.spline());
    copy->set_key(1.0f, float_key({5, 5}));
    EXPECT_NE(&copy->spline(), &controller.spline());
    EXPECT_EQ(controller.spline().size(), 1u);
    EXPECT_EQ(copy->spline().size(), 2u);
}

TEST(SCKSpline, SplitComponentGivesAParentlessOneComponentCopy)
{
    ControllerRig rig;
    auto& controller = keyed(rig, SP_POSITION, {{0.0f, {1, 2}}, {1.0f, {3}}});
    controller.set_spline_type(SCKSpline::SplineType::curve);
    controller.set_key(1.0f, float_key({3}, 0.8f));
    EXPECT_FALSE(controller.split_component(2)) << "position has two components";
    EXPECT_FALSE(controller.split_component(-1));

    const SharedPtr<SCProperty> split = controller.split_component(1);
    ASSERT_TRUE(split);
    auto* part = dynamic_cast<SCKSpline*>(split.get());
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->parent(), nullptr);
    EXPECT_EQ(part->component(), 1);
    EXPECT_EQ(part->property_id(), SP_POSITION);
    std::map<float, KeyArray> keys;
    part->keys(keys);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys.at(0.0f).to_floats().size(), 1u);
    EXPECT_EQ(keys.at(0.0f).to_floats()[0], 2.0f);
    EXPECT_EQ(keys.at(1.0f).to_floats()[0], 0.0f) << "the key had no second element";
    EXPECT_EQ(keys.at(1.0f).bend, 0.8f) << "curve bends stay";
    EXPECT_EQ(controller.spline().value(0.0f).size(), 2u) << "the source keeps its keys";

    EXPECT_FALSE(SCKSpline().split_component(0)) << "without a parent there are no components";
    const SharedPtr<SCProperty> again = part->split_component(0);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->component(), 1) << "a one-component controller splits into the same component";
}

TEST(SCKSpline, BinaryFormRoundTripsAndReadsOlderVersions)
{
    SCKSpline source;
    source.set_property_id(SP_SCALE);
    source.set_component(1);
    source.set_key(0.25f, float_key({1, 2}));
    source.set_chaos(0.5f, 0.25f);
    source.set_proportional(false);
    source.set_additive(true);
    source.set_aspiration(300);
    const std::string bytes = own_bytes(source);
    SCKSpline read;
    load_bytes(read, bytes);
    EXPECT_EQ(read.property_id(), SP_SCALE);
    EXPECT_EQ(read.component(), 1);
    EXPECT_EQ(read.spline().size(), 1u);
    EXPECT_EQ(read.spline().value(0.0f)[1], 2.0f);
    EXPECT_EQ(read.start_chaos(), 0.5f);
    EXPECT_EQ(read.finish_chaos(), 0.25f);
    EXPECT_FALSE(read.is_proportional());
    EXPECT_TRUE(read.is_additive());
    EXPECT_EQ(read.aspiration(), 300);

    // Older forms, written by hand: the controller form of an untouched controller, the
    // property id, the keys.
    const std::string controller = own_bytes(SpriteController());
    const std::string key_controller = u8(1) + controller;
    const std::string spline = le32(1) + le32(0x3F800000) + le32(1) + le32(0x40400000);  // {1: [3]}
    const std::string settings = le32(0x3E800000) + le32(0) + u8(0);                         // 0.25, 0, false
    const struct Case {
        std::string bytes;
        std::int32_t component;
        float chaos;
        bool additive;
        std::int32_t aspiration;
    } cases[] = {
        {u8(0) + u8(9) + u8(77) + controller + le32(1021) + spline, -1, 0.0f, false, 0},
        {u8(1) + u8(10) + key_controller + le32(1021) + spline + settings, -1, 0.25f, false, 0},
        {u8(2) + u8(11) + key_controller + le32(1021) + le32(0) + spline + settings + u8(1), 0, 0.25f, true, 0},
        {u8(4) + u8(11) + key_controller + le32(1021) + le32(0) + le32(null_ref) + settings + u8(1) + le32(40), 0,
         0.25f, true, 40},
    };
    for (const Case& c : cases) {
        SCKSpline older;
        load_bytes(older, c.bytes);
        EXPECT_EQ(older.property_id(), SP_ALPHA) << c.bytes.size();
        EXPECT_EQ(older.component(), c.component) << c.bytes.size();
        EXPECT_EQ(older.start_chaos(), c.chaos) << c.bytes.size();
        EXPECT_EQ(older.is_additive(), c.additive) << c.bytes.size();
        EXPECT_EQ(older.aspiration(), c.aspiration) << c.bytes.size();
        if (c.aspiration == 0) {
            ASSERT_EQ(older.spline().size(), 1u) << c.bytes.size();
            EXPECT_EQ(older.spline().value(1.0f)[0], 3.0f);
        } else {
            EXPECT_TRUE(older.spline().empty()) << "a stored empty reference gives an empty spline";
        }
    }

    const struct Damage {
        std::string bytes;
        const char* message;
    } damaged[] = {
        {u8(5) + bytes.substr(1), "unsupported version."},
        {u8(4) + u8(12) + bytes.substr(2), "unsupported version."},
        {u8(4) + u8(11) + u8(0) + bytes.substr(3), "unsupported version."},
        {bytes.substr(0, bytes.size() - 1), "unexpected end of buffer."},
    };
    for (const Damage& d : damaged) {
        SCKSpline broken;
        EXPECT_THAT(error_of([&] { load_bytes(broken, d.bytes); }), HasSubstr(d.message));
    }
}

TEST(SCKSpline, SkinNodeGivesTheKindBeforeTheKeys)
{
    TestSkinEnvironment skin(R"(
        fade "class kq::SCKSpline" {
            state_mask 0 state_value 0 momentary false fleeting false property 1021
            start_chaos 0.1 finish_chaos 0.2 proportional false additive true aspiration 250
            spline_type linear spline [{0, {0.25} 1, {0.75}}]
        }
        smooth "class kq::SCKSpline" {
            state_mask 0 state_value 0 momentary false fleeting false property 1021
            start_chaos 0 finish_chaos 0 proportional true additive false aspiration 0
            spline_type cubic spline [{0, {0.25} 1, {0.75}}]
        }
        odd "class kq::SCKSpline" {
            state_mask 0 state_value 0 momentary false fleeting false property 1021
            start_chaos 0 finish_chaos 0 proportional true additive false aspiration 0
            spline_type wavy spline [{}]
        }
    )");
    SCKSpline fade;
    fade.read_skin(SkinPath("fade"));
    EXPECT_EQ(fade.property_id(), SP_ALPHA);
    EXPECT_EQ(fade.start_chaos(), 0.1f);
    EXPECT_EQ(fade.finish_chaos(), 0.2f);
    EXPECT_FALSE(fade.is_proportional());
    EXPECT_TRUE(fade.is_additive());
    EXPECT_EQ(fade.aspiration(), 250);
    EXPECT_EQ(fade.spline().size(), 2u);
    EXPECT_FLOAT_EQ(fade.spline().value(0.5f)[0], 0.5f);

    SCKSpline smooth;
    smooth.read_skin(SkinPath("smooth"));
    EXPECT_EQ(smooth.spline_type(), SCKSpline::SplineType::cubic);
    EXPECT_EQ(smooth.has_keys(), 0) << "only the linear kind reads keys from text";

    SCKSpline odd;
    EXPECT_THAT(error_of([&] { odd.read_skin(SkinPath("odd")); }), HasSubstr("enum string interpretation [wavy]"));
}

}
