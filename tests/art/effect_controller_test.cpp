#include "engine/art/effect_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "art_test_support.h"
#include "controller_test_support.h"
#include "engine/art/event_controller.h"
#include "engine/art/image_sprite.h"
#include "engine/art/interpolate_controller.h"
#include "engine/base/clone.h"
#include "engine/res/res.h"
#include "tests/base/log_capture.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

// A resource manager holding the effect "spark.spr": a sprite named "spark" with a 300 ms
// timer, a child "ember" and an alpha controller.
struct EffectFixture
{
    EffectFixture()
    {
        effect->set_name(StrCache("spark"));
        auto* timer = new SpriteTimer;
        timer->set_period(300);
        effect->set_timer(timer);
        SharedPtr<Sprite> ember(new Sprite);
        ember->set_name(StrCache("ember"));
        effect->add_child(ember);
        effect->add_controller(SharedPtr<SpriteBase>(new AlphaController));
        res->add_resource({type_name<Sprite>(), {"spark.spr", 0}}, SharedPtr<Resource>(effect));
    }

    // An effect controller at key 0.5 in the manner, attached to the sprite.
    EffectController& attach(Sprite& sprite, EffectController::ApplyManner manner)
    {
        auto* controller = new EffectController;
        controller->effect().set_path("spark.spr");
        controller->set_key(0.5f, KeyArray());
        controller->set_manner(manner);
        sprite.add_controller(SharedPtr<SpriteBase>(controller));
        return *controller;
    }

    SharedPtr<Res> res{new Res};
    SharedPtr<Sprite> effect{new Sprite};
};

int count_named(Sprite& sprite, const char* name)
{
    int count = 0;
    sprite.for_each_child([&](Sprite* child) { count += child->name() == StrCache(name) ? 1 : 0; }, true);
    return count;
}

}

TEST(EffectController, ChildMannerAddsATransientCopyWhenTheKeyIsPassed)
{
    EffectFixture f;
    ControllerRig rig(1000, SpriteTimer::Cyclic::loop);
    f.attach(*rig.sprite, EffectController::ApplyManner::child);
    const struct Step {
        std::int32_t time;
        int sparks;
    } steps[] = {
        {0, 0}, {400, 0}, {600, 1}, {900, 1}, {1050, 1},
        {1400, 0},  // the spark's own 300 ms ran out: it closed and was removed
        {1700, 1},  // once per cycle
    };
    for (const Step& s : steps) {
        rig.at(s.time);
        EXPECT_EQ(count_named(*rig.sprite, "spark"), s.sparks) << s.time;
    }
    Sprite* spark = rig.sprite->find(StrCache("spark"), false);
    ASSERT_NE(spark, nullptr);
    EXPECT_TRUE(spark->is_transient());
    EXPECT_NE(spark, f.effect.get());
    EXPECT_EQ(f.effect->children().size(), 1u) << "the resource itself is untouched";
}

TEST(EffectController, MergeMovesTheEffectIntoSpritesOfItsClass)
{
    EffectFixture f;
    ControllerRig rig;
    f.attach(*rig.sprite, EffectController::ApplyManner::merge);
    rig.at(0);
    rig.at(600);
    ASSERT_EQ(count_named(*rig.sprite, "ember"), 1);
    Sprite* ember = rig.sprite->find(StrCache("ember"), false);
    EXPECT_TRUE(ember->is_transient());
    EXPECT_EQ(ember->timer()->period(), 300) << "a moved child gets a copy of the effect's timer";
    EXPECT_NE(rig.sprite->find_child<AlphaController>(), nullptr);

    // An image sprite effect does not merge into a plain sprite.
    SharedPtr<Sprite> image(new ImageSprite);
    f.res->add_resource({type_name<Sprite>(), {"image.spr", 0}}, SharedPtr<Resource>(image));
    ControllerRig plain;
    f.attach(*plain.sprite, EffectController::ApplyManner::merge).effect().set_path("image.spr");
    plain.at(0);
    plain.at(600);
    EXPECT_EQ(plain.sprite->children().size(), 0u);
}

TEST(EffectController, CopyMannerMakesATransientTwinWithoutEventsOrEffects)
{
    EffectFixture f;
    SharedPtr<Sprite> parent(new Sprite);
    SharedPtr<Sprite> sprite(new Sprite);
    SharedPtr<Sprite> after(new Sprite);
    sprite->set_name(StrCache("hero"));
    sprite->set_position(Vector2<float>{5, 6});
    auto* timer = new SpriteTimer;
    timer->set_period(1000);
    sprite->set_timer(timer);
    parent->add_child(sprite);
    parent->add_child(after);
    sprite->add_controller(SharedPtr<SpriteBase>(new EventController));
    f.attach(*sprite, EffectController::ApplyManner::copy);
    sprite->add_controller(SharedPtr<SpriteBase>(new EventController));

    parent->tick(TimeStamp{TimeStamp::millisecond_clock, 0, nullptr});
    parent->tick(TimeStamp{TimeStamp::millisecond_clock, 600, nullptr});
    ASSERT_EQ(parent->children().size(), 3u);
    Sprite* twin = parent->next_child(sprite.get());
    ASSERT_NE(twin, after.get()) << "the twin comes right after the sprite";
    EXPECT_EQ(twin->name(), StrCache("hero"));
    EXPECT_EQ(twin->position(), (Vector2<float>{5, 6}));
    EXPECT_TRUE(twin->is_transient());
    EXPECT_EQ(twin->find_child<EventController>(), nullptr);
    EXPECT_EQ(twin->find_child<EffectController>(), nullptr);
    EXPECT_NE(twin->find_child<AlphaController>(), nullptr) << "the effect is merged into the twin";
    EXPECT_EQ(count_named(*twin, "ember"), 1);
    ASSERT_NE(twin->timer(), nullptr);
    EXPECT_EQ(twin->timer()->period(), 300) << "the twin runs on the effect's timer";
    EXPECT_EQ(sprite->controllers().size(), 3u) << "the sprite keeps its own controllers";
}

