#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/base/random.h"
#include "game/field/objects/cloud.h"
#include "tests/art/art_res_support.h"
#include "tests/field/drawn_quads.h"
#include "tests/field/field_object_fixture.h"

namespace kq {
namespace {

const char* const cloud_skin = R"(
    cloud_keys : item_keys { size [(80, 40)] density 1 appear_sample "" }
    brief "class kq::Cloud" : cloud_keys { life 1 }
    lasting "class kq::Cloud" : cloud_keys { life 3 }
    shown "class kq::Cloud" : cloud_keys { life 1 base_texture "cloud.png" }
    broken "class kq::Cloud" : cloud_keys { }
    piece_keys : item_keys { form circle size [(20, 20)] density 1 }
    piece1 "class kq::Item" : piece_keys { gen 1 }
    piece2 "class kq::Item" : piece_keys { gen 2 }
    piece3 "class kq::Item" : piece_keys { gen 3 }
    piece7 "class kq::Item" : piece_keys { gen 7 }
)";

// A cloud field with pieces (of gens 1, 2, 3 and 7) entered in the field's pieces by group.
struct CloudField : test::FieldObjects
{
    CloudField() : test::FieldObjects(cloud_skin) {}

    test::ProbeItem* add_piece(int gen, Vector2<float> point)
    {
        auto* piece = new test::ProbeItem;
        piece->read_skin(SkinPath("piece" + std::to_string(gen)));
        field.add_item(piece, {point, 0.0f});
        field.add_piece(*piece);
        return piece;
    }

