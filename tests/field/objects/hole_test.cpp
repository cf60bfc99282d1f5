#include <gtest/gtest.h>

#include <string>

#include "game/field/objects/hole.h"
#include "tests/field/field_object_fixture.h"

namespace kq {
namespace {

// Holes 100 across with a rim of 10 (an inner area of 80), round, rectangular (100 x 60: an
// inner area of 80 x 40) and octagonal; one reads neither optional key.
const char* const hole_skin = R"(
    round "class kq::Hole" : item_keys { form circle size [(100, 100)] border 10 fall_sample "" }
    square "class kq::Hole" : item_keys { form rect size [(100, 60)] border 10 fall_sample "" }
    eight "class kq::Hole" : item_keys { form octagon size [(100, 100)] border 10 }
    plain "class kq::Hole" : item_keys { }
)";

// Round items 40 across (mass 1.26) and square ones 10 across (mass 1.5).
const char* const ball = "form circle size [(40, 40)] density 1";
const char* const block = "size [(10, 10)] density 15";

enum class Fate { left, pulled, swallowed };

struct Case
{
    const char* hole;
    const char* item;
    Vector2<float> offset;  // from the hole's centre
    Fate fate;
};

const Case cases[] = {
    {"round", ball, {0, 0}, Fate::swallowed},
    {"round", ball, {0, 20}, Fate::swallowed},    // 20 away: the edge of the inner area
    {"round", ball, {21, 0}, Fate::pulled},
    {"round", ball, {0, -49}, Fate::pulled},      // still over the hole
    {"round", ball, {0, 51}, Fate::left},         // beside it
    {"round", "form circle size [(80, 80)] density 1", {30, 0}, Fate::left},  // as large as the inner area
    {"round", "size [(10, 10)] density 5", {30, 0}, Fate::left},            // mass 0.5: too light
    {"round", block, {35, 0}, Fate::swallowed},  // 5 + 35 reaches the inner radius of 40
    {"round", block, {36, 0}, Fate::pulled},
    {"square", block, {-35, 0}, Fate::swallowed},  // left and top edges are in
    {"square", block, {0, -15}, Fate::swallowed},
    {"square", block, {35, 0}, Fate::pulled},      // right and bottom edges are out
    {"square", block, {0, 15}, Fate::pulled},
    {"square", "size [(10, 50)] density 15", {0, 0}, Fate::left},  // taller than the inner area
    {"eight", block, {0, 0}, Fate::left},
    {"eight", block, {30, 0}, Fate::left},
};

TEST(Hole, SwallowsOrPullsItemsOverIt)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.hole) + " / " + c.item + " at " + std::to_string(c.offset.x) + ", " +
                     std::to_string(c.offset.y));
        test::FieldObjects objects(hole_skin);
        auto* hole = objects.add<Hole>(c.hole, {500, 400});
        auto* item = objects.add_probe(c.item, {500 + c.offset.x, 400 + c.offset.y});
        hole->update(16);
        EXPECT_EQ(item->is_falling(), c.fate == Fate::swallowed);
        const Vector2<float> f = test::FieldObjects::force_on(*item);
        if (c.fate == Fate::pulled) {
            const Vector2<float> want = (Vector2<float>{0, 0} - c.offset).with_length(1000.0f * item->mass());
            EXPECT_NEAR(f.x, want.x, 1e-2f);
            EXPECT_NEAR(f.y, want.y, 1e-2f);
        } else {
            EXPECT_EQ(f, (Vector2<float>{}));
        }
    }
}

TEST(Hole, LeavesItemsInTheAirAlone)
{
    test::FieldObjects objects(hole_skin);
    auto* hole = objects.add<Hole>("round", {500, 400});
    auto* bouncing = objects.add_probe(block, {500, 400});
    bouncing->jump(5.0f);
    auto* lifted = objects.add_probe(block, {500, 400});
    lifted->set_height(0.5f);
    hole->update(16);
    for (auto* item : {bouncing, lifted}) {
        EXPECT_FALSE(item->is_falling());
        EXPECT_EQ(test::FieldObjects::force_on(*item), (Vector2<float>{}));
    }
    EXPECT_FALSE(hole->is_falling()) << "never itself";
}

TEST(Hole, SwallowedItemsSinkAndLeaveTheField)
{
    test::FieldObjects objects(hole_skin);
    objects.add<Hole>("round", {500, 400});
    auto* item = objects.add_probe(ball, {505, 400});
    const SharedPtr<Item> held(item);
    objects.field.update(16);
    EXPECT_TRUE(item->is_falling());
    for (int i = 0; i < 100 && !item->is_dead(); ++i)
        objects.field.update(50);
    EXPECT_EQ(item->fallen, 1);
}

TEST(Hole, OptionalKeysKeepTheirDefaults)
{
    test::FieldObjects objects(hole_skin);
    auto* plain = objects.add<Hole>("plain", {500, 400});
    EXPECT_EQ(plain->border(), 0.0f);
    EXPECT_TRUE(plain->fall_sample().empty());
    EXPECT_EQ(objects.add<Hole>("round", {100, 100})->border(), 10.0f);
}

}
}