TEST(EffectController, RecursiveEffectSkipsWhatItCreates)
{
    const EffectController::ApplyManner manners[] = {EffectController::ApplyManner::child,
                                                     EffectController::ApplyManner::merge};
    for (const auto manner : manners) {
        EffectFixture f;
        ControllerRig rig;
        SharedPtr<Sprite> a(new Sprite);
        SharedPtr<Sprite> b(new Sprite);
        a->add_child(SharedPtr<Sprite>(new Sprite));
        rig.sprite->add_child(a);
        rig.sprite->add_child(b);
        f.attach(*rig.sprite, manner).set_recursive(true);
        rig.at(0);
        rig.at(600);
        const char* made = manner == EffectController::ApplyManner::child ? "spark" : "ember";
        EXPECT_EQ(count_named(*rig.sprite, made), 4) << "one for each of the four sprites there before";
        EXPECT_EQ(count_named(*a, made), 2);
    }
}

TEST(EffectController, UnknownMannerIsLoggedAndAddsNothing)
{
    LogCapture log;
    EffectFixture f;
    ControllerRig rig;
    f.attach(*rig.sprite, static_cast<EffectController::ApplyManner>(9));
    rig.at(0);
    rig.at(600);
    EXPECT_EQ(rig.sprite->children().size(), 0u);
    EXPECT_THAT(log.text("error"), HasSubstr("Unimplemented code reached."));
}

TEST(EffectController, AMissingEffectDoesNothing)
{
    EffectFixture f;
    ControllerRig rig;
    f.attach(*rig.sprite, EffectController::ApplyManner::child).effect().set_path("absent.spr");
    rig.at(0);
    rig.at(600);
    EXPECT_EQ(rig.sprite->children().size(), 0u);
}

TEST(EffectController, KeyEditingMovesTheOneKey)
{
    EffectController effect;
    effect.set_key(0.25f, KeyArray());
    effect.move_key(0.9f, 0.75f);
    effect.erase_key(0.75f);
    effect.clear_keys();
    EXPECT_EQ(effect.effect_time(), 0.75f);
    EXPECT_EQ(effect.has_keys(), 1);
    EXPECT_EQ(effect.nearest_key_time(0.0f), 0.75f);
    std::map<float, KeyArray> keys{{0.1f, KeyArray()}};
    effect.keys(keys);
    ASSERT_EQ(keys.size(), 2u) << "the key is added to what is there";
    EXPECT_EQ(keys.at(0.75f).to_floats()[0], 0.0f);
    std::vector<std::string> visited;
    effect.effect().set_path("x.spr");
    effect.visit_handles([&visited](ResHandleBase& handle) { visited.push_back(handle.path()); });
    EXPECT_EQ(visited, std::vector<std::string>{"x.spr"});
}

TEST(EffectController, BinaryAndSkinForms)
{
    EffectController source;
    source.effect().set_path("boom.spr");
    source.set_key(0.3f, KeyArray());
    source.set_manner(EffectController::ApplyManner::copy);
    source.set_recursive(true);
    const std::string bytes = own_bytes(source);
    EffectController read;
    load_bytes(read, bytes);
    EXPECT_EQ(read.effect().path(), "boom.spr");
    EXPECT_EQ(read.effect_time(), 0.3f);
    EXPECT_EQ(read.manner(), EffectController::ApplyManner::copy);
    EXPECT_TRUE(read.is_recursive());

    EffectController older;
    load_bytes(older, u8(0) + bytes.substr(1, bytes.size() - 2));
    EXPECT_EQ(older.effect().path(), "boom.spr");
    EXPECT_FALSE(older.is_recursive()) << "version 0 has no recursion flag";
    EXPECT_THAT(error_of([&] { load_bytes(older, u8(2) + bytes.substr(1)); }), HasSubstr("unsupported version."));
    EXPECT_THAT(error_of([&] { load_bytes(older, bytes.substr(0, bytes.size() - 1)); }),
                HasSubstr("unexpected end of buffer."));

    TestSkinEnvironment skin(R"(
        fx "class kq::EffectController" {
            state_mask 0 state_value 0 momentary false fleeting false
            effect_time 0.4 effect "FX/Boom.spr" manner merge
        }
        bad "class kq::EffectController" {
            state_mask 0 state_value 0 momentary false fleeting false
            effect_time 0.4 effect "fx/boom.spr" manner explode
        }
    )");
    EffectController skinned;
    skinned.read_skin(SkinPath("fx"));
    EXPECT_EQ(skinned.effect_time(), 0.4f);
    EXPECT_EQ(skinned.effect().path(), "fx/boom.spr");
    EXPECT_EQ(skinned.manner(), EffectController::ApplyManner::merge);
    EffectController bad;
    EXPECT_THAT(error_of([&] { bad.read_skin(SkinPath("bad")); }), HasSubstr("enum string interpretation [explode]"));
}

}
