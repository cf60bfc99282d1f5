#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/art/interpolate_controller.h"
#include "game/field/objects/magnet.h"
#include "tests/field/field_object_fixture.h"

namespace kq {
namespace {

// Magnets that pull with 100 between 20 and 80 pixels, one that pushes, one that reaches only
// its centre and one without force sprites; the force sprite slides with a shift controller.
const char* const magnet_skin = R"(
    magnet_keys : item_keys { size [(20, 20)] force 100 min_distance 20 max_distance 80
        drawing_distance 50 drawing_force true }
    pulling "class kq::Magnet" : magnet_keys { }
    pushing "class kq::Magnet" : magnet_keys { force -100 }
    pinpoint "class kq::Magnet" : magnet_keys { min_distance 0 max_distance 0 drawing_force false }
    hidden "class kq::Magnet" : magnet_keys { drawing_force false }
    broken "class kq::Magnet" : item_keys { force 1 min_distance 0 max_distance 1 drawing_distance 1 }
    items {
        magnet {
            force_sprite "class kq::ImageSprite" : image_keys {
                slide <controller> "class kq::ShiftController" {
                    state_mask 0 state_value 0 momentary false fleeting false
                    start_value [(0, 0)] end_value [(0, 0)] variation 0.5
                }
            }
        }
    }
)";

TEST(Magnet, PullsWithinItsRingInclusive)
{
    test::FieldObjects objects(magnet_skin);
    auto* pulling = objects.add<Magnet>("pulling", {500, 400});
    auto* pushing = objects.add<Magnet>("pushing", {200, 200});
    auto* pinpoint = objects.add<Magnet>("pinpoint", {300, 300});
    struct Case
    {
        const Magnet* magnet;
        Vector2<float> v;
        Vector2<float> force;
    };
    const Case cases[] = {
        {pulling, {20, 0}, {-100, 0}},    // on the inner edge
        {pulling, {0, -80}, {0, 100}},    // on the outer edge
        {pulling, {30, 40}, {-60, -80}},  // inside: the same strength at any distance
        {pulling, {19.9f, 0}, {0, 0}},
        {pulling, {80.1f, 0}, {0, 0}},
        {pushing, {30, 40}, {60, 80}},
        {pinpoint, {0, 0}, {0, 0}},       // the centre has no direction
        {pinpoint, {0.01f, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        const Vector2<float> f = c.magnet->pull_force(c.v);
        EXPECT_NEAR(f.x, c.force.x, 1e-3f) << c.v.x << ", " << c.v.y;
        EXPECT_NEAR(f.y, c.force.y, 1e-3f) << c.v.x << ", " << c.v.y;
    }
    EXPECT_NE(test::error_of([] { test::item_at("broken"); }).find("node not found ["), std::string::npos);
}

TEST(Magnet, UpdatePullsMagneticItemsOnTheGroundOnly)
{
    test::FieldObjects objects(magnet_skin);
    auto* magnet = objects.add<Magnet>("hidden", {500, 400});
    struct Case
    {
        const char* keys;
        float height;
        bool pulled;
    };
    const Case cases[] = {
        {"density 1 size [(10, 10)]", 0.0f, true},
        {"density 1 size [(10, 10)]", 0.1f, true},
        {"density 1 size [(10, 10)]", 0.11f, false},
        {"density 1 size [(10, 10)] magnetic false", 0.0f, false},
    };
    std::vector<test::ProbeItem*> probes;
    for (const Case& c : cases) {
        probes.push_back(objects.add_probe(c.keys, {530, 440}));
        probes.back()->set_height(c.height);
    }
    magnet->update(16);
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const Vector2<float> f = test::FieldObjects::force_on(*probes[i]);
        const Vector2<float> want = cases[i].pulled ? Vector2<float>{-60, -80} : Vector2<float>{};
        EXPECT_NEAR(f.x, want.x, 1e-3f) << cases[i].keys << " at " << cases[i].height;
        EXPECT_NEAR(f.y, want.y, 1e-3f) << cases[i].keys << " at " << cases[i].height;
    }
    EXPECT_EQ(test::FieldObjects::force_on(*magnet), (Vector2<float>{})) << "a magnet never pulls itself";
}

TEST(Magnet, AnItemOnTheCentreOfAMagnetReachingItStaysSound)
{
    test::FieldObjects objects(magnet_skin);
    auto* magnet = objects.add<Magnet>("pinpoint", {300, 300});
    auto* item = objects.add_probe("density 1 size [(10, 10)]", {300, 300});
    magnet->update(16);
    EXPECT_EQ(test::FieldObjects::force_on(*item), (Vector2<float>{}));
    objects.field.update(16);
    EXPECT_FALSE(std::isnan(item->position().x) || std::isnan(item->position().y));
}

TEST(Magnet, LaysSevenForceSpritesPointingWithItsForce)
{
    struct Case
    {
        const char* path;
        std::size_t sprites;
        float turn;  // the rotation less the ray's angle
    };
    for (const Case& c : {Case{"pulling", 7, -3.14159265f}, Case{"pushing", 7, 0.0f}, Case{"hidden", 0, 0.0f}}) {
        SCOPED_TRACE(c.path);
        test::FieldObjects objects(magnet_skin);
        Sprite& layer = objects.field.layer(0);
        objects.add<Magnet>(c.path, {500, 400});
        ASSERT_EQ(layer.children().size(), c.sprites);
        int i = 0;
        layer.children().walk([&](const SharedPtr<Sprite>& sprite) {
            const float a = float(i++) * 0.897598f;
            EXPECT_NEAR(sprite->position().x, 500.0f + 50.0f * std::cos(a), 1e-3f);
            EXPECT_NEAR(sprite->position().y, 400.0f + 50.0f * std::sin(a), 1e-3f);
            EXPECT_NEAR(sprite->rotation(), a + c.turn, 1e-5f);
            auto* shift = dynamic_cast<ShiftController*>(sprite->controllers().front());
            ASSERT_NE(shift, nullptr);
            EXPECT_NEAR(shift->start_value().x, 12.0f * std::cos(a), 1e-4f);
            EXPECT_NEAR(shift->start_value().y, 12.0f * std::sin(a), 1e-4f);
            EXPECT_NEAR(shift->end_value().x, -12.0f * std::cos(a), 1e-4f);
            EXPECT_NEAR(shift->end_value().y, -12.0f * std::sin(a), 1e-4f);
            EXPECT_EQ(shift->variation(), 0.0f);
        });
        EXPECT_EQ(objects.field.effect_layer().children().size(), 0u);
    }
}

}
}
