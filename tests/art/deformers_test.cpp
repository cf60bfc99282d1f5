// The lens, morph and trail deformers on real sprites: where they put vertices, their
// properties, their stored forms and their copies.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "art_test_support.h"
#include "art_tree_support.h"
#include "engine/art/key_controller_spline.h"
#include "engine/art/lens_deformer.h"
#include "engine/art/morph_deformer.h"
#include "engine/art/trail_deformer.h"
#include "engine/base/clone.h"
#include "key_test_support.h"
#include "tests/base/log_capture.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

SharedPtr<Tile> tile_at(Vector2<float> position, Vector2<float> size, Vector2<float> pivot = {0, 0})
{
    register_test_sprites();
    SharedPtr<Tile> made(new Tile);
    made->set_position(position);
    made->set_size(size);
    made->set_pivot(pivot);
    return made;
}

Vector2<float> bent(SpriteDeformer& deformer, Vector2<float> point)
{
    QuadVertex vertex{};
    vertex.x = point.x;
    vertex.y = point.y;
    deformer.deform(vertex);
    return {vertex.x, vertex.y};
}

void expect_near(Vector2<float> actual, Vector2<float> expected, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-3f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-3f) << what;
}

Vector2<float> corner(Sprite& sprite, std::size_t index)
{
    const QuadVertex& v = sprite.world_quads().at(0).v[index];
    return {v.x, v.y};
}

TimeStamp at(std::int32_t time)
{
    return TimeStamp{TimeStamp::millisecond_clock, time, nullptr};
}

TEST(LensDeformer, PushesPointsInsideTheCircleTowardsTheRim)
{
    struct Case {
        float warp;
        Vector2<float> point;
        Vector2<float> expected;
        const char* what;
    };
    // The sprite's origin is at (50, 50); the radius is 100.
    const Case cases[] = {
        {0.5f, {50, 50}, {50, 50}, "the origin itself stays"},
        {0.5f, {151, 50}, {151, 50}, "beyond the radius stays"},
        {0.5f, {150, 50}, {150, 50}, "on the rim stays"},
        {0.5f, {100, 50}, {125, 50}, "half the radius moves to three quarters"},
        {0.5f, {50, 0}, {50, -25}, "the same upwards"},
        {0.0f, {100, 50}, {100, 50}, "no warp moves nothing"},
        {1.0f, {60, 50}, {150, 50}, "full warp puts it on the rim"},
        {-0.5f, {100, 50}, {75, 50}, "a negative warp pulls inwards"},
    };
    SharedPtr<Tile> owner = tile_at({50, 50}, {10, 10});
    auto* lens = new LensDeformer;
    owner->set_deformer(SharedPtr<SpriteBase>(lens));
    for (const Case& c : cases) {
        lens->set_warp(c.warp);
        expect_near(bent(*lens, c.point), c.expected, c.what);
    }
}

TEST(LensDeformer, PropertiesRebuildTheSpriteAndUnknownIdsAreReported)
{
    // A 100 x 100 tile centred on (0, 0): its corners lie at 70.71 from the origin, which the
    // lens of radius 100 and warp 0.5 moves to 100 × (k + 0.5 × (1 − k)) with k = 0.7071.
    SharedPtr<Tile> owner = tile_at({0, 0}, {100, 100}, {50, 50});
    owner->set_deformer(SharedPtr<SpriteBase>(new LensDeformer));
    const float k = std::sqrt(2.0f) * 50.0f / 100.0f;
    const float moved = 100.0f * (k + 0.5f * (1.0f - k)) / std::sqrt(2.0f);
    expect_near(corner(*owner, 0), {-moved, -moved}, "warped corner");

    float warp = 0.0f;
    ASSERT_TRUE(owner->deformer()->set_property(LensDeformer::property_warp, type_name<float>(), 1, &warp));
    expect_near(corner(*owner, 0), {-50, -50}, "corner without warp");
    float radius = 10.0f;
    warp = 1.0f;
    owner->deformer()->set_property(LensDeformer::property_radius, type_name<float>(), 1, &radius);
    owner->deformer()->set_property(LensDeformer::property_warp, type_name<float>(), 1, &warp);
    expect_near(corner(*owner, 2), {50, 50}, "a corner outside a small lens");

    std::string label;
    owner->deformer()->property(property_label, LensDeformer::property_radius, &label);
    EXPECT_EQ(label, "Lens Radius");
    LogCapture log;
    float ignored = 3.0f;
    owner->deformer()->property(property_get, 1000, &ignored);
    EXPECT_THAT(log.text("error"), HasSubstr("Property not found."));
    EXPECT_EQ(ignored, 3.0f);
    // Every property asked at once answers with the first one, the radius.
    float first = 0.0f;
    owner->deformer()->property(property_get, all_properties, &first);
    EXPECT_EQ(first, 10.0f);
}

