#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/art/text_sprite.h"
#include "game/field/field.h"
#include "game/field/physics/physics_body.h"
#include "tests/field/item_fixture.h"

namespace kq {
namespace {

using test::probe;
using test::ProbeItem;

class ItemUpdate : public testing::Test
{
protected:
    ProbeItem* add(const std::string& keys, Vector2<float> position = {400, 300})
    {
        ProbeItem* item = probe(keys);
        m_field.add_item(item, {position, 0});
        return item;
    }

    test::FakeGame m_game;
    Field m_field{FieldSettings{}, m_game};
};

TEST_F(ItemUpdate, JumpsBounceAndSettle)
{
    struct Case
    {
        float landing_speed;
        float bounce;
        bool still_jumping;
    };
    for (const Case& c : {Case{-10.0f, 2.0f, true}, Case{-2.0f, 0.0f, false}, Case{-1.0f, 0.0f, false}}) {
        ProbeItem* item = add("");
        item->jump(c.landing_speed);
        item->update(0);
        EXPECT_FLOAT_EQ(item->vertical_speed(), c.bounce) << c.landing_speed;
        EXPECT_EQ(item->is_jumping(), c.still_jumping) << c.landing_speed;
        EXPECT_FLOAT_EQ(item->height(), 0.0f);
    }

    // Thrown up at 10 a second: 100 ms later it climbs at 7 and stands 0.7 high.
    ProbeItem* thrown = add("zero_height 0");
    thrown->jump(10.0f);
    thrown->update(100);
    EXPECT_FLOAT_EQ(thrown->vertical_speed(), 7.0f);
    EXPECT_FLOAT_EQ(thrown->height(), 0.7f);
    EXPECT_FLOAT_EQ(thrown->scale().x, 1.07f);
    EXPECT_EQ(m_field.draw_order().back(), thrown);
    EXPECT_EQ(thrown->body()->shapes()[0]->filter_data().category_bits, 0) << "in the air: the air bits";
}

TEST_F(ItemUpdate, FallingItemsSlowSinkAndFinish)
{
    ProbeItem* item = add("density 1");
    item->set_velocity({100, 0});
    item->fall();
    item->update(0);
    EXPECT_FLOAT_EQ(item->height(), 0.0f) << "no time, no height";
    EXPECT_NEAR(item->velocity().x, 85.0f, 1e-3f) << "but the speed still drops by 15 %";

    item->update(1000);
    EXPECT_FLOAT_EQ(item->vertical_speed(), -30.0f);
    EXPECT_FLOAT_EQ(item->height(), -30.0f);
    EXPECT_FALSE(item->is_dead()) << "finished only once it was below -5 before an update";
    EXPECT_EQ(item->body()->shapes()[0]->filter_data().category_bits, 0);
    item->update(16);
    EXPECT_TRUE(item->is_dead());
    EXPECT_EQ(item->fallen, 1);
}

TEST_F(ItemUpdate, GroundFrictionBrakesAndStops)
{
    ProbeItem* slow = add("density 1 friction 2", {100, 100});
    slow->set_velocity({2, 2});
    slow->set_angular_velocity(0.01f);
    slow->update(20);
    EXPECT_EQ(slow->velocity(), (Vector2<float>{0, 0})) << "under 3 pixels a second it stops";
    EXPECT_EQ(slow->body()->angular_velocity(), 0.0f);

    ProbeItem* fast = add("density 1 friction 2", {500, 100});
    fast->set_velocity({30, -40});
    fast->set_angular_velocity(1.0f);
    fast->update(20);
    const float f = 1.0f * 2.0f * fast->mass();
    EXPECT_NEAR(fast->body()->force().x, -0.6f * f * 0.1f, 1e-4f) << "against the motion, size f";
    EXPECT_NEAR(fast->body()->force().y, 0.8f * f * 0.1f, 1e-4f);
    const float slowing = f * 0.2f * fast->body()->inv_inertia() * 0.02f;
    EXPECT_NEAR(fast->body()->angular_velocity(), 1.0f - slowing, 1e-5f);

    ProbeItem* frictionless = add("density 1 friction 0", {800, 100});
    frictionless->set_velocity({2, 0});
    frictionless->update(20);
    EXPECT_EQ(frictionless->velocity(), (Vector2<float>{2, 0}));
}

TEST_F(ItemUpdate, TipIsOfferedOnceAtTheWholePixel)
{
    ProbeItem* item = add("tip \"try_me\"", {100.75f, 200.5f});
    item->update(10);
    item->update(10);
    ASSERT_EQ(m_game.tips.size(), 1u);
    EXPECT_EQ(m_game.tips[0].first, "try_me");
    EXPECT_EQ(m_game.tips[0].second, (Vector2<int>{100, 200}));
    EXPECT_TRUE(item->tip().empty());
}

TEST_F(ItemUpdate, ImpactSoundRingsForHardHitsOnceAPair)
{
    struct Case
    {
        float normal;
        float tangent;
        bool rings;
    };
    for (const Case& c : {Case{500, 0, false}, Case{300, 200, false}, Case{300, 201, true}, Case{10000, 0, true}}) {
        ProbeItem* a = add("tinkling_priority 2");
        ProbeItem* b = add("tinkling_priority 1");
        m_field.update(10);
        ContactInfo info;
        info.normal_impulse = c.normal;
        info.tangent_impulse = c.tangent;
        b->on_contact(*a, info);
        a->on_contact(*b, info);
        EXPECT_EQ(b->next_tinkling_time(), -1) << "the lower priority never rings";
        EXPECT_EQ(a->next_tinkling_time(), c.rings ? m_field.field_time() : -1) << c.normal << " + " << c.tangent;
        a->die();
        b->die();
    }

    // Of two equal items exactly one rings, and not again until the clock has moved on.
    ProbeItem* a = add("");
    ProbeItem* b = add("");
    m_field.update(10);
    ContactInfo hard;
    hard.normal_impulse = 3000;
    a->on_contact(*b, hard);
    b->on_contact(*a, hard);
    EXPECT_EQ((a->next_tinkling_time() == m_field.field_time()) + (b->next_tinkling_time() == m_field.field_time()), 1);
    ProbeItem* ringer = a->next_tinkling_time() == -1 ? b : a;
    ProbeItem* other = ringer == a ? b : a;
    const int rang = ringer->next_tinkling_time();
    ringer->on_contact(*other, hard);
    EXPECT_EQ(ringer->next_tinkling_time(), rang);
    m_field.update(10);
    ringer->on_contact(*other, hard);
    EXPECT_EQ(ringer->next_tinkling_time(), rang + 10);
}

// The text sprites that are children of the layer, in order.
std::vector<TextSprite*> texts_of(Sprite& layer)
{
    std::vector<TextSprite*> texts;
    layer.for_each_child([&texts](Sprite* child) { texts.push_back(dynamic_cast<TextSprite*>(child)); }, false);
    return texts;
}

TEST_F(ItemUpdate, ScoreTextsRiseFromTheItemWhenItsBodyGoes)
{
    auto skin = test::item_skin(R"(
        sprite_keys { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(80, 16)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 96 }
        effects { floating_text "class kq::TextSprite" : sprite_keys { font "" text "" valign center
            halign center brilliance 0 } }
        t "class kq::Item" : item_keys { }
    )");
    ProbeItem* item = new ProbeItem;
    item->read_skin(SkinPath("t"));
    m_field.add_item(item, {{300, 200}, 0});

    m_field.floating_text({10, 20}, "", {1, 0, 0, 1});
    EXPECT_TRUE(texts_of(m_field.layer(3)).empty()) << "an empty text shows nothing";

    item->add_points(3, {"Combo", {1, 0, 0, 1}});
    item->add_points(4, {"Fast", {0, 1, 0, 1}});
    item->destroy_body();

    const std::vector<TextSprite*> captions = texts_of(m_field.effect_layer());
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0]->text(), "Combo");
    EXPECT_EQ(captions[0]->position(), (Vector2<float>{300, 184}));
    EXPECT_EQ(captions[0]->pivot(), (Vector2<float>{40, 8}));
    EXPECT_EQ(captions[0]->color(), (Color{1, 0, 0, 1}));
    EXPECT_EQ(captions[1]->text(), "Fast");
    EXPECT_EQ(captions[1]->position(), (Vector2<float>{300, 168})) << "captions stack upwards";

