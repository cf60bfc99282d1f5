#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "art_test_support.h"
#include "controller_test_support.h"
#include "engine/art/motion_controllers.h"
#include "engine/base/clone.h"
#include "engine/base/random.h"
#include "tests/base/log_capture.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

constexpr float pi = 3.1415927f;

// A target whose point is fixed.
class FixedTarget : public ParticleTarget
{
public:
    explicit FixedTarget(Vector2<float> point) : m_point(point) {}
    std::int32_t next_index() override { return 0; }
    void target_point(std::int32_t, Vector2<float>& out) override { out = m_point; }

private:
    Vector2<float> m_point;
};

SharedPtr<Sprite> named_child(Sprite& parent, const char* name, Vector2<float> position)
{
    SharedPtr<Sprite> child(new Sprite);
    child->set_name(StrCache(name));
    child->set_position(position);
    child->set_inherit(~0u, IF_DEFAULT | IF_TRANSFORMATION);
    parent.add_child(child);
    return child;
}

}

TEST(MoveController, AStepLongerThanFiftyMillisecondsCountsAsFifty)
{
    const struct Case {
        std::int32_t step;
        float moved;
    } cases[] = {{20, 2.0f}, {50, 5.0f}, {51, 5.0f}, {200, 5.0f}, {0, 0.0f}};
    for (const Case& c : cases) {
        ControllerRig rig(100000);
        rig.attach(new MoveController).set_velocity({100, 0});
        rig.at(1000);
        rig.at(1000 + c.step);
        EXPECT_FLOAT_EQ(rig.sprite->position().x, c.moved) << c.step;
    }
}

TEST(MoveController, VelocityChangesBeforeThePositionInEachStep)
{
    ControllerRig rig(100000);
    MoveController& move = rig.attach(new MoveController);
    move.set_acceleration({0, 100});
    for (std::int32_t t = 0; t <= 500; t += 50)
        rig.at(t);
    EXPECT_NEAR(move.velocity().y, 50.0f, 1e-4f);
    EXPECT_NEAR(rig.sprite->position().y, 13.75f, 1e-4f);
    EXPECT_EQ(rig.sprite->position().x, 0.0f);

    // The velocity survives a restart.
    move.stop();
    rig.at(550);
    EXPECT_NEAR(move.velocity().y, 55.0f, 1e-4f);
}

TEST(MoveController, AttractionRadialAndTangentialTermsFollowTheTarget)
{
    const struct Case {
        const char* name;
        Vector2<float> start;
        float radial;
        float tangential;
        std::int32_t period;
        bool target_alive;
        Vector2<float> after;  // after one 50 ms step
    } cases[] = {
        {"pull closes the distance in a period", {100, 0}, 0, 0, 1000, true, {95, 0}},
        {"radial pushes away", {100, 0}, 200, 0, -1, true, {100.5f, 0}},
        {"radial pulls when negative", {0, -100}, -200, 0, -1, true, {0, -99.5f}},
        {"tangential turns across", {100, 0}, 0, 200, -1, true, {100, 0.5f}},
        {"a dead target disables all three", {100, 0}, 200, 200, 1000, false, {100, 0}},
        {"on the point: no direction, no NaN", {0, 0}, 200, 200, 1000, true, {0, 0}},
        {"no term asks for the target", {100, 0}, 0, 0, 0, true, {100, 0}},
    };
    for (const Case& c : cases) {
        ControllerRig rig(100000);
        rig.sprite->set_position(c.start);
        auto target = std::make_unique<FixedTarget>(Vector2<float>{0, 0});
        MoveController& move = rig.attach(new MoveController);
        move.set_radial_acceleration(c.radial);
        move.set_tangential_acceleration(c.tangential);
        move.set_attraction_period(c.period);
        move.set_attraction_target(target->self(), 3);
        if (!c.target_alive)
            target.reset();
        rig.at(0);
        rig.at(50);
        const Vector2<float> at = rig.sprite->position();
        EXPECT_NEAR(at.x, c.after.x, 1e-4f) << c.name;
        EXPECT_NEAR(at.y, c.after.y, 1e-4f) << c.name;
    }
}

