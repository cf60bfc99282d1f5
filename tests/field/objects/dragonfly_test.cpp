#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/base/random.h"
#include "game/field/objects/dragonfly.h"
#include "game/field/physics/physics_body.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

// A dragonfly meeting nothing, one with three frames and one with none; an awning 100 across
// up in the air, a wall and a heavy block 200 across.
const char* const dragonfly_skin = R"(
    fly_keys : item_keys { form circle size [(30, 30)] density 1 ground_cg 0 air_cg 0 }
    dragonfly "class kq::Dragonfly" : fly_keys { }
    flapping "class kq::Dragonfly" : fly_keys {
        animation [{ "images/wing0.png" 0 "images/wing1.png" 0 "images/wing2.png" 0 }] }
    still "class kq::Dragonfly" : fly_keys { base_texture "images/still.png" }
    awning "class kq::Item" : item_keys { form circle size [(100, 100)] awning true height 2 }
    wall "class kq::Item" : item_keys { form circle size [(200, 200)] height 2 }
    block "class kq::Item" : item_keys { form circle size [(200, 200)] height 2 density 1 }
    canopy "class kq::Item" : item_keys { form circle size [(200, 200)] awning true height 2 }
)";

struct DragonflyField : test::PieceField
{
    DragonflyField() : PieceField({}, "", "plain", dragonfly_skin) {}

    Dragonfly* add_dragonfly(Vector2<float> point, const char* path = "dragonfly")
    {
        auto* dragonfly = create_from_skin<Dragonfly>(SkinPath(path));
        field.add_item(dragonfly, ItemPlacement{point, 0.0f});
        return dragonfly;
    }

    Item* add_item(const char* path, Vector2<float> point)
    {
        Item* item = test::item_at(path);
        field.add_item(item, ItemPlacement{point, 0.0f});
        return item;
    }

    // Ends turns until the field has counted `count`.
    void end_turns(int count)
    {
        while (field.turn_count() < count)
            field.end_turn();
    }

    // Two close green pieces and four close blue ones: none of them is far from its kin.
    void add_crowd()
    {
        for (float x : {700.0f, 750.0f})
            add("green", {x, 300});
        for (Vector2<float> p : {Vector2<float>{300, 500}, {350, 500}, {300, 550}, {350, 550}})
            add("blue", p);
    }
};

TEST(Dragonfly, OwesAJobEveryFourthTurn)
{
    DragonflyField f;
    Dragonfly* dragonfly = f.add_dragonfly({-100, 300});
    EXPECT_FLOAT_EQ(dragonfly->height(), 3.0f) << "it flies from the start";
    struct Case
    {
        int turn;
        int jobs;
    };
    for (const Case& c : {Case{3, 0}, Case{4, 1}, Case{6, 1}, Case{8, 2}, Case{11, 2}, Case{12, 3}}) {
        f.end_turns(c.turn);
        EXPECT_EQ(dragonfly->jobs(), c.jobs) << "after turn " << c.turn;
    }
}

