#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/base/random.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin_path.h"
#include "game/field/effects/curve_particle_target.h"
#include "tests/field/item_fixture.h"
#include "tests/res/test_skin_environment.h"

namespace kq {
namespace {

std::vector<CurveSegment> curve_file(const std::string& text)
{
    std::vector<CurveSegment> segments;
    StringStream stream(text);
    read_curve_file(stream, segments);
    return segments;
}

void expect_point(Vector2<float> actual, float x, float y, const std::string& what = "")
{
    EXPECT_NEAR(actual.x, x, 0.01f) << what;
    EXPECT_NEAR(actual.y, y, 0.01f) << what;
}

Vector2<float> point_at(CurveParticleTarget& target, std::int32_t key)
{
    Vector2<float> out{-1.0f, -1.0f};
    target.target_point(key, out);
    return out;
}

// The length of a cubic by fine sampling, to compare with the halving measure.
float sampled_length(const CurveSegment& segment)
{
    float length = 0.0f;
    Vector2<float> last = segment.p0;
    for (int i = 1; i <= 10000; ++i) {
        const Vector2<float> next = segment.point(static_cast<float>(i) / 10000.0f);
        length += std::hypot(next.x - last.x, next.y - last.y);
        last = next;
    }
    return length;
}

TEST(CurveFile, LineFromAMoveIsASegmentWithInnerPointsAtThirds)
{
    // Either case of each operator does the same.
    for (const char* text : {"10 20 m 30 20 l", "10 20 M 30 20 L"}) {
        const auto segments = curve_file(text);
        ASSERT_EQ(segments.size(), 1u) << text;
        expect_point(segments[0].p0, 10, -20, text);
        expect_point(segments[0].p1, 16.67f, -20, text);
        expect_point(segments[0].p2, 23.33f, -20, text);
        expect_point(segments[0].p3, 30, -20, text);
        CurveParticleTarget target;
        target.set_segments(segments);
        EXPECT_FLOAT_EQ(target.total_length(), 20.0f) << text;
    }
}

TEST(CurveFile, CurveTakesFourPointsAndIsMeasuredByHalving)
{
    for (const char* text : {"0 0 M 0 3 3 3 3 0 C", "0 0 m 0 3 3 3 3 0 c"}) {
        const auto segments = curve_file(text);
        ASSERT_EQ(segments.size(), 1u) << text;
        expect_point(segments[0].p0, 0, 0, text);
        expect_point(segments[0].p1, 0, -3, text);
        expect_point(segments[0].p2, 3, -3, text);
        expect_point(segments[0].p3, 3, 0, text);
        EXPECT_NEAR(curve_length(segments[0]), sampled_length(segments[0]), 0.05f) << text;
    }
}

TEST(CurveFile, OperatorsChainFromTheCurrentPointAndMovesStartElsewhere)
{
    const auto segments = curve_file("0 0 m 3 0 l 3 4 l 100 100 7 7 m 9 7 l");
    ASSERT_EQ(segments.size(), 3u);
    expect_point(segments[1].p0, 3, 0, "a line goes on from the end of the last");
    expect_point(segments[1].p3, 3, -4);
    expect_point(segments[2].p0, 7, -7, "a move keeps only its last point");
    expect_point(segments[2].p3, 9, -7);
}

TEST(CurveFile, BadTextIsAStreamErrorWithItsLine)
{
    struct Case
    {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"10", "at line 1) unexcepted end of file reached."},
        {"1 2 m\n3 x l", "at line 2) invalid number 'x'."},
        {"m", "at line 1) curve operator 'm' needs 1 points, 0 given."},
        {"1 2 L", "at line 1) curve operator 'L' needs 2 points, 1 given."},
        {"1 2 m 3 4 5 6 c", "at line 1) curve operator 'c' needs 4 points, 3 given."},
    };
    for (const Case& c : cases) {
        const std::string error = test::error_of([&] { curve_file(c.text); });
        EXPECT_TRUE(error.ends_with(c.message)) << c.text << ": " << error;
    }
}

TEST(CurveLength, EndsOnNonFiniteAndHugeCoordinates)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const CurveSegment bad[] = {
        {{0, 0}, {nan, 0}, {3, 3}, {3, 0}},
        {{0, 0}, {inf, 0}, {-inf, 3}, {3, 0}},
        {{0, 0}, {0, 3e37f}, {3e37f, 3e37f}, {3e37f, 0}},
    };
    for (const CurveSegment& segment : bad)
        curve_length(segment);  // returns at all
    const CurveSegment wide{{0, 0}, {0, 1e6f}, {1e6f, 1e6f}, {1e6f, 0}};
    EXPECT_NEAR(curve_length(wide) / sampled_length(wide), 1.0f, 1e-4f) << "a wide curve is still measured";
}