TEST(MoveController, TheTargetPointIsComparedWithTheWorldPosition)
{
    ControllerRig rig(100000);
    rig.sprite->set_position(Vector2<float>{50, 0});
    SharedPtr<Sprite> mover = named_child(*rig.sprite, "mover", {50, 0});  // world (100, 0)
    auto* move = new MoveController;
    mover->add_controller(SharedPtr<SpriteBase>(move));
    FixedTarget target({0, 0});
    move->set_attraction_period(1000);
    move->set_attraction_target(target.self(), 0);
    rig.at(0);
    rig.at(50);
    EXPECT_NEAR(mover->position().x, 45.0f, 1e-4f) << "pulled by the world distance of 100";
}

TEST(MoveController, SkinReadsSpeedAndAcceleration)
{
    TestSkinEnvironment skin(R"(
        fly "class kq::MoveController" {
            state_mask 0 state_value 0 momentary false fleeting false speed [(1, -2)] acceleration [(0, 9.5)]
        }
        fall "class kq::MoveController" { state_mask 0 state_value 0 momentary false fleeting false speed [(1, 1)] }
    )");
    MoveController fly;
    fly.read_skin(SkinPath("fly"));
    EXPECT_EQ(fly.velocity(), (Vector2<float>{1, -2}));
    EXPECT_EQ(fly.acceleration(), (Vector2<float>{0, 9.5f}));
    MoveController fall;
    EXPECT_THAT(error_of([&] { fall.read_skin(SkinPath("fall")); }), HasSubstr("node not found ["));
}

TEST(TurnController, TurnsBySpeedOverItsOwnTimersStep)
{
    SharedPtr<Sprite> sprite(new Sprite);
    auto* turn = new TurnController;
    turn->set_speed(pi);
    turn->set_timer(new SpriteTimer);
    sprite->add_controller(SharedPtr<SpriteBase>(turn));
    sprite->tick(TimeStamp{TimeStamp::millisecond_clock, 0, nullptr});
    sprite->tick(TimeStamp{TimeStamp::millisecond_clock, 500, nullptr});
    EXPECT_NEAR(sprite->rotation(), pi / 2, 1e-6f);
    sprite->tick(TimeStamp{TimeStamp::millisecond_clock, 1500, nullptr});
    EXPECT_NEAR(sprite->rotation(), -pi / 2, 1e-5f) << "folded into [-pi, pi]";
}

TEST(ShakeController, WithoutAmplitudeItNeverMoves)
{
    random_seed(7);
    ControllerRig rig(100000);
    rig.sprite->set_position(Vector2<float>{3, 4});
    ShakeController& shake = rig.attach(new ShakeController);
    shake.set_shift_amplitude({0, 0});
    for (std::int32_t t = 0; t <= 300; t += 10)
        rig.at(t);
    EXPECT_EQ(rig.sprite->position(), (Vector2<float>{3, 4}));
    EXPECT_EQ(rig.sprite->rotation(), 0.0f);
}

