#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/base/random.h"
#include "game/field/objects/fireball.h"
#include "game/field/objects/roller.h"
#include "game/field/objects/roller_head.h"
#include "game/field/physics/physics_body.h"
#include "tests/base/log_capture.h"
#include "tests/field/vimu_fixture.h"
#include "tests/platform/recording_artist.h"

namespace kq {
namespace {

using testing::HasSubstr;

constexpr float pi = std::numbers::pi_v<float>;

// Rollers round a square of 1200 pixels from (100, 100) clockwise on the screen, chains 60
// pixels apart moving at 100 pixels a second; the roller's own body meets nothing.
const char* const roller_nodes = R"(
    roller_keys : item_keys { size [(10, 10)] ground_cg 0 points_shape linear
        points [{ (100, 100) (400, 100) (400, 400) (100, 400) }]
        members_step 60 members_speed 100 members_rot_speed 3
        coupling_right : image_keys { size [(6, 8)] } coupling_left : image_keys { size [(4, 8)] }
        coupling_centre : image_keys { size [(1, 8)] pivot [(0, 4)] }
        head "class kq::RollerHead" : item_keys { form circle size [(40, 40)] density 1 }
        members [{ }] }
    rollers {
        bare "class kq::Roller" : roller_keys { head "" }
        triangle "class kq::Roller" : roller_keys { head "" points [{ (0, 0) (100, 0) (100, 100) }] }
        closed "class kq::Roller" : roller_keys { head "" points [{ (0, 0) (100, 0) (0, 0) }] }
        smooth "class kq::Roller" : roller_keys { head "" points_shape cubic points [{ (0, 0) (100, 0) (100, 100) }] }
        headless "class kq::Roller" : roller_keys { head "" members [{ red red }] }
        chain "class kq::Roller" : roller_keys { members [{ red red blue red red }] }
        five "class kq::Roller" : roller_keys { head "" members [{ red green blue grey red }] }
        short "class kq::Roller" : roller_keys { members [{ red }] }
        odd "class kq::Roller" : roller_keys { points_shape spiral }
        single "class kq::Roller" : roller_keys { points [{ (10, 10) }] }
        empty "class kq::Roller" : roller_keys { points [{ }] }
        stepless "class kq::Roller" : item_keys { points_shape linear points [{ (0, 0) (1, 1) }] }
        stranger "class kq::Roller" : roller_keys { members [{ nobody }] }
    }
)";

struct RollerField : test::PieceField
{
    RollerField() : test::PieceField({}, "", "plain", roller_nodes) {}

    // A roller of the kind at "rollers.<kind>", not on the field.
    static Roller* make(const char* kind)
    {
        return dynamic_cast<Roller*>(create_from_skin<Item>(SkinPath("rollers") + kind));
    }

