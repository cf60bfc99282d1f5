#include "engine/art/key_controller_map.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "art_test_support.h"
#include "controller_test_support.h"
#include "engine/art/image_sprite.h"
#include "engine/base/string_stream.h"
#include "engine/platform/texture.h"
#include "engine/res/res_handle.h"
#include "key_test_support.h"
#include "tests/base/log_capture.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

KeyArray array_of(const std::string& text)
{
    StringStream stream(text);
    KeyArray array;
    array.read_text(stream);
    return array;
}

// A map of the position at 0, 0.5 and 1 on a rig whose timer the test moves by hand.
struct PositionMap
{
    PositionMap()
    {
        map.set_property_id(SP_POSITION);
        map.set_key(0.0f, float_key({0, 0}));
        map.set_key(0.5f, float_key({5, 5}));
        map.set_key(1.0f, float_key({10, 10}));
        rig.attach(&map);
        rig.sprite->timer()->set_cyclic(SpriteTimer::Cyclic::pingpong);
    }

    // The coefficient at `time` (the timer starts at the first) of the ping-pong timer of
    // period 1000, then the position
    // the map leaves; the test marks the position beforehand to see whether it was written.
    Vector2<float> at(std::int32_t time)
    {
        rig.sprite->set_position(Vector2<float>{-1, -1});
        rig.at(time);
        return rig.sprite->position();
    }

    SCKMap& map = *new SCKMap;
    ControllerRig rig;
};

const Vector2<float> untouched{-1, -1};

}

TEST(SCKMap, WritesTheKeyInEffectOnlyWhenItChanges)
{
    PositionMap f;
    const struct Step {
        std::int32_t time;  // ping-pong: 0..1000 forward, then back
        Vector2<float> position;
    } steps[] = {
        {0, {0, 0}},       // start: the key at 0
        {200, untouched},
        {700, {5, 5}},     // past 0.5 once
        {800, untouched},  // still the 0.5 key
        {1000, {10, 10}},  // exactly on the last key
        {1500, {0, 0}},    // back to exactly 0.5: the last key before it
        {1600, untouched},
    };
    for (const Step& s : steps)
        EXPECT_EQ(f.at(s.time), s.position) << s.time;
}

TEST(SCKMap, MovingForwardOntoAKeySelectsIt)
{
    PositionMap f;
    f.at(0);
    f.at(200);
    EXPECT_EQ(f.at(500), (Vector2<float>{5, 5}));
}

TEST(SCKMap, ACoefficientBeforeTheFirstKeySetsNothing)
{
    PositionMap f;
    f.map.erase_key(0.0f);
    EXPECT_EQ(f.at(0), untouched);
    EXPECT_EQ(f.at(400), untouched);
    EXPECT_EQ(f.at(600), (Vector2<float>{5, 5}));
}

TEST(SCKMap, NearestKeyTimeTiesToTheEarlierKey)
{
    SCKMap map;
    EXPECT_EQ(map.nearest_key_time(0.3f), -1.0f);
    map.set_key(0.0f, float_key({1}));
    map.set_key(0.5f, float_key({2}));
    const struct Case {
        float t;
        float nearest;
    } cases[] = {{-1.0f, 0.0f}, {0.25f, 0.0f}, {0.26f, 0.5f}, {0.5f, 0.5f}, {7.0f, 0.5f}};
    for (const Case& c : cases)
        EXPECT_EQ(map.nearest_key_time(c.t), c.nearest) << c.t;
    KeyArray value = float_key({9});
    map.value_at(0.4f, value);
    EXPECT_EQ(value.to_floats()[0], 2.0f);
}

TEST(SCKMap, KeyEditingMovesTheCursorOn)
{
    PositionMap f;
    f.at(0);
    f.at(700);  // the 0.5 key is in effect
    f.map.erase_key(0.5f);
    // The cursor moved on to the key at 1, so 0.75 lies behind it: the last key before it.
    EXPECT_EQ(f.at(750), (Vector2<float>{0, 0}));
    EXPECT_EQ(f.at(1000), (Vector2<float>{10, 10}));
    f.map.move_key(1.0f, 0.25f);
    f.map.move_key(0.25f, 0.25f);
    f.map.move_key(0.9f, 0.3f);
    std::set<float> times;
    f.map.key_times(times);
    EXPECT_EQ(times, (std::set<float>{0.0f, 0.25f}));
    EXPECT_EQ(f.at(1300), (Vector2<float>{10, 10})) << "backward to 0.7: the moved key";
    std::map<float, KeyArray> keys;
    f.map.keys(keys);
    EXPECT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys.at(0.25f).bend, -1.0f);
    f.map.clear_keys();
    EXPECT_EQ(f.map.has_keys(), 0);
    EXPECT_EQ(f.at(1400), untouched);
}