TEST(ShakeController, StaysWithinItsAmplitudeAndAFleetingStopTakesBackWhatItApplied)
{
    for (const bool fleeting : {false, true}) {
        random_seed(99);
        ControllerRig rig(100000);
        ShakeController& shake = rig.attach(new ShakeController);
        shake.set_fleeting(fleeting);
        shake.set_shift_amplitude({10, 6});
        shake.set_roll_amplitude(0.4f);
        shake.set_period(100);
        Vector2<float> others;  // what other movers did meanwhile
        Vector2<float> before = rig.sprite->position();
        float roll_before = 0.0f;
        bool moved = false;
        for (std::int32_t t = 0; t <= 400; t += 10) {
            rig.at(t);
            const Vector2<float> step = rig.sprite->position() - before;
            // One 10 ms step covers at most a tenth of the amplitude (period 100 ms).
            EXPECT_LE(std::fabs(step.x), 1.0f + 1e-4f) << t;
            EXPECT_LE(std::fabs(step.y), 0.6f + 1e-4f) << t;
            EXPECT_LE(std::fabs(rig.sprite->rotation() - roll_before), 0.04f + 1e-5f) << t;
            EXPECT_LE(std::fabs(shake.current_shift().x), 5.0f) << t;
            EXPECT_LE(std::fabs(shake.current_shift().y), 3.0f) << t;
            EXPECT_LE(std::fabs(shake.current_roll()), 0.2f + 1e-6f) << t;
            moved = moved || step.x != 0.0f;
            rig.sprite->move_by(Vector2<float>{1, 0});
            others = {others.x + 1, others.y};
            before = rig.sprite->position();
            roll_before = rig.sprite->rotation();
        }
        ASSERT_TRUE(moved);
        const Vector2<float> applied = shake.current_shift();
        const float roll = shake.current_roll();
        ASSERT_NE(applied.x, 0.0f);
        shake.stop();
        const Vector2<float> expected = fleeting ? others : Vector2<float>{others.x + applied.x, applied.y};
        EXPECT_NEAR(rig.sprite->position().x, expected.x, 1e-3f) << fleeting;
        EXPECT_NEAR(rig.sprite->position().y, expected.y, 1e-3f) << fleeting;
        EXPECT_NEAR(rig.sprite->rotation(), fleeting ? 0.0f : roll, 1e-5f) << fleeting;
    }
}

TEST(ShakeController, PropertiesClampAndDescribeThemselves)
{
    ShakeController shake;
    const struct SetCase {
        std::int32_t id;
        std::vector<float> set;
        std::vector<float> get;
    } sets[] = {
        {ShakeController::property_period, {0.001f}, {0.01f}},
        {ShakeController::property_period, {0.25f}, {0.25f}},
        {ShakeController::property_shift, {-3, 4}, {0, 4}},
        {ShakeController::property_roll, {-0.5f}, {-0.5f}},
    };
    for (const SetCase& c : sets) {
        std::vector<float> value = c.set;
        shake.property(property_set, c.id, value.data());
        std::vector<float> read(c.get.size(), -99.0f);
        shake.property(property_get, c.id, read.data());
        for (std::size_t i = 0; i < read.size(); ++i)
            EXPECT_FLOAT_EQ(read[i], c.get[i]) << c.id << " " << i;
    }
    shake.property(property_set, ShakeController::property_period, std::vector<float>{0.001f}.data());
    EXPECT_EQ(shake.period(), 10);

    const struct Describe {
        std::int32_t id;
        const char* label;
        std::int32_t count;
    } described[] = {
        {ShakeController::property_period, "Shake Period", 1},
        {ShakeController::property_shift, "Shake Shift", 2},
        {ShakeController::property_roll, "Shake Roll", 1},
    };
    for (const Describe& d : described) {
        std::string label;
        std::int32_t count = 0;
        StrCache type;
        bool exists = false;
        shake.property(property_label, d.id, &label);
        shake.property(property_count, d.id, &count);
        shake.property(property_type, d.id, &type);
        shake.property(property_exists, d.id, &exists);
        EXPECT_EQ(label, d.label);
        EXPECT_EQ(count, d.count) << d.label;
        EXPECT_EQ(type, type_name<float>()) << d.label;
        EXPECT_TRUE(exists) << d.label;
    }

    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> append = [&ids](std::int32_t id) { ids.push_back(id); };
    shake.property(property_list, all_properties, &append);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{10000, 10001, 10002}));

    LogCapture log;
    float unknown = 0;
    shake.property(property_get, 11000, &unknown);
    EXPECT_THAT(log.text("error"), HasSubstr("\nProperty not found.\n"));
}

