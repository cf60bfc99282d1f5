#include "engine/base/vector2.h"

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kq {
namespace {

TEST(Vector2, Arithmetic)
{
    const Vector2<float> v{3, 4};
    EXPECT_EQ(v - Vector2<float>({1, 1}), (Vector2<float>{2, 3}));
    EXPECT_EQ(v * 2.0f, (Vector2<float>{6, 8}));
    EXPECT_EQ(v / 2.0f, (Vector2<float>{1.5f, 2}));
    EXPECT_FLOAT_EQ(Vector2<float>::distance({1, 1}, {4, 5}), 5.0f);

    const Vector2<float> polar = Vector2<float>::from_polar(std::acos(-1.0f) / 2, 2.0f);
    EXPECT_NEAR(polar.x, 0.0f, 1e-6f);
    EXPECT_NEAR(polar.y, 2.0f, 1e-6f);
}

TEST(Vector2, LengthSetting)
{
    const Vector2<float> scaled = Vector2<float>{3, 4}.with_length(10);
    EXPECT_FLOAT_EQ(scaled.x, 6);
    EXPECT_FLOAT_EQ(scaled.y, 8);

    Vector2<float> v{0, -2};
    v.set_length(5);
    EXPECT_EQ(v, (Vector2<float>{0, -5}));

    Vector2<float> zero;
    zero.set_length(3);  // no direction to keep: stays zero instead of becoming NaN
    EXPECT_EQ(zero, (Vector2<float>{0, 0}));
}

TEST(Vector2, TextRead)
{
    struct Case {
        const char* text;
        Vector2<float> expected;
    };
    const Case cases[] = {
        {"(1, 2)", {1, 2}},
        {"( -1.5 ,2.25 )", {-1.5f, 2.25f}},
    };
    for (const Case& c : cases) {
        StringStream in(c.text);
        Vector2<float> v;
        in >> v;
        EXPECT_EQ(v, c.expected) << c.text;
        EXPECT_TRUE(in.is_eof());
    }
}

TEST(Vector2, IntTextReadUsesRadixLetters)
{
    StringStream in("(10h, -3)");
    Vector2<int> v;
    in >> v;
    EXPECT_EQ(v, (Vector2<int>{16, -3}));
}

TEST(Vector2, TextReadErrors)
{
    for (const char* text : {"1, 2)", "(1 2)", "(1, 2", ""}) {
        StringStream in(text);
        Vector2<float> v;
        EXPECT_THROW(in >> v, IOException) << text;
    }
}

}
}