TEST(CurveParticleTarget, KeysAreFractionsOfTheWholeLength)
{
    CurveParticleTarget target;
    // 10 long, then a 30 long line elsewhere.
    target.set_segments(curve_file("0 0 m 10 0 l 100 0 m 100 30 l"));
    ASSERT_FLOAT_EQ(target.total_length(), 40.0f);
    expect_point(point_at(target, 0), 0, 0, "key 0 is the start");
    expect_point(point_at(target, 10000), 100, -10, "key 10000 is half the length");
    expect_point(point_at(target, 5000), 100, 0, "a segment's end is the next one's start");
    expect_point(point_at(target, 2500), 5, 0);
    expect_point(point_at(target, 20000), 0, 0, "the very end is past the last segment");

    Transform transform = Transform::compose({2, 2}, 0, {1000, 500});
    target.set_transform(transform);
    expect_point(point_at(target, 2500), 1010, 500, "the transform maps goal points");
}

TEST(CurveParticleTarget, WithoutSegmentsEveryKeyIsTheOrigin)
{
    CurveParticleTarget target;
    target.set_transform(Transform::compose({1, 1}, 0, {50, 50}));
    for (std::int32_t key : {0, 1, 10000, 19999})
        expect_point(point_at(target, key), 0, 0, "not transformed either");
}

TEST(CurveParticleTarget, DrawnKeysSpanTheRangeFromTheGenerator)
{
    CurveParticleTarget target;
    random_seed(7);
    int low = CurveParticleTarget::key_count;
    int high = -1;
    for (int i = 0; i < 2000; ++i) {
        const int key = target.next_index();
        low = std::min(low, key);
        high = std::max(high, key);
    }
    EXPECT_GE(low, 0);
    EXPECT_LT(high, 20000);
    EXPECT_GT(high - low, 19000);
    random_seed(7);
    const int r = random_next();
    random_seed(7);
    EXPECT_EQ(target.next_index(), r * 20000 / 32768);
}

TEST(CurveParticleTarget, ReadsTheListThenAppendsTheCurveFile)
{
    test::TestSkinEnvironment skin(R"(
        full { curves [{ ((0, 0), (1, 0), (2, 0), (3, 0)) ((5, 5), (5, 6), (5, 7), (5, 8)) }]
               ai_curves "10 20 m 30 20 l" }
        list_only { curves [{ }] }
        no_list { ai_curves "1 1 m 2 2 l" }
        cut { curves [{ ((0, 0), (1, 0)] }
    )");
    CurveParticleTarget target;
    target.read_skin(SkinPath("full"));
    ASSERT_EQ(target.segments().size(), 3u);
    expect_point(target.segments()[1].p3, 5, 8);
    expect_point(target.segments()[2].p0, 10, -20);
    EXPECT_EQ(target.lengths(), (std::vector<float>{3, 3, 20}));
    EXPECT_FLOAT_EQ(target.total_length(), 26.0f);

    target.read_skin(SkinPath("list_only"));
    EXPECT_TRUE(target.segments().empty()) << "a new load replaces what was there";
    EXPECT_EQ(target.total_length(), 0.0f);

    EXPECT_EQ(test::error_of([&] { target.read_skin(SkinPath("no_list")); }),
              "(in service [skin]) node not found [no_list.curves]");
    EXPECT_NE(test::error_of([&] { target.read_skin(SkinPath("cut")); }), "");
}

}
}