    // A roller of the kind on the field.
    Roller* place(const char* kind)
    {
        Roller* roller = make(kind);
        field.add_item(roller, {{0, 0}, 0.0f});
        return roller;
    }
};

std::vector<Item*> chain_of(const Roller& roller)
{
    std::vector<Item*> items;
    for (const RollerMember& member : roller.members())
        items.push_back(member.item.get());
    return items;
}

void expect_near(Vector2<float> actual, Vector2<float> expected, float tolerance, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
}

TEST(Roller, KeysThePathByTheRunningLengthOfItsClosedLoop)
{
    RollerField f;
    struct Case
    {
        const char* kind;
        std::vector<std::pair<float, Vector2<float>>> keys;
    };
    const float diagonal = 100.0f + 100.0f + 100.0f * std::sqrt(2.0f);
    const Case cases[] = {
        {"triangle", {{0, {0, 0}}, {100, {100, 0}}, {200, {100, 100}}, {diagonal, {0, 0}}}},
        // The closing segment has no length: its key is the last point's again.
        {"closed", {{0, {0, 0}}, {100, {100, 0}}, {200, {0, 0}}}},
        {"smooth", {{0, {0, 0}}, {100, {100, 0}}, {200, {100, 100}}, {diagonal, {0, 0}}}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Roller> roller(RollerField::make(c.kind));
        ASSERT_TRUE(roller && roller->path()) << c.kind;
        EXPECT_NEAR(roller->path_length(), c.keys.back().first, 1e-3f) << c.kind;
        Roller::Path::KeyMap keys;
        roller->path()->get_keys(keys);
        ASSERT_EQ(keys.size(), c.keys.size()) << c.kind;
        auto key = keys.begin();
        for (const auto& [time, point] : c.keys) {
            EXPECT_NEAR(key->first, time, 1e-3f) << c.kind;
            EXPECT_EQ(key->second, point) << c.kind;
            // The path passes through its keys, whatever its shape.
            expect_near(roller->path()->value(time), point, 1e-3f, c.kind);
            ++key;
        }
    }

    std::unique_ptr<Roller> triangle(RollerField::make("triangle"));
    expect_near(triangle->point_at(50), {50, 0}, 1e-3f, "along the first side");
    expect_near(triangle->point_at(-50), triangle->point_at(diagonal - 50), 1e-3f, "backwards wraps round");
    expect_near(triangle->point_at(3 * diagonal + 150), {100, 50}, 1e-2f, "any number of rounds on");
}

TEST(Roller, BadPathsAreReportedAtLoad)
{
    RollerField f;
    {
        test::LogCapture log;
        std::unique_ptr<Roller> odd(RollerField::make("odd"));
        ASSERT_TRUE(odd);
        EXPECT_THAT(log.text("error"), HasSubstr("Invalid path shape"));
        EXPECT_FALSE(odd->path()) << "no path";
        EXPECT_TRUE(odd->members().empty()) << "the reading ended there";
        EXPECT_EQ(odd->members_step(), 0.0f);
    }
    for (const char* kind : {"single", "empty"})
        EXPECT_THAT(test::error_of([kind] { delete RollerField::make(kind); }),
                    HasSubstr(std::string("A roller's path needs two points or more [rollers.") + kind + ".points]"));
    EXPECT_THAT(test::error_of([] { delete RollerField::make("stepless"); }),
                HasSubstr("node not found [rollers.stepless.members_step]"));
    EXPECT_THAT(test::error_of([] { delete RollerField::make("stranger"); }),
                HasSubstr("node not found [items.nobody]"));
}

TEST(Roller, AWrongShapedRollerPlacesAndMovesNothingAndEnds)
{
    RollerField f;
    test::LogCapture log;
    f.place("odd");
    EXPECT_EQ(f.field.items().size(), 1u);
    f.field.update(10);
    EXPECT_TRUE(f.field.items().empty()) << "an empty chain ends its roller";
}

TEST(Roller, PlacesItsChainBehindTheHeadAlongThePath)
{
    RollerField f;
    Roller* roller = f.place("chain");
    const std::vector<Item*> chain = chain_of(*roller);
    ASSERT_EQ(chain.size(), 6u);
    EXPECT_EQ(chain[0], roller->head().get());
    EXPECT_NE(dynamic_cast<RollerHead*>(chain[0]), nullptr);
    // Backwards from (100, 100) the path comes up the left side.
    const Vector2<float> starts[] = {{100, 100}, {100, 160}, {100, 220}, {100, 280}, {100, 340}, {100, 400}};
    float offset = 0.0f;
    for (std::size_t k = 0; k < chain.size(); ++k, offset += 60.0f) {
        EXPECT_EQ(std::next(roller->members().begin(), long(k))->offset, offset);
        expect_near(chain[k]->position(), starts[k], 1e-3f, "member " + std::to_string(k));
        EXPECT_FALSE(chain[k]->is_launchable());
        EXPECT_FALSE(chain[k]->is_magnetic());
        EXPECT_FALSE(chain[k]->is_dead()) << "a field item in its own right";
    }
    EXPECT_EQ(f.field.items().size(), 7u);
}

TEST(Roller, SteersEachMemberTowardsItsPointAtCappedSpeed)
{
    RollerField f;
    Roller* roller = f.place("five");
    const std::vector<Item*> chain = chain_of(*roller);
    // The chain stands up the left side, member k at (100, 100 + 60 k), and moves on to the
    // right for the first and upwards for the others: 10 pixels in this update of 100 ms.
    chain[1]->set_position({100, 260});  // left far behind
    chain[2]->set_position({100, 210});  // exactly on its target
    chain[3]->set_angle(-pi / 2.0f - 350.0f * pi / 180.0f);
    chain[4]->set_angle(pi);
    roller->update(100);
    EXPECT_FLOAT_EQ(roller->phase(), 10.0f);
    struct Case
    {
        std::size_t member;
        Vector2<float> velocity;
        float turning;
    };
    const Case cases[] = {
        {0, {100, 0}, 0.0f},       // 10 pixels on in 0.1 s, already facing that way
        {1, {0, -200}, -3.0f},     // 110 pixels to go: held to twice the chain's speed; a quarter
                                   // turn wanted at once, held to the turning rate
        {2, {0, 0}, 0.0f},         // on its target: no direction to go or turn to
        {3, {0, -100}, -1.745329f},  // 350 degrees round is 10 back: -0.1745 rad in 0.1 s
        {4, {0, -100}, 3.0f},      // facing away: a quarter turn the other way, held
    };
    for (const Case& c : cases) {
        const std::string what = "member " + std::to_string(c.member);
        expect_near(chain[c.member]->velocity(), c.velocity, 1e-2f, what);
        EXPECT_NEAR(chain[c.member]->body()->angular_velocity(), c.turning, 1e-3f) << what;
    }
}

TEST(Roller, MembersFollowThePathRoundTheLoop)
{
    RollerField f;
    Roller* roller = f.place("headless");
    for (int t = 0; t < 14000; t += 10) {  // more than a full round of 12 s
        f.field.update(10);
        for (const RollerMember& member : roller->members()) {
            const Vector2<float> target = roller->point_at(roller->phase() - member.offset);
            ASSERT_LT(Vector2<float>::distance(member.item->position(), target), 6.0f) << "at " << t;
        }
    }
    EXPECT_NEAR(roller->phase(), 1400.0f, 1e-1f);
}

TEST(Roller, MembersBehindAGoneOneCloseUp)
{
    RollerField f;
    Roller* roller = f.place("five");
    std::vector<Item*> chain = chain_of(*roller);
    chain[2]->remove();
    roller->update(10);
    const std::vector<float> offsets = {0, 60, 120, 180};
    std::vector<float> actual;
    for (const RollerMember& member : roller->members())
        actual.push_back(member.offset);
    EXPECT_EQ(actual, offsets);
    EXPECT_EQ(chain_of(*roller), (std::vector<Item*>{chain[0], chain[1], chain[3], chain[4]}));
    // The fourth's target jumped 60 pixels on: it chases it at the capped speed.
    EXPECT_NEAR(chain[3]->velocity().length(), 200.0f, 1e-2f);
    EXPECT_FALSE(roller->is_dead());
}

TEST(Roller, APieceSetAlightSetsAlightItsNeighboursOfItsGeneration)
{
    // chain: head, red, red, blue, red, red
    struct Case
    {
        std::size_t lit;
        std::vector<bool> burning;
    };
    const Case cases[] = {
        {1, {false, true, true, false, false, false}},  // stops at the blue piece
        {2, {false, true, true, false, false, false}},  // both ways
        {3, {false, false, false, true, false, false}},  // a blue among reds
        {5, {false, false, false, false, true, true}},
    };
    for (const Case& c : cases) {
        RollerField f;
        Roller* roller = f.place("chain");
        const std::vector<Item*> chain = chain_of(*roller);
        dynamic_cast<Vimu&>(*chain[c.lit]).ignite(nullptr);
        for (std::size_t k = 1; k < chain.size(); ++k)
            EXPECT_EQ(dynamic_cast<Vimu&>(*chain[k]).is_ignited(), c.burning[k]) << "lit " << c.lit << ", member " << k;
    }

    RollerField f;
    Roller* roller = f.place("chain");
    f.add("red", {700, 600})->ignite(nullptr);
    for (Item* member : chain_of(*roller))
        if (auto* piece = dynamic_cast<Vimu*>(member)) {
            EXPECT_FALSE(piece->is_ignited()) << "a piece off the chain sets nothing alight";
        }
}

TEST(Roller, WithOnlyItsHeadLeftTheHeadBurstsIntoAStarOfFireballs)
{
    RollerField f;
    Roller* roller = f.place("short");
    const std::vector<Item*> chain = chain_of(*roller);
    Item* head = chain[0];
    f.field.update(10);
    const Vector2<float> centre = head->body_position();
    chain[1]->remove();
    const std::uint32_t seed = 4321;
    random_seed(seed);
    const float a0 = float(random_next() % 32768) * 2.0f * pi / 32768.0f;
    random_seed(seed);
    roller->update(10);
    EXPECT_TRUE(roller->is_dead()) << "the roller ends in the same update";
    EXPECT_TRUE(head->is_dead());

    std::vector<Fireball*> fireballs;
    for (const SharedPtr<Item>& item : f.field.items())
        if (auto* fireball = dynamic_cast<Fireball*>(item.get()))
            fireballs.push_back(fireball);
    ASSERT_EQ(fireballs.size(), 8u);
    for (std::size_t i = 0; i < fireballs.size(); ++i) {
        const std::string what = "fireball " + std::to_string(i);
        expect_near(fireballs[i]->position(), centre, 1e-3f, what);
        EXPECT_TRUE(fireballs[i]->is_launched()) << what;
        const Vector2<float> v = fireballs[i]->velocity();
        const float expected = a0 + float(i) * pi / 4.0f;
        EXPECT_NEAR(std::remainder(std::atan2(v.y, v.x) - expected, 2.0f * pi), 0.0f, 1e-3f) << what;
    }

    f.field.update(10);
    EXPECT_EQ(std::count_if(f.field.items().begin(), f.field.items().end(),
                            [](const SharedPtr<Item>& item) { return dynamic_cast<Roller*>(item.get()); }),
              0);
}

TEST(Roller, AHeadlessRollerEndsOnlyWhenItsChainIsEmpty)
{
    RollerField f;
    Roller* roller = f.place("headless");
    const std::vector<Item*> chain = chain_of(*roller);
    chain[0]->remove();
    roller->update(10);
    EXPECT_FALSE(roller->is_dead()) << "one member left, no head: it goes on";
    chain[1]->remove();
    roller->update(10);
    EXPECT_TRUE(roller->is_dead());
}

TEST(Roller, DrawsACouplingBetweenLiveNeighboursOnly)
{
    RollerField f;
    Roller* roller = f.place("five");
    const std::vector<Item*> chain = chain_of(*roller);
    test::RecordingArtist artist;
    roller->draw(0, artist);
    EXPECT_EQ(roller->coupling_left().position(), (Vector2<float>{})) << "only over the highlight pass";

    // The last pair: (100, 280) to (100, 340), straight down the screen.
    roller->draw(1, artist);
    const float down = pi / 2.0f;
    EXPECT_EQ(roller->coupling_left().position(), (Vector2<float>{100, 280}));
    EXPECT_EQ(roller->coupling_right().position(), (Vector2<float>{100, 340}));
    EXPECT_FLOAT_EQ(roller->coupling_left().rotation(), down);
    EXPECT_FLOAT_EQ(roller->coupling_right().rotation(), down);
    EXPECT_EQ(roller->coupling_centre().position(), (Vector2<float>{100, 280}));
    EXPECT_EQ(roller->coupling_centre().pivot(), (Vector2<float>{-4, 4}));
    EXPECT_NEAR(roller->coupling_centre().size().x, 60.0f - 4.0f - 6.0f, 1e-4f);
    EXPECT_EQ(roller->coupling_centre().size().y, 8.0f);

    // A member marked gone splits the line: neither of its pairs is drawn.
    chain[4]->remove();
    chain[3]->remove();
    roller->draw(1, artist);
    EXPECT_EQ(roller->coupling_right().position(), (Vector2<float>{100, 220})) << "the last live pair";
}

}
}
