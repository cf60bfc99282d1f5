#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "engine/base/random.h"
#include "game/field/objects/beetle.h"
#include "tests/field/field_object_fixture.h"

namespace kq {
namespace {

// Beetles 20 pixels across walking at 100 pixels a second; "blinking" has four frames; "big"
// is 200 pixels across; "still" cannot turn, not even by a swerve.
const char* const beetle_skin = R"(
    beetle_keys : item_keys { form circle size [(20, 20)] density 1 movement_speed 100 rotation_speed 2 }
    beetle "class kq::Beetle" : beetle_keys { }
    still "class kq::Beetle" : beetle_keys { rotation_speed 0 angular_damping 1000 }
    blinking "class kq::Beetle" : beetle_keys {
        animation [{ "images/f0.png" 0 "images/f1.png" 0 "images/f2.png" 0 "images/f3.png" 0 }] }
    big "class kq::Beetle" : beetle_keys { size [(200, 200)] }
    slow "class kq::Beetle" : item_keys { movement_speed 10 }
)";

Vector2<float> plus(Vector2<float> a, Vector2<float> b)
{
    return {a.x + b.x, a.y + b.y};
}

// The first `n` values the generator gives after the seed.
std::vector<int> draws_after(std::uint32_t seed, int n)
{
    random_seed(seed);
    std::vector<int> values;
    for (int i = 0; i < n; ++i)
        values.push_back(random_next() % 32768);
    return values;
}

// The first seed whose first `n` values pass the test; the generator is left at that seed.
std::uint32_t seed_where(int n, const std::function<bool(const std::vector<int>&)>& test)
{
    std::uint32_t seed = 1;
    while (!test(draws_after(seed, n)))
        ++seed;
    random_seed(seed);
    return seed;
}

// Puts the beetle at the point, then runs the field (and the beetle) for `dt` ms.
void step_at(test::FieldObjects& objects, Beetle& beetle, Vector2<float> point, int dt)
{
    beetle.set_position(point);
    objects.field.update(dt);
}

ContactInfo hit(float normal_impulse, Vector2<float> normal)
{
    ContactInfo info;
    info.normal_impulse = normal_impulse;
    info.normal = normal;
    return info;
}

TEST(Beetle, ReadsItsSpeedsAndStartsWhereItIsBuilt)
{
    test::FieldObjects objects(beetle_skin);
    auto* beetle = objects.add<Beetle>("beetle", {300, 200});
    ASSERT_NE(beetle, nullptr);
    EXPECT_EQ(beetle->movement_speed(), 100.0f);
    EXPECT_EQ(beetle->rotation_speed(), 2.0f);
    EXPECT_EQ(beetle->state(), Beetle::walking);
    EXPECT_EQ(beetle->speed(), 100.0f);
    EXPECT_EQ(beetle->last_position(), (Vector2<float>{300, 200}));
    ASSERT_EQ(beetle->path().size(), 1u);
    EXPECT_EQ(beetle->path()[0].x, 300.0f);
    EXPECT_EQ(beetle->path()[0].dt, 0);

    std::unique_ptr<Item> copy(rtti::clone(static_cast<Item*>(beetle)));
    EXPECT_EQ(dynamic_cast<Beetle&>(*copy).path().size(), 1u) << "the copy keeps the path";
    EXPECT_NE(test::error_of([] { delete test::item_at("slow"); }).find("node not found [slow.rotation_speed]"),
              std::string::npos);
}

TEST(Beetle, IsStuckBelowAQuarterOfItsSpeedOverItsLastFourSteps)
{
    struct Case
    {
        const char* name;
        std::vector<Vector2<float>> places;  // one update of `dt` at each
        int dt;
        float speed;
        bool stuck;
    };
    const Case cases[] = {
        {"first step, full speed", {{2, 0}}, 20, 100.0f, false},
        {"a quarter exactly", {{25, 0}}, 1000, 25.0f, false},
        {"just under a quarter", {{24.9f, 0}}, 1000, 24.9f, true},
        {"not moved at all", {{0, 0}}, 20, 0.0f, true},
        {"steady over the whole window", {{2, 0}, {4, 0}, {6, 0}, {8, 0}, {10, 0}}, 20, 100.0f, false},
        // The dash fills the window's first step: once it leaves, the beetle is stuck.
        {"a dash, then held", {{10, 0}, {10, 0}, {10, 0}, {10, 0}}, 20, 125.0f, false},
        {"a dash, then held a step longer", {{10, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 0}}, 20, 0.0f, true},
    };
    for (const Case& c : cases) {
        test::FieldObjects objects(beetle_skin);
        auto* beetle = objects.add<Beetle>("beetle", {300, 200});
        const std::vector<int> r = draws_after(77, 2);
        random_seed(77);
        for (const Vector2<float>& place : c.places)
            step_at(objects, *beetle, plus({300, 200}, place), c.dt);
        EXPECT_NEAR(beetle->speed(), c.speed, 1e-2f) << c.name;
        EXPECT_LE(beetle->path().size(), Beetle::path_size) << c.name;
        if (!c.stuck) {
            EXPECT_EQ(beetle->state(), Beetle::walking) << c.name;
            continue;
        }
        const int now = objects.field.field_time();
        EXPECT_EQ(beetle->state(), Beetle::turning) << c.name;
        EXPECT_EQ(beetle->turn_end(), now + 300 + 700 * r[0] / 32768) << c.name;
        EXPECT_EQ(beetle->turns_left(), 2 * r[1] / 32768 == 0) << c.name;
        EXPECT_NEAR(beetle->body()->angular_velocity(), beetle->turns_left() ? 2.0f : -2.0f, 1e-5f) << c.name;
    }
}

TEST(Beetle, AgainstAWallTurnsForItsStatedTimeThenWalksIntoItAgain)
{
    test::FieldObjects objects(beetle_skin);
    // Facing the wall and unable to turn away from it.
    auto* beetle = objects.add<Beetle>("still", {300, 300});
    objects.add_probe("size [(20, 400)]", {340, 300});  // a static wall, its face at x 330
    random_seed(5);
    int stuck_turns = 0;
    int walking_updates = 0;
    int turn_end = -1;
    for (int i = 0; i < 600; ++i) {
        const Beetle::State before = beetle->state();
        objects.field.update(10);
        const int now = objects.field.field_time();
        ASSERT_FALSE(std::isnan(beetle->position().x) || std::isnan(beetle->angle()));
        EXPECT_LT(beetle->position().x, 320.5f) << "the wall holds it";
        walking_updates = before == Beetle::walking ? walking_updates + 1 : 0;
        if (before == Beetle::walking && beetle->state() == Beetle::turning) {
            ++stuck_turns;
            EXPECT_GE(beetle->turn_end() - now, 300);
            EXPECT_LE(beetle->turn_end() - now, 999);
            EXPECT_LE(walking_updates, 5) << "found stuck within five updates";
            turn_end = beetle->turn_end();
        }
        if (beetle->state() == Beetle::resting)
            turn_end = -1;  // a turn after a rest keeps an old end: not measured
        if (turn_end == -1)
            continue;
        if (before == Beetle::turning && beetle->state() == Beetle::walking) {
            EXPECT_GT(now, turn_end) << "turns until its time has passed";
            EXPECT_LE(now - 10, turn_end) << "and not an update longer";
            EXPECT_EQ(beetle->speed(), 100.0f);
        }
        if (beetle->state() == Beetle::turning && before == Beetle::turning) {
            EXPECT_LE(now - 10, turn_end) << "still turning only before its end";
        }
    }
    EXPECT_GE(stuck_turns, 4);
}

TEST(Beetle, KicksWhatTouchesItAndRestsAfterAHardHit)
{
    struct Case
    {
        float impulse;
        Vector2<float> normal;
        bool rests;
    };
    const Case cases[] = {
        {0.0f, {10, 0}, false},
        {2500.0f, {0, -3}, false},  // exactly the limit: no rest
        {2500.5f, {-6, 8}, true},
        {9000.0f, {0, 0}, true},  // no direction: no kick, but still a hard hit
    };
    for (const Case& c : cases) {
        test::FieldObjects objects(beetle_skin);
        auto* beetle = objects.add<Beetle>("beetle", {300, 200});
        auto* other = objects.add_probe("density 1 size [(10, 10)]", {500, 200});
        beetle->on_contact(*other, hit(c.impulse, c.normal));
        const Vector2<float> kick = c.normal.with_length(150.0f / other->mass());
        EXPECT_NEAR(other->velocity().x, kick.x, 1e-3f) << c.impulse;
        EXPECT_NEAR(other->velocity().y, kick.y, 1e-3f) << c.impulse;
        EXPECT_EQ(beetle->state(), c.rests ? Beetle::resting : Beetle::walking) << c.impulse;
    }
}

TEST(Beetle, RandomEventsEveryHundredMillisecondsRestAndWake)
{
    // Each case runs two updates: one at 20 ms that starts the timers (walking on at full
    // speed), one at 120 ms that draws rest, wake and swerve in that order, then what the
    // state's action needs.
    struct Case
    {
        const char* name;
        bool resting;  // put to rest by a hard hit before the draws
        std::function<bool(const std::vector<int>&)> draws;
        Beetle::State state;
    };
    const Case cases[] = {
        {"rest draw 819", false, [](auto& r) { return r[0] == 819; }, Beetle::resting},
        {"rest draw 820", false, [](auto& r) { return r[0] == 820; }, Beetle::walking},
        {"resting, wake draw 3277", true, [](auto& r) { return r[1] == 3277; }, Beetle::resting},
        {"resting, woken to walk", true, [](auto& r) { return r[1] < 3277 && r[3] < 16384; }, Beetle::walking},
        {"resting, woken to turn", true, [](auto& r) { return r[1] < 3277 && r[3] >= 16384; }, Beetle::turning},
    };
    for (const Case& c : cases) {
        test::FieldObjects objects(beetle_skin);
        auto* beetle = objects.add<Beetle>("beetle", {300, 200});
        auto* other = objects.add_probe("size [(10, 10)]", {600, 600});
        step_at(objects, *beetle, {302, 200}, 20);
        ASSERT_EQ(beetle->state(), Beetle::walking);
        if (c.resting)
            beetle->on_contact(*other, hit(3000.0f, {}));
        seed_where(4, c.draws);
        step_at(objects, *beetle, {312, 200}, 100);
        EXPECT_EQ(beetle->state(), c.state) << c.name;
    }
}

TEST(Beetle, WalksAlongItsAngleAndSwervesWithARandomTorque)
{
    for (const bool swerve : {false, true}) {
        test::FieldObjects objects(beetle_skin);
        auto* beetle = objects.add<Beetle>("big", {500, 300}, 0.5f);
        const Vector2<float> start = beetle->position();
        step_at(objects, *beetle, plus(start, Vector2<float>::from_polar(0.5f, 2.0f)), 20);
        // No rest draw, a swerve draw under 6554 or not, then the torque's own value.
        const std::uint32_t seed = seed_where(4, [swerve](auto& r) { return r[0] >= 820 && (r[2] < 6554) == swerve; });
        const std::vector<int> r = draws_after(seed, 4);
        random_seed(seed);
        step_at(objects, *beetle, plus(start, Vector2<float>::from_polar(0.5f, 14.0f)), 100);
        ASSERT_EQ(beetle->state(), Beetle::walking);
        const Vector2<float> v = beetle->velocity();
        EXPECT_NEAR(v.x, 100.0f * std::cos(0.5f), 1e-3f);
        EXPECT_NEAR(v.y, 100.0f * std::sin(0.5f), 1e-3f);
        const float torque = swerve ? 16000.0f * float(r[3]) / 32768.0f - 8000.0f : 0.0f;
        EXPECT_NEAR(beetle->body()->angular_velocity(), torque * 0.1f * beetle->body()->inv_inertia(), 1e-4f)
            << "one step of 100 ms, swerve " << swerve;
    }
}

TEST(Beetle, ShowsItsFrameByStateAndClock)
{
    struct Case
    {
        int clock;
        bool walking;
        const char* frame;
    };
    const Case cases[] = {
        {1700, true, "images/f2.png"},   // 1700 / 120 = 14, modulo 4
        {1500, false, "images/f3.png"},  // 1500 / 200 = 7, modulo 4
        {1000, false, "images/f1.png"},
    };
    for (const Case& c : cases) {
        test::FieldObjects objects(beetle_skin);
        auto* beetle = objects.add<Beetle>("blinking", {300, 200});
        random_seed(3);
        // One update of the whole clock: walking when it covered the distance, else stuck.
        const float moved = c.walking ? float(c.clock) * 0.1f : 0.0f;
        step_at(objects, *beetle, {300 + moved, 200}, c.clock);
        ASSERT_EQ(beetle->state(), c.walking ? Beetle::walking : Beetle::turning) << c.clock;
        EXPECT_EQ(beetle->base().texture.path(), c.frame) << c.clock;
    }

    test::FieldObjects objects(beetle_skin);
    auto* resting = objects.add<Beetle>("blinking", {300, 200});
    auto* bare = objects.add<Beetle>("beetle", {100, 100});
    resting->on_contact(*objects.add_probe("size [(10, 10)]", {600, 600}), hit(3000.0f, {}));
    objects.field.update(1700);
    EXPECT_EQ(resting->base().texture.path(), "images/f0.png") << "a resting beetle keeps its frame";

    EXPECT_TRUE(bare->animation().empty());
    EXPECT_FALSE(std::isnan(bare->position().x)) << "no frames, nothing shown, nothing broken";
}

}
}