TEST(ShakeController, BinaryAndSkinFormsKeepTheSettings)
{
    ShakeController source;
    source.set_period(250);
    source.set_shift_amplitude({2, 3});
    source.set_roll_amplitude(0.5f);
    source.set_fleeting(true);
    const std::string bytes = own_bytes(source);
    ShakeController read;
    load_bytes(read, bytes);
    EXPECT_EQ(read.period(), 250);
    EXPECT_EQ(read.shift_amplitude(), (Vector2<float>{2, 3}));
    EXPECT_EQ(read.roll_amplitude(), 0.5f);
    EXPECT_TRUE(read.is_fleeting());

    ShakeController older;
    load_bytes(older, u8(0) + bytes.substr(1));
    EXPECT_EQ(older.period(), 250) << "version 0 holds the same fields";
    const struct Damage {
        std::string bytes;
        const char* message;
    } damaged[] = {
        {u8(2) + bytes.substr(1), "unsupported version."},
        {bytes.substr(0, bytes.size() - 2), "unexpected end of buffer."},
    };
    for (const Damage& d : damaged) {
        ShakeController broken;
        EXPECT_THAT(error_of([&] { load_bytes(broken, d.bytes); }), HasSubstr(d.message));
    }

    TestSkinEnvironment skin(R"(
        quake "class kq::ShakeController" {
            state_mask 0 state_value 0 momentary false fleeting true
            period 40 shift_amplitude [(5, 0)] roll_amplitude 0.1
        }
    )");
    ShakeController quake;
    quake.read_skin(SkinPath("quake"));
    EXPECT_EQ(quake.period(), 40);
    EXPECT_EQ(quake.shift_amplitude(), (Vector2<float>{5, 0}));
    EXPECT_FLOAT_EQ(quake.roll_amplitude(), 0.1f);
}

TEST(SplashController, StretchesByTheSpeedRatioAndTurnsTowardsTheMotion)
{
    const struct Case {
        const char* name;
        float normal_speed;
        Vector2<float> step;  // moved before each tick, ticks 40 ms apart
        float scale_x[3];
        float rotation[3];
    } cases[] = {
        {"at rest", 100, {0, 0}, {1, 1, 1}, {0, 0, 0}},
        {"twice the normal speed", 100, {8, 0}, {1.25f, 1.4375f, 1.578125f}, {0, 0, 0}},
        {"downwards turns by a quarter", 400, {0, 8}, {1, 1, 1}, {pi / 8, 7 * pi / 32, 37 * pi / 128}},
        {"no normal speed: no stretch, still turns", 0, {0, 8}, {1, 1, 1}, {pi / 8, 7 * pi / 32, 37 * pi / 128}},
    };
    for (const Case& c : cases) {
        ControllerRig rig(100000);
        rig.attach(new SplashController).set_normal_speed(c.normal_speed);
        rig.at(0);
        for (int i = 0; i < 3; ++i) {
            rig.sprite->move_by(c.step);
            rig.at(40 * (i + 1));
            EXPECT_TRUE(std::isfinite(rig.sprite->scale().x)) << c.name;
            EXPECT_NEAR(rig.sprite->scale().x, c.scale_x[i], 1e-5f) << c.name << " " << i;
            EXPECT_EQ(rig.sprite->scale().y, 1.0f) << c.name;
            EXPECT_NEAR(rig.sprite->rotation(), c.rotation[i], 1e-5f) << c.name << " " << i;
        }
    }
}

TEST(SplashController, MeasuresAtMostEveryTwentyMilliseconds)
{
    ControllerRig rig(100000);
    rig.attach(new SplashController);
    rig.at(0);
    rig.sprite->move_by(Vector2<float>{8, 0});
    rig.at(20);  // not later than the last measurement + 20: skipped
    EXPECT_EQ(rig.sprite->scale().x, 1.0f);
    rig.at(40);  // the whole 8 units over 40 ms: twice the normal speed
    EXPECT_FLOAT_EQ(rig.sprite->scale().x, 1.25f);
}

