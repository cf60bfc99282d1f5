#include "engine/art/spline_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "art_test_support.h"
#include "engine/base/string_stream.h"
#include "spline_test_support.h"

namespace kq {
namespace {

using test::near;
using test::vec;
using Curve = CurveSpline<float, VectorD<float>>;

// Keys 0 -> [0] and 1 -> [10], the second shaped by `bend`.
Curve ramp(float bend)
{
    Curve spline;
    spline.set_key(0, vec({0}), 0.9f);  // the first key's bend plays no part
    spline.set_key(1, vec({10}), bend);
    return spline;
}

TEST(CurveSpline, BendShapesTheInterval)
{
    struct Case {
        float bend;
        float t;
        float expected;
    };
    const Case cases[] = {
        {0.5f, 0.25f, 2.5f},   {0.25f, 0.25f, 4.4590f}, {0.75f, 0.25f, 1.2132f}, {0.25f, 1, 10},
        {0.25f, -1, 0},        {0.25f, 3, 10},          {0, 0, 0},               {0, 0.001f, 10},
        {0, 0.5f, 10},         {1, 1, 10},
    };
    for (const Case& c : cases) {
        const VectorD<float> v = ramp(c.bend).value(c.t);
        ASSERT_EQ(v.size(), 1u);
        EXPECT_NEAR(v[0], c.expected, 1e-3f) << "bend " << c.bend << " t " << c.t;
    }
}

TEST(CurveSpline, SettingKeysAndBends)
{
    Curve spline;
    spline.set_key(1, vec({1}), -1);
    EXPECT_EQ(spline.keys().at(1).bend, 0.5f);  // new key
    spline.set_key(1, vec({2}), 0.2f);
    spline.set_key(1, vec({3}), -1);
    EXPECT_EQ(spline.keys().at(1).bend, 0.2f);  // kept
    EXPECT_TRUE(near(spline.keys().at(1).value, {3}));
    spline.set_key(1, vec({4}));
    EXPECT_EQ(spline.keys().at(1).bend, 0.5f);

    spline.set_key(2, vec({5}), 0.1f);
    spline.move_key(2, 3);
    EXPECT_EQ(spline.keys().at(3).bend, 0.1f);
    spline.move_key(7, 8);  // from a time without a key: the default record
    EXPECT_TRUE(near(spline.keys().at(8).value, {0}));
    EXPECT_EQ(spline.keys().at(8).bend, -1.0f);

    Curve::KeyMap keys;
    spline.get_keys(keys);
    spline.set_keys(keys);
    for (const auto& [time, record] : spline.keys())
        EXPECT_EQ(record.bend, 0.5f) << time;
}

// An end key whose bend was never set holds the start value until the very end.
TEST(CurveSpline, UnsetBendHoldsTheStartValue)
{
    Curve spline;
    spline.set_key(0, vec({10}));
    spline.move_key(5, 1);  // no key at 5: the key at 1 is [0] with its bend not set
    for (float t : {0.5f, 0.999f})
        EXPECT_NEAR(spline.value(t)[0], 10, 1e-2f) << t;
    EXPECT_TRUE(near(spline.value(1), {0}));
}

TEST(CurveSpline, BinaryFormCarriesTheBend)
{
    const Curve spline = ramp(0.25f);
    const std::string bytes = test::own_bytes(spline);
    EXPECT_EQ(bytes.size(), 4u + 2 * (4 + 4 + 4 + 4));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), test::le32(0x3E800000));
    Curve read;
    test::load_bytes(read, bytes);
    EXPECT_EQ(read.keys().at(1).bend, 0.25f);
    EXPECT_NEAR(read.value(0.25f)[0], 4.4590f, 1e-3f);
}

TEST(CurveSpline, HasNoTrackerAndNoText)
{
    const Curve spline = ramp(0.5f);
    EXPECT_FALSE(spline.create_tracker());
    StringStream out;
    spline.write_text(out);
    EXPECT_EQ(out.str(), "");
    Curve read = spline;
    StringStream in("{0, {5}}");
    read.read_text(in);
    EXPECT_EQ(read.size(), 2u);
    EXPECT_EQ(in.peek_token(), "{");
}

}
}
