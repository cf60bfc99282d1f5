#include <gtest/gtest.h>

#include <cmath>

#include "game/field/objects/whirlwind.h"
#include "tests/field/field_object_fixture.h"

namespace kq {
namespace {

// A whirlwind 200 pixels across (radius 100) that pushes round with 100 and pulls in with 50.
const char* const whirlwind_skin = R"(
    whirlwind_keys : item_keys { size [(200, 200)] tang_force 100 radial_force 50 omega 360
        moved true sample "" centre : image_keys { } move_factor 0 }
    wind "class kq::Whirlwind" : whirlwind_keys { }
    late_wind "class kq::Whirlwind" : whirlwind_keys { move_factor 6000 }
    broken "class kq::Whirlwind" : item_keys { size [(200, 200)] tang_force 1 radial_force 1 moved false
        sample "" centre : image_keys { } move_factor 0 }
)";

TEST(Whirlwind, ReadsItsKeysWithTheSpinInRadians)
{
    test::FieldObjects objects(whirlwind_skin);
    auto* wind = objects.add<Whirlwind>("wind", {500, 400});
    ASSERT_NE(wind, nullptr);
    EXPECT_EQ(wind->tangential_force(), 100.0f);
    EXPECT_EQ(wind->radial_force(), 50.0f);
    EXPECT_FLOAT_EQ(wind->spin_speed(), 360.0f * 0.0174533f);
    EXPECT_TRUE(wind->moved());
    EXPECT_EQ(wind->home(), (Vector2<float>{500, 400}));
    EXPECT_NE(test::error_of([] { test::item_at("broken"); }).find("node not found ["), std::string::npos)
        << "the spin has no default in a skin";
}

TEST(Whirlwind, SwirlsWithinItsRadiusInclusive)
{
    test::FieldObjects objects(whirlwind_skin);
    auto* wind = objects.add<Whirlwind>("wind", {500, 400});
    struct Case
    {
        Vector2<float> d;
        Vector2<float> force;
    };
    const Case cases[] = {
        {{100, 0}, {0 * 100.0f + 50, -100}},           // exactly on the radius
        {{0, -60}, {-100, 0 - 50}},                   // above the centre
        {{30, 40}, {100 * 0.8f + 50 * 0.6f, 100 * -0.6f + 50 * 0.8f}},
        {{100.01f, 0}, {0, 0}},                       // just beyond
        {{80, 80}, {0, 0}},                           // |d| = 113 > 100
        {{0, 0}, {0, 0}},                             // the centre has no direction
    };
    for (const Case& c : cases) {
        const Vector2<float> f = wind->swirl_force(c.d);
        EXPECT_NEAR(f.x, c.force.x, 1e-3f) << c.d.x << ", " << c.d.y;
        EXPECT_NEAR(f.y, c.force.y, 1e-3f) << c.d.x << ", " << c.d.y;
        EXPECT_FALSE(std::isnan(f.x) || std::isnan(f.y));
    }
}

TEST(Whirlwind, UpdateSwirlsItemsOnTheGroundButNotItselfOrTheAirborne)
{
    test::FieldObjects objects(whirlwind_skin);
    auto* wind = objects.add<Whirlwind>("wind", {500, 400});
    struct Case
    {
        float height;
        bool swirled;
    };
    const Case cases[] = {{0.0f, true}, {0.9f, true}, {0.91f, false}, {-3.0f, true}};
    std::vector<test::ProbeItem*> probes;
    for (const Case& c : cases) {
        probes.push_back(objects.add_probe("density 1 size [(10, 10)]", {560, 420}));
        probes.back()->set_height(c.height);
    }
    wind->update(0);
    const Vector2<float> centre = wind->body_position();
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const Vector2<float> expected = wind->swirl_force(centre - probes[i]->position());
        ASSERT_NE(expected, (Vector2<float>{})) << "the probes lie within reach";
        const Vector2<float> f = test::FieldObjects::force_on(*probes[i]);
        const Vector2<float> want = cases[i].swirled ? expected : Vector2<float>{};
        EXPECT_NEAR(f.x, want.x, 1e-2f) << cases[i].height;
        EXPECT_NEAR(f.y, want.y, 1e-2f) << cases[i].height;
    }
    EXPECT_EQ(test::FieldObjects::force_on(*wind), (Vector2<float>{})) << "never itself";
}

TEST(Whirlwind, AnItemAtTheCentreGetsNoForce)
{
    test::FieldObjects objects(whirlwind_skin);
    auto* wind = objects.add<Whirlwind>("wind", {500, 400});
    wind->update(0);
    auto* item = objects.add_probe("density 1 size [(10, 10)]", wind->body_position());
    wind->update(0);
    const Vector2<float> f = test::FieldObjects::force_on(*item);
    EXPECT_EQ(f, (Vector2<float>{}));
    objects.field.update(16);
    EXPECT_FALSE(std::isnan(item->position().x) || std::isnan(item->position().y));
}

TEST(Whirlwind, WandersAlongItsRosetteInFineSteps)
{
    test::FieldObjects objects(whirlwind_skin);
    auto* wind = objects.add<Whirlwind>("wind", {500, 400});
    auto* late = objects.add<Whirlwind>("late_wind", {500, 400});
    for (int time : {0, 1, 6000, 11999, 75398}) {
        const double t = time / 12000.0;
        const double r = 400.0 * std::sin(2 * t + 0.2) * std::cos(2 * t);
        const Vector2<float> p = wind->wander_point(time);
        EXPECT_NEAR(p.x, 500.0 + r * std::cos(t), 1e-2) << time;
        EXPECT_NEAR(p.y, 400.0 + r * std::sin(t), 1e-2) << time;
    }
    EXPECT_NE(wind->wander_point(1), wind->wander_point(0)) << "the phase moves every millisecond";
    EXPECT_EQ(late->wander_point(0), wind->wander_point(6000)) << "same curve, another place";

    late->update(0);
    const Vector2<float> p = late->body_position();
    EXPECT_NEAR(p.x, late->wander_point(objects.field.field_time()).x, 1e-3f);
    EXPECT_NEAR(p.y, late->wander_point(objects.field.field_time()).y, 1e-3f);
}

TEST(Whirlwind, SpinsItsImageOnceASecondAndItsCentreFourTimes)
{
    test::FieldObjects objects(whirlwind_skin);
    auto* wind = objects.add<Whirlwind>("wind", {500, 400});
    const float body_angle = wind->body()->angle();
    wind->update(250);
    EXPECT_NEAR(wind->spin_angle(), 3.14159f / 2.0f, 1e-4f);
    EXPECT_NEAR(wind->centre_angle(), 0.0f, 1e-4f) << "a full turn, brought back into [-pi, pi]";
    EXPECT_NEAR(wind->angle(), body_angle + wind->spin_angle(), 1e-6f);
    wind->update(500);
    EXPECT_NEAR(std::fabs(wind->spin_angle()), 3.14159f / 2.0f, 1e-3f);
    for (int i = 0; i < 40; ++i) {
        wind->update(137);
        EXPECT_LE(std::fabs(wind->spin_angle()), 3.1416f);
        EXPECT_LE(std::fabs(wind->centre_angle()), 3.1416f);
    }
}

}
}