TEST(MorphDeformer, CollectsTheSpritesCornersAndMovesThemByProperty)
{
    // The corners of a 10 x 20 tile at (5, 5), ordered by y then x.
    SharedPtr<Tile> owner = tile_at({5, 5}, {10, 20});
    auto* morph = new MorphDeformer;
    owner->set_deformer(SharedPtr<SpriteBase>(morph));
    std::int32_t count = 0;
    morph->property(property_count, MorphDeformer::property_vertexes, &count);
    ASSERT_EQ(count, 8);
    float points[8] = {};
    morph->property(property_get, MorphDeformer::property_vertexes, points);
    const float expected[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    for (int i = 0; i < 8; ++i)
        EXPECT_FLOAT_EQ(points[i], expected[i]) << i;
    expect_near(corner(*owner, 2), {15, 25}, "bottom right before");

    // The bottom-right corner is pulled out to twice the width; the others stay.
    points[6] = 2.0f;
    ASSERT_TRUE(morph->set_property(MorphDeformer::property_vertexes, type_name<float>(), 8, points));
    expect_near(corner(*owner, 2), {25, 25}, "bottom right after");
    expect_near(corner(*owner, 1), {15, 5}, "top right stays");

    // A morph that matches no vertex changes nothing.
    morph->morphs().push_back({{0.5f, 0.5f}, {3, 3}});
    owner->invalidate();
    expect_near(corner(*owner, 0), {5, 5}, "top left stays");

    // A copy of the sprite copies the list element by element.
    const SharedPtr<Sprite> copy(rtti::clone<Sprite>(owner.get()));
    auto* copied = dynamic_cast<MorphDeformer*>(copy->deformer());
    ASSERT_NE(copied, nullptr);
    ASSERT_EQ(copied->morphs().size(), 5u);
    EXPECT_EQ(copied->morphs()[3].to, (Vector2<float>{2, 1}));
    expect_near(corner(*copy, 2), {25, 25}, "the copy's bottom right");
}

TEST(MorphDeformer, ASplineControllerAnimatesTheTargetPoints)
{
    // The bottom-right corner of a 10 x 20 tile moves from (1, 1) to (2, 1) in normalised
    // coordinates over the tile's 1000 ms timer.
    SharedPtr<Tile> owner = tile_at({0, 0}, {10, 20});
    owner->set_timer(new SpriteTimer);
    auto* morph = new MorphDeformer;
    owner->set_deformer(SharedPtr<SpriteBase>(morph));
    auto* spline = new SCKSpline;
    spline->set_property_id(MorphDeformer::property_vertexes);
    spline->set_key(0.0f, float_key({0, 0, 1, 0, 0, 1, 1, 1}));
    spline->set_key(1.0f, float_key({0, 0, 1, 0, 0, 1, 2, 1}));
    morph->add_controller(SharedPtr<SpriteBase>(spline));
    const struct Step {
        std::int32_t time;
        float x;
    } steps[] = {{0, 10}, {500, 15}, {1000, 20}};
    for (const Step& s : steps) {
        owner->tick(at(s.time));
        expect_near(corner(*owner, 2), {s.x, 20}, "bottom right at " + std::to_string(s.time));
        expect_near(corner(*owner, 1), {10, 0}, "top right at " + std::to_string(s.time));
    }
}

// A 100 x 10 tile with its pivot on its left edge: distances by x reach 100 at the right
// edge, so a vertex x units right of the pivot lags x × 5 ms behind over a 500 ms trail.
struct TrailRig
{
    TrailRig()
    {
        auto* timer = new SpriteTimer;
        timer->set_period(100000);
        owner->set_timer(timer);
        trail->set_metric(TrailDeformer::metric_x);
        owner->set_deformer(SharedPtr<SpriteBase>(trail));
    }

    // Where the vertex x units right of the pivot is drawn (x only).
    float drawn_x(float x)
    {
        const Vector2<float> world = owner->world_transform().transform_point({x, 0});
        return bent(*trail, world).x;
    }

    SharedPtr<Tile> owner = tile_at({0, 0}, {100, 10}, {0, 5});
    TrailDeformer* trail = new TrailDeformer;
};

TEST(TrailDeformer, VerticesFollowAJumpLaterTheFartherTheyAre)
{
    TrailRig rig;
    rig.owner->tick(at(0));
    EXPECT_FLOAT_EQ(rig.trail->extent(), 100.0f);
    EXPECT_FLOAT_EQ(rig.drawn_x(100), 100.0f) << "a sprite at rest is drawn as it is";
    rig.owner->tick(at(50));
    rig.owner->set_position(Vector2<float>{1000, 0});
    rig.owner->tick(at(100));
    ASSERT_EQ(rig.trail->samples().size(), 3u);

    // At 100 ms: the pivot is where the sprite is; the far edge (lag 500) is before the
    // oldest sample and takes it.
    EXPECT_FLOAT_EQ(rig.drawn_x(0), 1000.0f);
    EXPECT_FLOAT_EQ(rig.drawn_x(100), 100.0f);
    // x = 10 (lag 50, time 50) is the sample at 50; x = 4 (lag 20, time 80) lies 30/50 of
    // the way from the sample at 50 to the one at 100.
    EXPECT_FLOAT_EQ(rig.drawn_x(10), 10.0f);
    EXPECT_NEAR(rig.drawn_x(4), 4.0f + 1000.0f * 0.6f, 1e-3f);

    // The drawn corners of the tile are bent the same way.
    EXPECT_NEAR(corner(*rig.owner, 0).x, 1000.0f, 1e-3f);
    EXPECT_NEAR(corner(*rig.owner, 1).x, 100.0f, 1e-3f);

    // 500 ms after the jump the far edge has caught up.
    rig.owner->tick(at(600));
    EXPECT_FLOAT_EQ(rig.drawn_x(100), 1100.0f);
}

TEST(TrailDeformer, ANewSampleWithinOneIntervalOverwritesTheNewest)
{
    TrailRig rig;
    rig.owner->tick(at(0));
    rig.owner->tick(at(20));
    ASSERT_EQ(rig.trail->samples().size(), 2u);
    rig.owner->set_position(Vector2<float>{7, 0});
    rig.owner->tick(at(25));
    ASSERT_EQ(rig.trail->samples().size(), 2u);
    EXPECT_EQ(rig.trail->samples().back().time, 20);
    EXPECT_FLOAT_EQ(rig.trail->samples().back().world.m[6], 7.0f);
    // Samples older than the trail are dropped.
    rig.owner->tick(at(700));
    ASSERT_EQ(rig.trail->samples().size(), 1u);
    EXPECT_EQ(rig.trail->samples().front().time, 700);
}

TEST(TrailDeformer, ASpriteWithoutExtentIsDrawnWhereItIs)
{
    // No size and the pivot at a corner: every corner is at distance 0.
    TrailRig rig;
    rig.owner->set_size(Vector2<float>{0, 0});
    rig.owner->set_pivot(Vector2<float>{0, 0});
    rig.owner->tick(at(0));
    EXPECT_EQ(rig.trail->extent(), 0.0f);
    rig.owner->set_position(Vector2<float>{30, 0});
    rig.owner->tick(at(100));
    EXPECT_FLOAT_EQ(rig.drawn_x(0), 30.0f);
    EXPECT_FLOAT_EQ(rig.drawn_x(40), 70.0f);
    for (const Quad& quad : rig.owner->world_quads())
        for (const QuadVertex& v : quad.v)
            EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
}

TEST(TrailDeformer, AnUnknownMetricIsReportedAndMeasuresNothing)
{
    TrailRig rig;
    rig.trail->set_metric(7);
    LogCapture log;
    rig.owner->tick(at(0));
    EXPECT_THAT(log.text("error"), HasSubstr("Unimplemented code reached."));
    EXPECT_EQ(rig.trail->extent(), 0.0f);
}

TEST(Deformers, StoredFormsRoundTripAndRejectDamage)
{
    LensDeformer lens;
    lens.set_radius(12.5f);
    lens.set_warp(-0.25f);
    LensDeformer lens_read;
    load_bytes(lens_read, own_bytes(lens));
    EXPECT_EQ(lens_read.radius(), 12.5f);
    EXPECT_EQ(lens_read.warp(), -0.25f);

    MorphDeformer morph;
    morph.morphs() = {{{0, 1}, {2, 3}}, {{4, 5}, {6, 7}}};
    MorphDeformer morph_read;
    load_bytes(morph_read, own_bytes(morph));
    ASSERT_EQ(morph_read.morphs().size(), 2u);
    EXPECT_EQ(morph_read.morphs()[1].from, (Vector2<float>{4, 5}));
    EXPECT_EQ(morph_read.morphs()[1].to, (Vector2<float>{6, 7}));

    TrailDeformer trail;
    trail.set_duration(300);
    trail.set_interval(7);
    trail.set_metric(2);
    const std::string trail_bytes = own_bytes(trail);
    TrailDeformer trail_read;
    load_bytes(trail_read, trail_bytes);
    EXPECT_EQ(trail_read.duration(), 300);
    EXPECT_EQ(trail_read.interval(), 7);
    EXPECT_EQ(trail_read.metric(), 2);
    // Version 0 has no metric: the reader keeps its own.
    TrailDeformer old_read;
    old_read.set_metric(1);
    load_bytes(old_read, u8(0) + trail_bytes.substr(1, trail_bytes.size() - 5));
    EXPECT_EQ(old_read.duration(), 300);
    EXPECT_EQ(old_read.metric(), 1);

    struct Case {
        const char* what;
        std::string bytes;
        std::function<void(const std::string&)> read;
    };
    const auto reader = [](auto made) {
        return [made](const std::string& bytes) mutable { load_bytes(made, bytes); };
    };
    const std::string lens_bytes = own_bytes(lens);
    const std::string morph_bytes = own_bytes(morph);
    const Case cases[] = {
        {"lens", lens_bytes, reader(LensDeformer())},
        {"morph", morph_bytes, reader(MorphDeformer())},
        {"trail", trail_bytes, reader(TrailDeformer())},
        {"plain", own_bytes(SpriteDeformer()), reader(SpriteDeformer())},
    };
    for (const Case& c : cases) {
        const std::uint8_t newer = static_cast<std::uint8_t>(c.bytes[0] + 1);
        EXPECT_THAT(error_of([&] { c.read(u8(newer) + c.bytes.substr(1)); }), HasSubstr("unsupported version."))
            << c.what;
        EXPECT_THAT(error_of([&] { c.read(c.bytes.substr(0, c.bytes.size() - 1)); }),
                    HasSubstr("unexpected end of buffer."))
            << c.what;
    }
    // A morph count far beyond the bytes is refused before anything is made for it.
    EXPECT_THAT(error_of([&] { reader(MorphDeformer())(morph_bytes.substr(0, morph_bytes.size() - 36) + le32(0x10000000)); }),
                HasSubstr("unexpected end of buffer."));
}

}
}
