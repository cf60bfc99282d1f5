#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/field/field.h"
#include "game/field/objects/item.h"
#include "game/field/physics/physics_body.h"
#include "tests/base/log_capture.h"
#include "tests/field/item_fixture.h"

namespace kq {
namespace {

using test::item_at;
using test::item_skin;
using testing::HasSubstr;

// A new item of the default keys changed by `keys`.
Item* make_item(const std::string& keys)
{
    auto skin = item_skin("t \"class kq::Item\" : item_keys { " + keys + " }");
    return item_at("t");
}

class ItemBody : public testing::Test
{
protected:
    // The item of the keys, put on the field at the placement.
    Item* add(const std::string& keys, ItemPlacement placement = {{200, 300}, 0})
    {
        Item* item = make_item(keys);
        m_field.add_item(item, placement);
        return item;
    }

    test::FakeGame m_game;
    Field m_field{FieldSettings{}, m_game};
};

// The vertices of a body's only polygon, in metres, sorted for comparison.
std::vector<std::pair<float, float>> vertices_of(const Item& item)
{
    const PhysicsShape& shape = *item.body()->shapes().at(0);
    std::vector<std::pair<float, float>> points;
    for (int i = 0; i < shape.vertex_count(); ++i)
        points.emplace_back(shape.vertex(i).x, shape.vertex(i).y);
    std::sort(points.begin(), points.end());
    return points;
}

void expect_vertices(const Item& item, std::vector<std::pair<float, float>> expected)
{
    std::sort(expected.begin(), expected.end());
    const auto actual = vertices_of(item);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].first, expected[i].first, 1e-5f) << "vertex " << i;
        EXPECT_NEAR(actual[i].second, expected[i].second, 1e-5f) << "vertex " << i;
    }
}

TEST_F(ItemBody, EachFormBuildsItsShapesInMetres)
{
    Item* circle = add("form circle size [(40, 10)]");
    ASSERT_EQ(circle->body()->shapes().size(), 1u);
    EXPECT_EQ(circle->body()->shapes()[0]->type(), ShapeType::circle);
    EXPECT_FLOAT_EQ(circle->body()->shapes()[0]->radius(), 2.0f) << "half the width; the height is not used";

    Item* box = add("form rect size [(40, 20)]");
    expect_vertices(*box, {{-2, -1}, {2, -1}, {2, 1}, {-2, 1}});

    Item* octagon = add("form octagon size [(100, 50)]");
    expect_vertices(*octagon, {{-5, 1.1f}, {-5, -1.1f}, {-2.2f, -2.5f}, {2.2f, -2.5f}, {5, -1.1f}, {5, 1.1f},
                               {2.2f, 2.5f}, {-2.2f, 2.5f}});

    // Ten points: the first eight make the shape, the two far ones are dropped.
    std::string outline = "{";
    for (int i = 0; i < 8; ++i)
        outline += " (" + std::to_string(20 * std::cos(i * 0.785398f)) + ", " +
                   std::to_string(20 * std::sin(i * 0.785398f)) + ")";
    outline += " (500, 0) (0, 500) }";
    Item* polygon = add("form polygons polygons [{ " + outline + " }]");
    ASSERT_EQ(polygon->body()->shapes().size(), 1u);
    EXPECT_EQ(polygon->body()->shapes()[0]->vertex_count(), 8);
    for (const auto& [x, y] : vertices_of(*polygon))
        EXPECT_NEAR(std::hypot(x, y), 2.0f, 1e-4f);

    Item* parts = add("form polygons polygons [{ { (0, 0) (10, 0) (0, 10) } { } { (0, 0) (-10, 0) (0, -10) } }]");
    EXPECT_EQ(parts->body()->shapes().size(), 2u) << "an empty outline gives no shape";
}

TEST_F(ItemBody, BodyTakesThePlacementMaterialAndDensity)
{
    Item* stone = add("density 1 side_friction 0.4 friction 3 restitution 0.5 linear_damping 0.7 "
                      "angular_damping 0.8",
                      {{200, 300}, 0.5f});
    PhysicsBody& body = *stone->body();
    EXPECT_EQ(body.user_data(), stone);
    EXPECT_TRUE(body.is_bullet());
    EXPECT_FLOAT_EQ(body.position().x, 20.0f);
    EXPECT_FLOAT_EQ(body.position().y, 30.0f);
    EXPECT_FLOAT_EQ(body.angle(), 0.5f);
    EXPECT_FLOAT_EQ(body.linear_damping(), 0.7f);
    EXPECT_FLOAT_EQ(body.angular_damping(), 0.8f);
    const b2Fixture& fixture = body.shapes()[0]->fixture();
    EXPECT_FLOAT_EQ(fixture.GetFriction(), 0.4f) << "the shape's friction is the side friction";
    EXPECT_FLOAT_EQ(fixture.GetRestitution(), 0.5f);
    EXPECT_FLOAT_EQ(stone->mass(), 10.0f) << "10 x 10 metres at density 1 x 0.1";
    EXPECT_FALSE(stone->is_static());
    EXPECT_EQ(stone->position(), (Vector2<float>{200, 300}));
    EXPECT_FLOAT_EQ(stone->angle(), 0.5f);

    for (const char* form : {"circle", "rect", "octagon"}) {
        Item* light = add(std::string("density 0 form ") + form);
        EXPECT_FLOAT_EQ(light->mass(), 0.0f) << form;
        EXPECT_TRUE(light->is_static()) << form;
        EXPECT_TRUE(light->body()->is_static()) << form;
    }
}

