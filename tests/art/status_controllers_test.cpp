#include <gtest/gtest.h>

#include <string>

#include "art_test_support.h"
#include "controller_test_support.h"
#include "engine/art/status_controllers.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

namespace {

// Counts the final hide.
class ClosingSprite : public Sprite
{
public:
    void on_close() override { ++closes; }

    int closes = 0;
};

}

TEST(AlphaKey3Controller, FadesThroughThreeKeys)
{
    const struct Case {
        float keys[3];
        std::int32_t time;  // of a 1000 ms linear timer
        float alpha;
    } cases[] = {
        {{0, 1, 0}, 0, 0.0f},    {{0, 1, 0}, 250, 0.5f},  {{0, 1, 0}, 500, 1.0f},
        {{0, 1, 0}, 750, 0.5f},  {{0, 1, 0}, 1000, 0.0f}, {{0.2f, 0.6f, 1}, 100, 0.28f},
        {{0.2f, 0.6f, 1}, 900, 0.92f},
    };
    for (const Case& c : cases) {
        ControllerRig rig;
        rig.sprite->set_color({0.1f, 0.2f, 0.3f, 0.4f});
        rig.attach(new AlphaKey3Controller).set_keys(c.keys[0], c.keys[1], c.keys[2]);
        rig.at(0);
        rig.at(c.time);
        EXPECT_NEAR(rig.sprite->color().a, c.alpha, 1e-6f) << c.time;
        EXPECT_EQ(rig.sprite->color().r, 0.1f);
        EXPECT_EQ(rig.sprite->color().b, 0.3f);
    }
}

TEST(StatusController, ShowsInsideTheWindowAndClosesForGoodAfterThePeriod)
{
    const struct Step {
        std::int32_t time;
        std::int32_t hidden;  // 0 shown, 1 hidden, 2 closed
    } steps[] = {
        {0, 1}, {100, 1}, {200, 0}, {500, 0}, {800, 0}, {900, 1}, {1000, 1}, {1001, 2}, {1500, 2},
    };
    SharedPtr<ClosingSprite> sprite(new ClosingSprite);
    auto* timer = new SpriteTimer;
    timer->set_period(1000);
    sprite->set_timer(timer);
    auto* status = new StatusController;
    status->set_window(0.2f, 0.8f);
    sprite->add_controller(SharedPtr<SpriteBase>(status));
    for (const Step& s : steps) {
        sprite->tick(TimeStamp{TimeStamp::millisecond_clock, s.time, nullptr});
        EXPECT_EQ(sprite->hidden(), s.hidden) << s.time;
        EXPECT_EQ(sprite->is_visible(), s.hidden == 0) << s.time;
    }
    EXPECT_EQ(sprite->closes, 1) << "the final hide happens once";
}

TEST(StatusController, ALoopingTimerNeverCloses)
{
    ControllerRig rig(1000, SpriteTimer::Cyclic::loop);
    rig.attach(new StatusController).set_window(0.2f, 0.8f);
    const struct Step {
        std::int32_t time;
        std::int32_t hidden;
    } steps[] = {{0, 1}, {500, 0}, {1100, 1}, {2500, 0}, {5900, 1}};
    for (const Step& s : steps) {
        rig.at(s.time);
        EXPECT_EQ(rig.sprite->hidden(), s.hidden) << s.time;
    }
}

TEST(StatusController, AClosedChildLeavesItsParent)
{
    ControllerRig rig(100000);
    SharedPtr<Sprite> child(new Sprite);
    auto* timer = new SpriteTimer;
    timer->set_period(100);
    child->set_timer(timer);
    child->add_controller(SharedPtr<SpriteBase>(new StatusController));
    rig.sprite->add_child(child);
    rig.at(0);
    rig.at(150);
    EXPECT_TRUE(child->is_closed());
    rig.at(160);
    EXPECT_EQ(rig.sprite->children().size(), 0u);
}

TEST(StatusControllers, SkinKeys)
{
    TestSkinEnvironment skin(R"(
        keys "class kq::AlphaKey3Controller" {
            state_mask 0 state_value 0 momentary false fleeting false value0 0.1 value1 0.9 value2 0.3
        }
        window "class kq::StatusController" {
            state_mask 0 state_value 0 momentary false fleeting false start_time_coeff 0.25 end_time_coeff 0.5
        }
        half "class kq::StatusController" { state_mask 0 state_value 0 momentary false fleeting false start_time_coeff 0 }
    )");
    AlphaKey3Controller keys;
    keys.read_skin(SkinPath("keys"));
    EXPECT_EQ(keys.key(0), 0.1f);
    EXPECT_EQ(keys.key(1), 0.9f);
    EXPECT_EQ(keys.key(2), 0.3f);
    StatusController window;
    window.read_skin(SkinPath("window"));
    EXPECT_EQ(window.window_start(), 0.25f);
    EXPECT_EQ(window.window_end(), 0.5f);
    StatusController half;
    EXPECT_NE(error_of([&] { half.read_skin(SkinPath("half")); }), "");
}

}