TEST(Dragonfly, TakesOnlyPiecesFarFromTheirKinAndAwayFromAwnings)
{
    struct Case
    {
        const char* name;
        float kin_distance;
        const char* awning_over;  // "piece", "kin" or nothing
        bool catchable;
    };
    const Case cases[] = {
        {"kin at 199", 199, "", false},
        {"kin at 200", 200, "", true},
        {"piece under an awning", 300, "piece", false},
        {"the only kin under an awning", 300, "kin", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DragonflyField f;
        Dragonfly* dragonfly = f.add_dragonfly({-100, 300});
        Vimu* piece = f.add("red", {200, 200});
        Vimu* kin = f.add("green", {200 + c.kin_distance, 200});
        const std::string over = c.awning_over;
        if (!over.empty())
            f.add_item("awning", over == "piece" ? piece->position() : kin->position());
        EXPECT_EQ(dragonfly->is_catchable(*piece), c.catchable);
    }
}

TEST(Dragonfly, ANearerKinUnderAnAwningDoesNotCount)
{
    DragonflyField f;
    Dragonfly* dragonfly = f.add_dragonfly({-100, 300});
    Vimu* piece = f.add("red", {200, 200});
    Vimu* hidden = f.add("green", {260, 200});
    Vimu* far = f.add("green", {500, 200});
    f.add("blue", {230, 200});  // another gen, nearer still
    EXPECT_EQ(dragonfly->nearest_kin(*piece), hidden);
    EXPECT_FALSE(dragonfly->is_catchable(*piece));

    f.add_item("awning", hidden->position());
    EXPECT_EQ(dragonfly->nearest_kin(*piece), far);
    EXPECT_TRUE(dragonfly->is_catchable(*piece));

    Vimu* bouncing = f.add("red", {200, 600});
    EXPECT_TRUE(dragonfly->is_catchable(*bouncing));
    bouncing->jump(2.0f);
    EXPECT_FALSE(dragonfly->is_catchable(*bouncing));
    Vimu* alone = f.add("blue", {900, 700});
    f.field.for_each_piece([&](Item* item) {
        if (item != alone && item->gen() == 2)
            item->set_launchable(false);
    });
    EXPECT_EQ(dragonfly->nearest_kin(*alone), nullptr) << "kin that cannot be launched do not count";
    EXPECT_FALSE(dragonfly->is_catchable(*alone));
}

TEST(Dragonfly, CarriesAnIsolatedPieceToItsKin)
{
    DragonflyField f;
    Dragonfly* dragonfly = f.add_dragonfly({500, 400});
    f.add_crowd();
    Vimu* lonely = f.add("red", {100, 100});
    ASSERT_EQ(f.field.pieces().size(), 7u);
    f.end_turns(4);
    ASSERT_EQ(dragonfly->jobs(), 1);

    bool lifted = false;
    for (int t = 0; t < 20000 && dragonfly->jobs() > 0; t += 10) {
        f.field.update(10);
        if (dragonfly->carried() == lonely) {
            lifted = true;
            EXPECT_FALSE(lonely->is_launchable()) << "no one launches a carried piece";
            EXPECT_FLOAT_EQ(lonely->height(), dragonfly->height() - 0.01f);
            EXPECT_LE(Vector2<float>::distance(lonely->position(), dragonfly->position()), 1.6f)
                << "where the dragonfly was before the step";
        }
    }
    ASSERT_TRUE(lifted);
    EXPECT_EQ(dragonfly->jobs(), 0) << "the drop spent the job";
    EXPECT_EQ(dragonfly->carried(), nullptr);
    EXPECT_TRUE(lonely->is_launchable());
    EXPECT_TRUE(lonely->is_jumping()) << "dropped, it falls and bounces";
    EXPECT_NEAR(Vector2<float>::distance(lonely->position(), {700, 300}), 50.0f, 1e-2f)
        << "next to its nearest kin";

    f.run(3000);
    EXPECT_FALSE(lonely->is_jumping());
    EXPECT_FLOAT_EQ(lonely->height(), 0.0f);
}

TEST(Dragonfly, HuntsNoPieceWithFewerThanSevenOnTheField)
{
    DragonflyField f;
    Dragonfly* dragonfly = f.add_dragonfly({500, 400});
    for (float x : {700.0f, 750.0f})
        f.add("green", {x, 300});
    for (float x : {300.0f, 350.0f, 400.0f})
        f.add("blue", {x, 500});
    Vimu* lonely = f.add("red", {100, 100});
    ASSERT_EQ(f.field.pieces().size(), 6u);
    ASSERT_TRUE(dragonfly->is_catchable(*lonely));
    f.end_turns(12);
    f.run(5000);
    EXPECT_EQ(dragonfly->jobs(), 3);
    EXPECT_TRUE(lonely->is_launchable());
    EXPECT_EQ(lonely->position(), (Vector2<float>{100, 100}));
    EXPECT_NEAR(Vector2<float>::distance(dragonfly->target(), {512, 384}), 600.0f, 1e-2f) << "it wanders off";
}

TEST(Dragonfly, OffTheScreenItWaitsOrStays)
{
    struct Case
    {
        int turns;  // 4 owe a job
        bool busy;
    };
    for (const Case& c : {Case{0, false}, Case{4, true}}) {
        SCOPED_TRACE(c.turns);
        DragonflyField f;
        Dragonfly* dragonfly = f.add_dragonfly({-100, 300});
        f.add_crowd();
        f.add("red", {700, 350});  // seven pieces, none of them far from its kin
        f.end_turns(c.turns);
        f.run(500);
        EXPECT_EQ(dragonfly->is_busy(), c.busy) << "waiting a second before it looks again";
        EXPECT_EQ(dragonfly->position(), (Vector2<float>{-100, 300}));
    }
}

TEST(Dragonfly, GivesUpAPieceThatMovesAwayOrDies)
{
    DragonflyField f;
    Dragonfly* dragonfly = f.add_dragonfly({500, 400});
    f.add_crowd();
    Vimu* lonely = f.add("red", {100, 100});
    f.end_turns(4);
    f.field.update(10);
    ASSERT_EQ(dragonfly->target(), lonely->position());

    lonely->set_position({100, 125});
    f.field.update(10);
    EXPECT_EQ(dragonfly->target(), lonely->position()) << "a new hunt for the piece where it lies now";

    lonely->remove();
    f.field.update(10);
    f.field.update(10);
    EXPECT_NEAR(Vector2<float>::distance(dragonfly->target(), {512, 384}), 600.0f, 1e-2f)
        << "nothing left to carry: it leaves the screen";
    EXPECT_EQ(dragonfly->jobs(), 1);
}

TEST(Dragonfly, APieceDyingInFlightEndsTheCarryWithTheJobOwed)
{
    DragonflyField f;
    Dragonfly* dragonfly = f.add_dragonfly({120, 100});
    f.add_crowd();
    Vimu* lonely = f.add("red", {100, 100});
    f.end_turns(4);
    for (int t = 0; t < 5000 && !dragonfly->carried(); t += 10)
        f.field.update(10);
    ASSERT_EQ(dragonfly->carried(), lonely);
    f.run(300);
    lonely->remove();
    f.run(20);
    EXPECT_EQ(dragonfly->carried(), nullptr);
    EXPECT_EQ(dragonfly->jobs(), 1);
}

TEST(Dragonfly, DropsBesideTheKinOnTheFirstFreePointOrTheLastTried)
{
    constexpr float step = 0.34906587f;
    struct Case
    {
        const char* blocker;  // over the kin
        int tries;             // the point taken
    };
    const Case cases[] = {{"", 1}, {"block", 1}, {"wall", 18}, {"canopy", 18}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocker);
        DragonflyField f;
        Dragonfly* dragonfly = f.add_dragonfly({-100, 300});
        const Vector2<float> kin{500, 400};
        if (*c.blocker)
            f.add_item(c.blocker, kin);
        random_seed(11);
        const float a = float(random_next() % 32768) * 2.0f * std::numbers::pi_v<float> / 32768.0f + float(c.tries) * step;
        random_seed(11);
        const Vector2<float> p = dragonfly->drop_point(kin);
        EXPECT_NEAR(p.x, kin.x + 50.0f * std::cos(a), 1e-3f);
        EXPECT_NEAR(p.y, kin.y + 50.0f * std::sin(a), 1e-3f);
    }
}

