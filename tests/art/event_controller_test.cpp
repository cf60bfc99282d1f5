#include "engine/art/event_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "art_test_support.h"
#include "controller_test_support.h"
#include "engine/base/clone.h"
#include "engine/base/random.h"
#include "key_test_support.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

// A sprite with a logic and an event controller with the events 10 at 0, 20 at 0.5 and 30
// at 1; `at` answers the values posted by one update.
struct EventRig
{
    explicit EventRig(SpriteTimer::Cyclic cyclic) : rig(1000, cyclic)
    {
        logic = new SpriteLogic;
        logic->state_fields().push_back({StrCache("event"), 6, {}, 0});
        rig.sprite->set_logic(logic);
        events.set_key(0.0f, KeyArray::of_int(10));
        events.set_key(0.5f, KeyArray::of_int(20));
        events.set_key(1.0f, KeyArray::of_int(30));
        logic->on_set_state().connect(
            [this](SpriteBase* sprite, StrCache name, std::int32_t value) {
                posted.push_back(value);
                EXPECT_EQ(sprite, rig.sprite.get());
                EXPECT_EQ(name, StrCache("event"));
            },
            this);
    }
    ~EventRig() { logic->on_set_state().disconnect(this); }

    std::vector<int> at(std::int32_t time)
    {
        posted.clear();
        rig.at(time);
        return posted;
    }

    ControllerRig rig;
    SpriteLogic* logic = nullptr;
    EventController& events = rig.attach(new EventController);
    std::vector<int> posted;
};

struct Step
{
    std::int32_t time;
    std::vector<int> posted;
};

}

TEST(EventController, LoopingTimerPostsEachEventOncePerCycle)
{
    EventRig f(SpriteTimer::Cyclic::loop);
    const Step steps[] = {
        {0, {10}},        // the first update passes the key at 0
        {300, {}},
        {500, {20}},
        {900, {}},
        {1100, {10, 30}},  // wrap from 0.9 to 0.1
        {1500, {20}},
        {1900, {}},
        {2050, {10, 30}},
    };
    for (const Step& s : steps)
        EXPECT_EQ(f.at(s.time), s.posted) << s.time;
    EXPECT_EQ(f.rig.sprite->state(), 30u) << "the state field takes the last value posted";
}

TEST(EventController, PingPongTimerPostsOnTheWayBackToo)
{
    EventRig f(SpriteTimer::Cyclic::pingpong);
    const Step steps[] = {
        {0, {10}},
        {500, {20}},
        {950, {}},
        {1100, {30}},  // turned at 1: seen as 0.95 to 0.9
        {1500, {20}},  // backward from 0.9 to 0.5
        {1950, {}},
        {2100, {10}},  // turned at 0: 0.05 to 0.1
        {2500, {20}},
    };
    for (const Step& s : steps)
        EXPECT_EQ(f.at(s.time), s.posted) << s.time;
    EXPECT_FALSE(f.events.passage().is_backward());
}

TEST(EventController, RandomStartSkipsTheKeysBeforeIt)
{
    random_seed(3);
    EventRig f(SpriteTimer::Cyclic::loop);
    f.rig.sprite->timer()->set_random_start(true);
    EXPECT_EQ(f.at(0), std::vector<int>{});
    const float first = f.rig.sprite->timer()->coefficient();
    ASSERT_GT(first, 0.0f);
    ASSERT_LT(first, 0.5f);
    EXPECT_EQ(f.at(static_cast<std::int32_t>((0.6f - first) * 1000)), std::vector<int>{20});
}

TEST(EventController, NothingIsPostedWithoutATimerLogicOrEvents)
{
    EventController alone;
    alone.set_key(0.0f, KeyArray::of_int(1));
    alone.start();
    alone.apply();
    EXPECT_TRUE(alone.passage().is_unseen());

    ControllerRig rig;  // a sprite without a logic
    auto& events = rig.attach(new EventController);
    events.set_key(0.0f, KeyArray::of_int(1));
    rig.at(0);
    EXPECT_TRUE(events.passage().is_unseen());
}

TEST(EventController, KeyEditing)
{
    EventController events;
    events.set_key(0.25f, KeyArray::of_int(4));
    events.set_key(0.5f, float_key({7}));
    events.set_key(0.75f, KeyArray());
    EXPECT_EQ(events.events(), (std::map<float, std::int32_t>{{0.25f, 4}})) << "only int arrays set keys";
    events.set_key(0.75f, KeyArray::of_int(8));
    events.move_key(0.25f, 0.0f);
    events.move_key(0.3f, 0.9f);
    events.erase_key(0.6f);
    std::set<float> times;
    events.key_times(times);
    EXPECT_EQ(times, (std::set<float>{0.0f, 0.75f}));
    std::map<float, KeyArray> keys;
    events.keys(keys);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_TRUE(keys.at(0.75f).holds(type_name<int>()));
    EXPECT_EQ(*static_cast<const int*>(keys.at(0.75f).element(0)), 8);
    EXPECT_EQ(events.nearest_key_time(0.375f), 0.0f);
    KeyArray value;
    events.value_at(0.6f, value);
    EXPECT_EQ(*static_cast<const int*>(value.element(0)), 8);

    SharedPtr<EventController> copy(rtti::clone(&events));
    EXPECT_EQ(copy->events(), events.events());
    EXPECT_EQ(copy->event_name(), StrCache("event"));
    events.clear_keys();
    EXPECT_EQ(events.has_keys(), 0);
    EXPECT_EQ(events.nearest_key_time(0.5f), -1.0f);
    EXPECT_EQ(copy->has_keys(), 1);
}

TEST(EventController, BinaryAndSkinForms)
{
    EventController source;
    source.set_event_name(StrCache("mode"));
    source.set_key(0.5f, KeyArray::of_int(-2));
    const std::string bytes = own_bytes(source);
    EventController read;
    read.set_key(0.1f, KeyArray::of_int(1));
    load_bytes(read, bytes);
    EXPECT_EQ(read.event_name(), StrCache("mode"));
    EXPECT_EQ(read.events(), (std::map<float, std::int32_t>{{0.5f, -2}}));

    const std::string header = bytes.substr(0, bytes.size() - 12);
    const struct Damage {
        std::string bytes;
        const char* message;
    } damaged[] = {
        {u8(1) + bytes.substr(1), "unsupported version."},
        {u8(0) + u8(2) + bytes.substr(2), "unsupported version."},
        {header + le32(100) + le32(0), "unexpected end of buffer."},
        {bytes.substr(0, bytes.size() - 1), "unexpected end of buffer."},
    };
    for (const Damage& d : damaged) {
        EventController broken;
        EXPECT_THAT(error_of([&] { load_bytes(broken, d.bytes); }), HasSubstr(d.message));
    }

    TestSkinEnvironment skin(R"(
        ev "class kq::EventController" {
            state_mask 0 state_value 0 momentary false fleeting false
            event_name "phase" events [{0, 1 0.5, 10h 0.5, 3}]
        }
    )");
    EventController skinned;
    skinned.read_skin(SkinPath("ev"));
    EXPECT_EQ(skinned.event_name(), StrCache("phase"));
    EXPECT_EQ(skinned.events(), (std::map<float, std::int32_t>{{0.0f, 1}, {0.5f, 3}}));
}

}