TEST(SplashController, PropertiesAndBinaryForm)
{
    SplashController splash;
    float value = 250;
    splash.property(property_set, SplashController::property_normal_speed, &value);
    value = 0.5f;
    splash.property(property_set, SplashController::property_smoothness, &value);
    float read = 0;
    splash.property(property_get, SplashController::property_normal_speed, &read);
    EXPECT_EQ(read, 250.0f);
    std::string label;
    splash.property(property_label, SplashController::property_smoothness, &label);
    EXPECT_EQ(label, "Splash Smoothness");
    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> append = [&ids](std::int32_t id) { ids.push_back(id); };
    splash.property(property_list, all_properties, &append);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{11000, 11001}));

    const std::string bytes = own_bytes(splash);
    SplashController loaded;
    load_bytes(loaded, bytes);
    EXPECT_EQ(loaded.normal_speed(), 250.0f);
    EXPECT_EQ(loaded.smoothness(), 0.5f);
    SplashController broken;
    EXPECT_THAT(error_of([&] { load_bytes(broken, u8(1) + bytes.substr(1)); }), HasSubstr("unsupported version."));
    EXPECT_THAT(error_of([&] { load_bytes(broken, bytes.substr(0, bytes.size() - 1)); }),
                HasSubstr("unexpected end of buffer."));
}

TEST(BeamController, SpansFromTheFirstSpriteToTheSecond)
{
    const struct Case {
        const char* name;
        const char* second;
        Vector2<float> position;
        float rotation;
        Vector2<float> size;
    } cases[] = {
        {"both found", "b", {10, 10}, std::atan2(40.0f, 30.0f), {54, 4}},
        {"second missing keeps rotation and size", "nowhere", {10, 10}, 0.25f, {1, 4}},
    };
    for (const Case& c : cases) {
        ControllerRig rig;
        named_child(*rig.sprite, "a", {10, 10});
        named_child(*rig.sprite, "b", {40, 50});
        SharedPtr<Sprite> beam = named_child(*rig.sprite, "beam", {0, 0});
        beam->set_pivot({2, 0});
        beam->set_size(Vector2<float>{1, 4});
        beam->set_rotation(0.25f);
        auto* control = new BeamController;
        control->set_names(StrCache("a"), StrCache(c.second));
        beam->add_controller(SharedPtr<SpriteBase>(control));
        rig.at(0);
        EXPECT_EQ(beam->position(), c.position) << c.name;
        EXPECT_FLOAT_EQ(beam->rotation(), c.rotation) << c.name;
        EXPECT_EQ(beam->size(), c.size) << c.name;
    }
}

TEST(BeamController, ADeadFirstSpriteEndsTheEffectAndCopiesKeepTheNames)
{
    ControllerRig rig;
    SharedPtr<Sprite> a = named_child(*rig.sprite, "a", {10, 10});
    SharedPtr<Sprite> beam = named_child(*rig.sprite, "beam", {0, 0});
    auto* control = new BeamController;
    control->set_names(StrCache("a"), StrCache("b"));
    beam->add_controller(SharedPtr<SpriteBase>(control));
    rig.at(0);
    EXPECT_EQ(beam->position(), (Vector2<float>{10, 10}));
    rig.sprite->remove_child(a.get());
    a.reset();
    beam->set_position(Vector2<float>{1, 1});
    rig.at(10);
    EXPECT_EQ(beam->position(), (Vector2<float>{1, 1}));

    SharedPtr<SpriteBase> copy(rtti::clone(static_cast<SpriteBase*>(control)));
    auto* copied = dynamic_cast<BeamController*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->first_name(), StrCache("a"));
    EXPECT_EQ(copied->second_name(), StrCache("b"));

    BeamController loose;  // stored alone, without the parent it would otherwise take along
    loose.set_names(StrCache("a"), StrCache("b"));
    const std::string bytes = own_bytes(loose);
    BeamController read;
    load_bytes(read, bytes);
    EXPECT_EQ(read.first_name(), StrCache("a"));
    EXPECT_EQ(read.second_name(), StrCache("b"));
    EXPECT_THAT(error_of([&] { load_bytes(read, u8(1) + bytes.substr(1)); }), HasSubstr("unsupported version."));
}

}
