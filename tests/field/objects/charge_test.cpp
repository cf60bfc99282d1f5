#include <gtest/gtest.h>

#include <string>

#include "game/field/objects/charge.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

// A small charge that collides with nothing.
const char* const charge_skin = R"(
    charge "class kq::Charge" : item_keys { form circle size [(10, 10)] density 1 ground_cg 0 }
)";

struct ChargeField : test::PieceField
{
    ChargeField() : PieceField({}, "", "plain", charge_skin) {}

    Charge* add_charge(Vector2<float> point)
    {
        auto* charge = create_from_skin<Charge>(SkinPath("charge"));
        field.add_item(charge, ItemPlacement{point, 0.0f});
        return charge;
    }

    // Shoots the piece to the right.
    void shoot_right(Vimu* piece) { ASSERT_TRUE(shoot(piece->position(), piece->position() - Vector2<float>{20, 0})); }
};

TEST(Charge, CatchesOnlyTheLaunchedPiecePassingClose)
{
    struct Case
    {
        float distance;  // from the launched piece, pixels
        bool launched;
        bool caught;
    };
    const Case cases[] = {
        {31.0f, true, true},
        {0.0f, true, true},
        {32.0f, true, false},
        {0.0f, false, false},  // a piece not launched, however close
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.distance) + (c.launched ? " launched" : " lying"));
        ChargeField f;
        Vimu* shot = f.add("red", {200, 300});
        Vimu* lying = f.add("blue", {600, 300});
        f.shoot_right(shot);
        Vimu* near = c.launched ? shot : lying;
        Charge* charge = f.add_charge(near->position() - Vector2<float>{0, c.distance});
        charge->update(0);
        EXPECT_EQ(charge->holder(), c.caught ? shot : nullptr);
        if (c.caught)
            EXPECT_EQ(charge->position(), shot->position()) << "it clings from that frame on";
    }
}

TEST(Charge, RidesWithItsPieceUntilTheStrikeIsOver)
{
    ChargeField f;
    Vimu* shot = f.add("red", {200, 300});
    Charge* charge = f.add_charge({200, 320});
    const SharedPtr<Item> held(charge);
    charge->set_angle(0.5f);
    f.shoot_right(shot);
    f.run(500);
    ASSERT_EQ(charge->holder(), shot);
    EXPECT_GT(shot->position().x, 250.0f) << "the piece flew";
    charge->update(0);
    EXPECT_NEAR(charge->position().x, shot->position().x, 1e-3f);
    EXPECT_NEAR(charge->position().y, shot->position().y, 1e-3f);
    EXPECT_FLOAT_EQ(charge->angle(), 0.5f) << "the charge keeps its own angle";

    while (shot->is_struck())
        f.field.update(10);
    EXPECT_TRUE(charge->is_dead()) << "the strike's end sends it away";
    EXPECT_EQ(charge->holder(), nullptr);
}

TEST(Charge, CatchesAndLetsGoInDifferentFrames)
{
    ChargeField f;
    Vimu* shot = f.add("red", {200, 300});
    Charge* charge = f.add_charge({800, 700});
    f.shoot_right(shot);
    shot->on_turn_end();
    ASSERT_FALSE(shot->is_struck());

    // The last launched piece, no longer struck, comes close.
    charge->set_position(shot->position());
    charge->update(10);
    EXPECT_EQ(charge->holder(), shot);
    EXPECT_FALSE(charge->is_dead());
    charge->update(10);
    EXPECT_TRUE(charge->is_dead());
}

TEST(Charge, WaitsWhereItsPieceDiedForTheNextShot)
{
    ChargeField f;
    Vimu* first = f.add("red", {200, 300});
    Vimu* second = f.add("blue", {200, 500});
    Charge* charge = f.add_charge({200, 310});
    f.shoot_right(first);
    f.run(100);
    ASSERT_EQ(charge->holder(), first);

    first->remove();
    f.run(30);
    const Vector2<float> spot = charge->position();
    EXPECT_GT(spot.x, 200.0f);
    EXPECT_EQ(charge->holder(), nullptr);
    EXPECT_FALSE(charge->is_dead());
    f.run(100);
    EXPECT_EQ(charge->position(), spot) << "it stays where it was";

    charge->set_position(second->position() - Vector2<float>{0, 10});
    f.shoot_right(second);
    f.run(100);
    EXPECT_EQ(charge->holder(), second) << "caught again by the next shot";
}

}
}