TEST(SCKMap, WritesOnlyValuesOfThePropertysTypeAndCount)
{
    const struct Case {
        const char* key;
        bool written;
    } cases[] = {
        {"float { 3 4 }", true},
        {"float { 3 }", false},
        {"float { 3 4 5 }", false},
        {"int { 3 4 }", false},
        {"\"\" { }", false},
    };
    for (const Case& c : cases) {
        LogCapture log;
        ControllerRig rig;
        auto& map = rig.attach(new SCKMap);
        map.set_property_id(SP_POSITION);
        map.set_key(0.0f, array_of(c.key));
        rig.at(0);
        EXPECT_EQ(rig.sprite->position() == (Vector2<float>{3, 4}), c.written) << c.key;
        EXPECT_EQ(log.text("error").find("Key map skipped property 1000") != std::string::npos, !c.written)
            << c.key;
    }
}

TEST(SCKMap, SwitchesAnImageSpritesTexture)
{
    TestSkinEnvironment skin(R"(
        flip "class kq::SCKMap" {
            state_mask 0 state_value 0 momentary false fleeting false property 2000
            map [{0, texture_resh {"a.png" 0} 0.5, texture_resh {"b.png" 0}}]
        }
    )");
    SharedPtr<ImageSprite> sprite(new ImageSprite);
    auto* timer = new SpriteTimer;
    timer->set_period(1000);
    sprite->set_timer(timer);
    auto* map = new SCKMap;
    map->read_skin(SkinPath("flip"));
    sprite->add_controller(SharedPtr<SpriteBase>(map));
    ASSERT_EQ(map->key_map().size(), 2u);

    const struct Step {
        std::int32_t time;
        const char* texture;
    } steps[] = {{0, "a.png"}, {499, "a.png"}, {500, "b.png"}, {900, "b.png"}};
    for (const Step& s : steps) {
        sprite->tick(TimeStamp{TimeStamp::millisecond_clock, s.time, nullptr});
        EXPECT_EQ(sprite->texture().path(), s.texture) << s.time;
    }

    std::vector<std::string> visited;
    map->visit_handles([&visited](ResHandleBase& handle) { visited.push_back(handle.path()); });
    EXPECT_EQ(visited, (std::vector<std::string>{"a.png", "b.png"}));
}

TEST(SCKMap, SplitComponentTakesOneElementOfEveryKey)
{
    ControllerRig rig;
    auto& map = rig.attach(new SCKMap);
    map.set_property_id(SP_POSITION);
    map.set_key(0.0f, float_key({1, 2}));
    map.set_key(1.0f, float_key({3}));
    EXPECT_FALSE(map.split_component(2));
    const SharedPtr<SCProperty> split = map.split_component(1);
    ASSERT_TRUE(split);
    auto* part = dynamic_cast<SCKMap*>(split.get());
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->parent(), nullptr);
    EXPECT_EQ(part->component(), 1);
    EXPECT_EQ(part->key_map().at(0.0f).to_floats().size(), 1u);
    EXPECT_EQ(part->key_map().at(0.0f).to_floats()[0], 2.0f);
    EXPECT_EQ(part->key_map().at(1.0f).to_floats()[0], 0.0f) << "a missing element gives a default one";
    EXPECT_EQ(map.key_map().at(0.0f).count(), 2u);
}

TEST(SCKMap, BinaryFormRoundTripsAndRefusesDamage)
{
    SCKMap source;
    source.set_property_id(SP_TEXTURE);
    source.set_key(0.0f, array_of("texture_resh {\"a.png\" 3}"));
    source.set_key(0.5f, array_of("float {1 2}"));
    const std::string bytes = own_bytes(source);
    SCKMap read;
    read.set_key(0.7f, float_key({1}));
    load_bytes(read, bytes);
    EXPECT_EQ(read.property_id(), SP_TEXTURE);
    ASSERT_EQ(read.key_map().size(), 2u) << "reading replaces the keys";
    EXPECT_EQ(static_cast<const ResHandle<Texture>*>(read.key_map().at(0.0f).element(0))->key().m_flags, 3);
    EXPECT_EQ(read.key_map().at(0.5f).to_floats()[1], 2.0f);

    SCKMap empty;
    const std::string header = own_bytes(empty).substr(0, own_bytes(empty).size() - 4);
    const struct Damage {
        std::string bytes;
        const char* message;
    } damaged[] = {
        {u8(1) + bytes.substr(1), "unsupported version."},
        {header + le32(1000) + le32(0), "unexpected end of buffer."},
        {header + le32(1) + le32(0x7FC00000) + le32(0) + le32(0), "invalid key time."},
        {bytes.substr(0, bytes.size() - 2), "unexpected end of buffer."},
    };
    for (const Damage& d : damaged) {
        SCKMap broken;
        EXPECT_THAT(error_of([&] { load_bytes(broken, d.bytes); }), HasSubstr(d.message));
    }
}

}
