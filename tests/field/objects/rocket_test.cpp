#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "game/field/objects/rocket.h"
#include "game/field/physics/physics_body.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

constexpr float degree = std::numbers::pi_v<float> / 180.0f;

// A rocket 40 by 10 with its fire, and the explosion the field shows.
const char* const rocket_skin = R"(
    rocket "class kq::Rocket" : item_keys { size [(40, 10)] density 1
        fire "class kq::Sprite" : sprite_keys { } }
    rocket_without_fire "class kq::Rocket" : item_keys { size [(40, 10)] density 1 fire "" }
    effects { rocket_explode "class kq::Sprite" : sprite_keys { } }
)";

struct RocketField : test::PieceField
{
    RocketField() : PieceField({}, "", "plain", rocket_skin) {}

    Rocket* add_rocket(Vector2<float> point, float angle, const char* path = "rocket")
    {
        auto* rocket = create_from_skin<Rocket>(SkinPath(path));
        field.add_item(rocket, ItemPlacement{point, angle});
        return rocket;
    }

    // What the rocket is told of a contact at `degrees` off its heading, 20 pixels away.
    static ContactInfo contact_at(const Rocket& rocket, float degrees)
    {
        ContactInfo info;
        const Vector2<float> p = rocket.body_position();
        const Vector2<float> d = Vector2<float>::from_polar(rocket.angle() + degrees * degree, 20.0f);
        info.position = {p.x + d.x, p.y + d.y};
        return info;
    }
};

TEST(Rocket, IgnitesOnceOnAClickAndShowsItsFire)
{
    RocketField f;
    Rocket* rocket = f.add_rocket({300, 300}, 0.0f);
    ASSERT_NE(rocket->fire().get(), nullptr);
    EXPECT_FALSE(rocket->fire()->parent_sprite()) << "no fire before the click";
    EXPECT_EQ(f.field.clickable_item_at({300, 300}), rocket);

    EXPECT_EQ(f.field.activate_item_at({300, 300}), rocket);
    EXPECT_TRUE(rocket->is_ignited());
    EXPECT_EQ(rocket->fire()->parent_sprite(), &f.field.effect_layer());
    EXPECT_FALSE(rocket->is_clickable());
    EXPECT_EQ(f.field.activate_item_at({300, 300}), nullptr) << "a second click does nothing";

    // Its body going takes the fire off the field.
    const SharedPtr<Item> held(rocket);
    rocket->remove();
    f.field.update(10);
    EXPECT_FALSE(rocket->fire()->parent_sprite());
}

TEST(Rocket, ThrustsAlongItsHeadingOnlyOnceIgnited)
{
    RocketField f;
    const float a = 30.0f * degree;
    Rocket* rocket = f.add_rocket({300, 300}, a);
    rocket->update(10);
    EXPECT_EQ(rocket->body()->force().x, 0.0f);
    EXPECT_EQ(rocket->body()->force().y, 0.0f);

    rocket->activate();
    rocket->update(10);
    // 10000 pixel units along the heading, whatever the frame's length.
    EXPECT_NEAR(rocket->body()->force().x * 10.0f, 10000.0f * std::cos(a), 1e-2f);
    EXPECT_NEAR(rocket->body()->force().y * 10.0f, 10000.0f * std::sin(a), 1e-2f);
    EXPECT_NEAR(rocket->body()->torque(), 0.0f, 1e-3f) << "pushed through its centre";
    EXPECT_EQ(rocket->fire()->position(), rocket->body_position());
    EXPECT_FLOAT_EQ(rocket->fire()->rotation(), a);

    f.run(200);
    EXPECT_GT(rocket->position().x, 300.0f);
    EXPECT_GT(rocket->position().y, 300.0f);
    rocket->update(0);
    EXPECT_EQ(rocket->fire()->position(), rocket->body_position()) << "the fire follows";
}

TEST(Rocket, ExplodesOnlyWhenHitOnItsNose)
{
    struct Case
    {
        float degrees;  // of the contact off the heading
        bool ignited;
        bool explodes;
    };
    const Case cases[] = {
        {0.0f, true, true},   {18.0f, true, true},   {-18.0f, true, true},
        {18.5f, true, false}, {45.0f, true, false},  {90.0f, true, false},
        {180.0f, true, false}, {0.0f, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.degrees) + (c.ignited ? " ignited" : " cold"));
        RocketField f;
        Rocket* rocket = f.add_rocket({300, 300}, 1.0f);
        Vimu* piece = f.add("red", {360, 300});
        if (c.ignited)
            rocket->activate();
        rocket->on_contact(*piece, RocketField::contact_at(*rocket, c.degrees));
        EXPECT_EQ(rocket->is_dead(), c.explodes);
        EXPECT_EQ(piece->has_exploded(), c.explodes);
        EXPECT_EQ(f.field.effect_layer().children().size(), c.explodes ? 2u : (c.ignited ? 1u : 0u))
            << "the explosion beside the fire";
    }
}

TEST(Rocket, TheBlastExplodesPiecesOfAGroupWithinItsRadius)
{
    struct Case
    {
        const char* kind;
        Vector2<float> offset;
        bool explodes;
    };
    const Case cases[] = {
        {"red", {139.9f, 0}, true},
        {"blue", {0, -100}, true},
        {"red", {140, 0}, false},  // strictly closer only
        {"grey", {50, 0}, false},  // in no group
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " at " + std::to_string(c.offset.x) + ", " + std::to_string(c.offset.y));
        RocketField f;
        Rocket* rocket = f.add_rocket({400, 300}, 0.0f);
        Vimu* piece = f.add(c.kind, Vector2<float>{400 + c.offset.x, 300 + c.offset.y});
        rocket->blast_piece(*piece, Rocket::blast_radius);
        EXPECT_EQ(piece->has_exploded(), c.explodes);
    }
}

TEST(Rocket, TheBlastPushesItemsOnTheGroundAway)
{
    RocketField f;
    Rocket* rocket = f.add_rocket({400, 300}, 0.0f);
    Vimu* near = f.add("red", {400, 200});
    Vimu* far = f.add("grey", {700, 300});
    Vimu* lifted = f.add("grey", {100, 300});
    lifted->set_height(1.0f);
    rocket->activate();
    const Vector2<float> blast = rocket->body_position();
    rocket->on_contact(*far, RocketField::contact_at(*rocket, 0.0f));

    // The impulse is strength / distance, away from the blast: speed = impulse / mass.
    EXPECT_NEAR(near->velocity().y, -70000.0f / 100.0f / near->mass(), 1e-2f);
    EXPECT_NEAR(far->velocity().x, 70000.0f / Vector2<float>::distance(far->body_position(), blast) / far->mass(), 1e-2f);
    EXPECT_EQ(lifted->velocity(), (Vector2<float>{})) << "above the ground";
    EXPECT_TRUE(near->has_exploded());
    EXPECT_FALSE(far->has_exploded());
}

TEST(Rocket, WorksWithoutFire)
{
    RocketField f;
    Rocket* rocket = f.add_rocket({300, 300}, 0.0f, "rocket_without_fire");
    EXPECT_EQ(rocket->fire().get(), nullptr);
    rocket->activate();
    f.run(50);
    EXPECT_TRUE(f.field.effect_layer().children().empty());
}

}
}