    void run(int ms)
    {
        for (int t = 0; t < ms; t += 10)
            field.update(10);
    }
};

TEST(Cloud, PicksNearerPiecesLikelier)
{
    CloudField f;
    // In the map's order (by gen): 100 and 300 pixels away, then one on the cloud's centre,
    // which weighs nothing.
    test::ProbeItem* near = f.add_piece(1, {600, 400});
    test::ProbeItem* far = f.add_piece(2, {500, 700});
    f.add_piece(3, {500, 400});
    auto* cloud = f.add<Cloud>("brief", {500, 400});
    const float sum = 1.0f / 100 + 1.0f / 300;
    int near_picks = 0;
    for (std::uint32_t i = 1; i <= 64; ++i) {
        const std::uint32_t seed = i * 2654435761u;
        random_seed(seed);
        const int r = random_next();
        random_seed(seed);
        cloud->pick_target();
        const bool expect_near = float(r) * sum / 32768.0f - 1.0f / 100 <= 0.0f;
        EXPECT_EQ(cloud->target(), expect_near ? near : far) << "r " << r;
        near_picks += expect_near ? 1 : 0;
    }
    EXPECT_GT(near_picks, 32) << "three times likelier";
    EXPECT_LT(near_picks, 64);
}

TEST(Cloud, WithoutWeightsTakesTheLastPieceAndWithoutPiecesKeepsItsTarget)
{
    CloudField f;
    auto* cloud = f.add<Cloud>("brief", {500, 400});
    random_seed(5);
    const int first = random_next();
    random_seed(5);
    cloud->pick_target();
    EXPECT_EQ(cloud->target(), nullptr);
    EXPECT_EQ(random_next(), first) << "no draw without pieces";

    f.add_piece(2, {500, 400});
    test::ProbeItem* last = f.add_piece(7, {500, 400});
    f.add_piece(1, {500, 400});
    cloud->pick_target();
    EXPECT_EQ(cloud->target(), last) << "every piece on the centre: the last of the map";
}

TEST(Cloud, DriftsTowardsItsTargetFromOneHundredPixelsOn)
{
    struct Case
    {
        Vector2<float> piece;
        Vector2<float> force;
    };
    const Case cases[] = {
        {{600, 400}, {12000, 0}},         // exactly 100 away
        {{500, 100}, {0, -12000}},
        {{560, 480}, {7200, 9600}},
        {{599, 400}, {0, 0}},
        {{530, 440}, {0, 0}},
    };
    for (const Case& c : cases) {
        CloudField f;
        test::ProbeItem* piece = f.add_piece(1, c.piece);
        auto* cloud = f.add<Cloud>("brief", {500, 400});
        ASSERT_EQ(cloud->target(), piece) << "picked when the body was built";
        cloud->update(10);
        const Vector2<float> force = test::FieldObjects::force_on(*cloud);
        EXPECT_NEAR(force.x, c.force.x, 0.5f) << c.piece.x << ", " << c.piece.y;
        EXPECT_NEAR(force.y, c.force.y, 0.5f) << c.piece.x << ", " << c.piece.y;
    }
}

TEST(Cloud, LooksForANewTargetOnceItsTargetIsGone)
{
    CloudField f;
    test::ProbeItem* piece = f.add_piece(1, {800, 400});
    auto* cloud = f.add<Cloud>("lasting", {500, 400});
    ASSERT_EQ(cloud->target(), piece);
    f.field.remove_piece(*piece);
    piece->die();
    f.run(10);
    EXPECT_EQ(cloud->target(), nullptr);
    cloud->update(10);
    EXPECT_EQ(test::FieldObjects::force_on(*cloud), (Vector2<float>{})) << "no drift without a target";

    test::ProbeItem* next = f.add_piece(1, {100, 400});
    cloud->update(10);
    EXPECT_EQ(cloud->target(), next);
    EXPECT_EQ(test::FieldObjects::force_on(*cloud), (Vector2<float>{})) << "the update that finds it does no more";
    cloud->update(10);
    EXPECT_LT(test::FieldObjects::force_on(*cloud).x, 0.0f);
}

TEST(Cloud, FadesAfterItsLifeAndGoes)
{
    for (const char* path : {"brief", "lasting"}) {
        CloudField f;
        f.add_piece(1, {800, 400});
        auto* cloud = f.add<Cloud>(path, {500, 400});
        WeakPtr<Item> held(cloud);
        const int life = cloud->life();
        for (int turn = 1; turn < life; ++turn) {
            f.field.end_turn();
            EXPECT_EQ(cloud->fade_start(), -1) << path << " turn " << turn;
        }
        f.run(100);
        f.field.end_turn();
        const int start = f.field.field_time();
        EXPECT_EQ(cloud->turns_lived(), life);
        EXPECT_EQ(cloud->fade_start(), start) << path;
        f.field.end_turn();
        EXPECT_EQ(cloud->fade_start(), start) << "a later turn does not restart the fade";

        f.run(1000);
        EXPECT_NEAR(cloud->opacity(), 0.5f, 1e-4f);
        f.run(1000);
        EXPECT_EQ(f.field.field_time(), start + 2000);
        EXPECT_EQ(cloud->opacity(), 0.0f);
        ASSERT_NE(held.get(), nullptr) << "still there at fade start + 2000";
        f.run(10);
        EXPECT_EQ(held.get(), nullptr) << path << " goes once the fade is over";
    }
}

TEST(Cloud, BreathesAndFadesAsDrawn)
{
    test::TestResources resources;
    resources.add("cloud.png", SharedPtr<Texture>(new test::PlainTexture(TextureHandle(1), 64, 64)));
    CloudField f;
    auto* cloud = f.add<Cloud>("shown", {500, 400});
    test::RecordingArtist artist;
    artist.begin_scene();
    struct Case
    {
        int run;
        bool end_turn;
        float alpha;
    };
    // The breath at 780 ms, 1570 ms (near its rest), then 500 ms into the fade.
    for (const Case& c : {Case{780, false, 1.0f}, Case{790, true, 1.0f}, Case{500, false, 0.75f}}) {
        f.run(c.run);
        if (c.end_turn)
            f.field.end_turn();
        const float s = 0.02f * std::sin(0.002f * float(f.field.field_time()));
        EXPECT_NEAR(cloud->scale().x, 1.0f + s, 1e-5f);
        EXPECT_NEAR(cloud->scale().y, 1.0f - s, 1e-5f);
        cloud->prepare_quads();
        cloud->draw_layer(0, artist);
        const std::vector<test::DrawnQuad> quads = test::drawn_quads(artist);
        ASSERT_EQ(quads.size(), 1u);
        const float angle = cloud->angle();
        const float width = std::hypot(quads[0].x(1) - quads[0].x(0), quads[0].y(1) - quads[0].y(0));
        const float height = std::hypot(quads[0].x(3) - quads[0].x(0), quads[0].y(3) - quads[0].y(0));
        EXPECT_NEAR(width, 80.0f * (1.0f + s), 1e-2f) << f.field.field_time() << " angle " << angle;
        EXPECT_NEAR(height, 40.0f * (1.0f - s), 1e-2f) << f.field.field_time();
        EXPECT_NEAR(quads[0].alpha(0), c.alpha, 1.0f / 255) << f.field.field_time();
    }
}

TEST(Cloud, NeedsItsKeys)
{
    test::FieldObjects objects(cloud_skin);
    EXPECT_NE(test::error_of([] { test::item_at("broken"); }).find("node not found [broken.life]"), std::string::npos);
}

}
}
