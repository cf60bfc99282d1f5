#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "game/field/objects/brick.h"
#include "tests/field/field_object_fixture.h"

namespace kq {
namespace {

// Bricks of four frames at full integrity 1 and 0, one without frames, one without its key.
const char* const brick_skin = R"(
    brick_keys : item_keys { size [(40, 20)]
        animation [{ "bricks/f0.png" 0 "bricks/f1.png" 0 "bricks/f2.png" 0 "bricks/f3.png" 0 }] }
    whole "class kq::Brick" : brick_keys { integrity 1 }
    hollow "class kq::Brick" : brick_keys { integrity 0 }
    plain "class kq::Brick" : item_keys { integrity 2 }
    broken "class kq::Brick" : item_keys { }
    other "class kq::Item" : item_keys { size [(10, 10)] }
    effects { adobe_destroy "class kq::Sprite" : sprite_keys { } }
)";

// The item the brick is hit by.
test::ProbeItem* add_other(test::FieldObjects& objects)
{
    auto* other = new test::ProbeItem;
    other->read_skin(SkinPath("other"));
    objects.field.add_item(other, {{500, 200}, 0.0f});
    return other;
}

std::vector<Sprite*> effects_of(Field& field)
{
    std::vector<Sprite*> effects;
    field.effect_layer().for_each_child([&effects](Sprite* child) { effects.push_back(child); }, false);
    return effects;
}

void hit(Brick& brick, Item& other, float impulse)
{
    ContactInfo info;
    info.normal_impulse = impulse;
    brick.on_contact(other, info);
}

TEST(Brick, WearsByHardHitsAndShowsItsFrame)
{
    struct Case
    {
        std::vector<float> hits;
        float integrity;
        std::size_t frame;
    };
    const Case cases[] = {
        {{0.0f}, 1.0f, 0},            // any contact shows the frame, whole at first
        {{0.05f, 0.05f}, 1.0f, 0},    // a twentieth of the full integrity is no wear
        {{0.051f}, 0.949f, 1},
        {{0.5f}, 0.5f, 2},
        {{0.7f}, 0.3f, 3},
        {{0.4f, 0.3f}, 0.3f, 3},
        {{0.99f}, 0.01f, 3},          // a little left: the last frame
    };
    for (const Case& c : cases) {
        test::FieldObjects objects(brick_skin);
        auto* brick = objects.add<Brick>("whole", {300, 200});
        ASSERT_NE(brick, nullptr);
        test::ProbeItem* other = add_other(objects);
        for (float s : c.hits)
            hit(*brick, *other, s);
        EXPECT_NEAR(brick->integrity(), c.integrity, 1e-5f) << c.hits.size() << " hits, first " << c.hits[0];
        EXPECT_EQ(brick->base().texture.path(), "bricks/f" + std::to_string(c.frame) + ".png") << c.hits[0];
        EXPECT_FALSE(brick->is_dead());
        EXPECT_TRUE(effects_of(objects.field).empty());
    }
}

TEST(Brick, BreaksWithItsEffectWhenNothingIsLeft)
{
    for (float s : {1.0f, 5.0f}) {
        test::FieldObjects objects(brick_skin);
        auto* brick = objects.add<Brick>("whole", {300, 200});
        test::ProbeItem* other = add_other(objects);
        hit(*brick, *other, s);
        EXPECT_EQ(brick->integrity(), 0.0f) << s;
        EXPECT_TRUE(brick->is_dead()) << "broken in the contact that used it up: " << s;
        EXPECT_EQ(brick->base().texture.path(), "bricks/f3.png");
        const std::vector<Sprite*> effects = effects_of(objects.field);
        ASSERT_EQ(effects.size(), 1u);
        EXPECT_EQ(effects[0]->position(), (Vector2<float>{300, 200}));
        EXPECT_EQ(effects[0]->color(), (Color{1, 1, 1, 1}));
    }
}

TEST(Brick, WithoutFramesStillWearsAndBreaks)
{
    test::FieldObjects objects(brick_skin);
    auto* brick = objects.add<Brick>("plain", {300, 200});
    test::ProbeItem* other = add_other(objects);
    EXPECT_FLOAT_EQ(brick->full_integrity(), 2.0f);
    hit(*brick, *other, 0.1f);
    EXPECT_FLOAT_EQ(brick->integrity(), 2.0f) << "0.1 is a twentieth of 2";
    hit(*brick, *other, 1.5f);
    EXPECT_FLOAT_EQ(brick->integrity(), 0.5f);
    EXPECT_TRUE(brick->base().texture.empty());
    hit(*brick, *other, 0.5f);
    EXPECT_TRUE(brick->is_dead());
}

TEST(Brick, WithNoIntegrityBreaksAtItsFirstContactWithoutDividingByZero)
{
    test::FieldObjects objects(brick_skin);
    auto* brick = objects.add<Brick>("hollow", {300, 200});
    test::ProbeItem* other = add_other(objects);
    EXPECT_EQ(brick->frame_for(4), 3);
    hit(*brick, *other, 0.0f);
    EXPECT_TRUE(brick->is_dead());
    EXPECT_EQ(brick->base().texture.path(), "bricks/f3.png");
    EXPECT_EQ(effects_of(objects.field).size(), 1u);
}

TEST(Brick, NeedsItsIntegrity)
{
    test::FieldObjects objects(brick_skin);
    EXPECT_NE(test::error_of([] { test::item_at("broken"); }).find("node not found [broken.integrity]"),
              std::string::npos);
}

}
}