TEST_F(ItemBody, HeightDecidesTheCollisionBits)
{
    struct Case
    {
        float height;
        std::uint16_t bits;
    };
    // Ground bits 9, air bits 6.
    for (const Case& c : {Case{2.0f, 6}, Case{0.6f, 6}, Case{0.5f, 9}, Case{0.0f, 9}, Case{-0.05f, 9},
                          Case{-0.1f, 0}, Case{-3.0f, 0}}) {
        Item* item = add("ground_cg 9 air_cg 6 height " + std::to_string(c.height));
        const FilterData& filter = item->body()->shapes()[0]->filter_data();
        EXPECT_EQ(filter.category_bits, c.bits) << "height " << c.height;
        EXPECT_EQ(filter.mask_bits, c.bits) << "height " << c.height;
        EXPECT_EQ(filter.group_index, 0);
    }
}

TEST_F(ItemBody, DrawOrderFollowsHeight)
{
    Item* a = add("height 1");
    Item* b = add("height 0");
    Item* c = add("height 1");
    Item* d = add("height 0.5");
    Item* e = add("height 0");
    EXPECT_EQ(m_field.draw_order(), (std::vector<Item*>{b, e, d, a, c})) << "low to high, equal heights as added";
    EXPECT_EQ(m_field.items().size(), 5u);
    EXPECT_FALSE(a->is_dead());
    EXPECT_EQ(a->field(), &m_field);

    b->set_height(0.0f);
    EXPECT_EQ(m_field.draw_order(), (std::vector<Item*>{b, e, d, a, c})) << "the same height moves nothing";

    b->set_height(1.0f);
    EXPECT_EQ(m_field.draw_order(), (std::vector<Item*>{e, d, b, a, c})) << "sorted again, keeping equal ones' order";
    EXPECT_EQ(b->scale(), (Vector2<float>{1.1f, 1.1f}));

    c->set_height(-1.0f);
    EXPECT_EQ(m_field.draw_order(), (std::vector<Item*>{c, e, d, b, a}));

    d->set_height(0.7f);
    EXPECT_EQ(m_field.draw_order(), (std::vector<Item*>{c, e, d, b, a})) << "still in order: nothing moves";
}

TEST_F(ItemBody, ChangingHeightFiltersTheShapesAnew)
{
    // Two overlapping discs on the ground push apart; one lifted into the air (no air bits)
    // passes through the other.
    for (const bool lifted : {false, true}) {
        Item* below = add("form circle density 1 size [(40, 40)]", {{400, 400}, 0});
        Item* above = add("form circle density 1 size [(40, 40)] zero_height 0.5", {{410, 400}, 0});
        if (lifted)
            above->set_height(1.0f);
        EXPECT_EQ(above->body()->shapes()[0]->filter_data().category_bits, lifted ? 0 : 255);
        EXPECT_EQ(above->scale().x, lifted ? 1.05f : 1.0f);
        m_field.world().step(0.05f, 10);
        EXPECT_EQ(below->position().x < 400.0f, !lifted) << (lifted ? "lifted" : "on the ground");
        below->destroy_body();
        above->destroy_body();
    }
}

TEST_F(ItemBody, BodyOperationsWorkInPixels)
{
    Item* item = add("density 1 size [(40, 20)]", {{100, 100}, 1.5707964f});
    const auto near = [](Vector2<float> a, Vector2<float> b) { return std::hypot(a.x - b.x, a.y - b.y) < 1e-3f; };

    EXPECT_TRUE(near(item->to_world({10, 0}), {100, 110}));
    EXPECT_TRUE(near(item->to_local({100, 110}), {10, 0}));
    EXPECT_TRUE(item->contains({105, 115})) << "turned a quarter: 20 wide, 40 high";
    EXPECT_FALSE(item->contains({115, 105}));

    item->set_velocity({100, -50});
    EXPECT_FLOAT_EQ(item->body()->linear_velocity().x, 10.0f);
    EXPECT_TRUE(near(item->velocity(), {100, -50}));

    const float mass = item->mass();
    item->set_velocity({0, 0});
    item->apply_central_impulse({30, 0});
    EXPECT_TRUE(near(item->velocity(), {30 / mass, 0})) << "an impulse in pixels moves pixels";

    item->set_velocity({0, 0});
    item->set_angular_velocity(0.0f);
    item->apply_force({0, 20}, item->to_world({0, 10}));
    EXPECT_FLOAT_EQ(item->body()->force().y, 2.0f);
    EXPECT_NE(item->body()->torque(), 0.0f) << "a force off the centre turns the body";

    item->set_position({300, 200});
    item->set_angle(0.25f);
    EXPECT_TRUE(near(item->position(), {300, 200}));
    EXPECT_TRUE(near(item->body_position(), {300, 200}));
    EXPECT_FLOAT_EQ(item->angle(), 0.25f);
}

TEST_F(ItemBody, AwningsRegisterWhileTheyHaveABody)
{
    test::LogCapture log;
    Item* awning = add("awning true");
    Item* plain = add("awning false");
    EXPECT_EQ(m_field.awnings(), (std::vector<Item*>{awning}));

    m_field.add_awning(plain);
    m_field.add_awning(awning);
    EXPECT_THAT(log.text("error"), HasSubstr("\nAwning already added\n"));
    EXPECT_EQ(m_field.awnings(), (std::vector<Item*>{awning, plain}));
    m_field.remove_awning(plain);

    const int bodies = m_field.world().body_count();
    awning->destroy_body();
    EXPECT_EQ(awning->body(), nullptr);
    EXPECT_EQ(m_field.world().body_count(), bodies - 1);
    EXPECT_TRUE(m_field.awnings().empty());
    m_field.remove_awning(awning);
    EXPECT_THAT(log.text("error"), HasSubstr("\nAwning not exist\n"));
}

}
}