TEST(Dragonfly, TurnsTowardsItsHeading)
{
    struct Case
    {
        float heading;
        float turning;
    };
    const Case cases[] = {{0.5f, 2.5f}, {2.0f, 5.0f}, {-2.0f, -10.0f}, {0.0f, 0.7f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.heading);
        DragonflyField f;
        Dragonfly* dragonfly = f.add_dragonfly({-100, 300});
        dragonfly->set_velocity(Vector2<float>::from_polar(c.heading, 100.0f));
        dragonfly->set_angular_velocity(0.7f);
        dragonfly->update(10);
        EXPECT_NEAR(dragonfly->body()->angular_velocity(), c.turning, 1e-4f);
    }
}

TEST(Dragonfly, ShowsItsFramesInTurnAndKeepsItsImageWithoutThem)
{
    DragonflyField f;
    Dragonfly* flapping = f.add_dragonfly({-100, 300}, "flapping");
    Dragonfly* still = f.add_dragonfly({-100, 500}, "still");
    const std::vector<std::string> frames{"images/wing0.png", "images/wing1.png", "images/wing2.png"};
    for (int t = 10; t <= 200; t += 10) {
        f.field.update(10);
        EXPECT_EQ(flapping->base().texture.path(), frames[std::size_t(f.field.field_time() / 25 % 3)]) << t;
        EXPECT_EQ(still->base().texture.path(), "images/still.png");
    }
}

}
}