    const std::vector<TextSprite*> points = texts_of(m_field.layer(3));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0]->text(), "+ 7");
    EXPECT_EQ(points[0]->position(), (Vector2<float>{300, 200}));
    EXPECT_EQ(points[0]->color(), (Color{1, 1, 1, 1}));
    EXPECT_EQ(item->points(), 0);
    EXPECT_TRUE(item->captions().empty());
}


// Texts of an item near the field's edge keep, with their rise of 40, inside the bounds the
// game gives (the field between its panels), the captions' stack as a whole.
TEST_F(ItemUpdate, ScoreTextsKeepInsideTheTextBounds)
{
    auto skin = test::item_skin(R"(
        sprite_keys { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(80, 16)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 96 }
        effects { floating_text "class kq::TextSprite" : sprite_keys { font "" text "" valign center
            halign center brilliance 0 } }
        t "class kq::Item" : item_keys { }
    )");
    m_field.set_text_bounds({50, 60, 900, 640});
    struct Case { Vector2<float> at; Vector2<float> first; Vector2<float> second; Vector2<float> points; };
    for (const Case& c : {
             // In the open: as without bounds.
             Case{{300, 400}, {300, 384}, {300, 368}, {300, 400}},
             // By the top: the stack's top 40 under the bounds' top, at 100; the points' text
             // likewise.
             Case{{300, 80}, {300, 124}, {300, 108}, {300, 108}},
             // By the left and the bottom: half a text's width in; the points' text half its
             // height above the bottom.
             Case{{55, 695}, {90, 679}, {90, 663}, {90, 692}},
         }) {
        ProbeItem* item = new ProbeItem;
        item->read_skin(SkinPath("t"));
        m_field.add_item(item, {c.at, 0});
        item->add_points(3, {"Combo", {1, 0, 0, 1}});
        item->add_points(4, {"Fast", {0, 1, 0, 1}});
        m_field.effect_layer().clear_children();
        m_field.layer(3).clear_children();
        item->destroy_body();
        const std::vector<TextSprite*> captions = texts_of(m_field.effect_layer());
        const std::vector<TextSprite*> points = texts_of(m_field.layer(3));
        ASSERT_EQ(captions.size(), 2u);
        ASSERT_EQ(points.size(), 1u);
        EXPECT_EQ(captions[0]->position(), c.first) << c.at.x << "," << c.at.y;
        EXPECT_EQ(captions[1]->position(), c.second) << c.at.x << "," << c.at.y;
        EXPECT_EQ(points[0]->position(), c.points) << c.at.x << "," << c.at.y;
    }
}

}
}
