#include "engine/base/color.h"

#include "engine/base/exception.h"
#include "engine/base/math_utils.h"
#include "engine/base/string_stream.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(Color, EqualityWithinTheFloatEpsilon)
{
    const Color base{0.5f, 0.25f, 0.125f, 1.0f};
    struct Case {
        float delta;
        bool equal;
    };
    const Case cases[] = {{0.0f, true}, {1e-8f, true}, {1e-6f, false}, {-1e-6f, false}};
    for (const Case& c : cases) {
        for (int channel = 0; channel < 4; ++channel) {
            Color other = base;
            float* channels[] = {&other.r, &other.g, &other.b, &other.a};
            *channels[channel] += c.delta;
            EXPECT_EQ(base == other, c.equal) << "delta " << c.delta << " channel " << channel;
        }
    }
}

TEST(Color, ArithmeticAndSaturate)
{
    const Color a{0.5f, 0.5f, 0.5f, 0.5f};
    const Color b{0.25f, 0.0f, 1.0f, 0.5f};
    EXPECT_EQ(a + b, (Color{0.75f, 0.5f, 1.5f, 1.0f}));
    EXPECT_EQ(a - b, (Color{0.25f, 0.5f, -0.5f, 0.0f}));
    EXPECT_EQ(a * 2.0f, (Color{1, 1, 1, 1}));
    EXPECT_EQ(a / 2.0f, (Color{0.25f, 0.25f, 0.25f, 0.25f}));

    Color wild{-1.0f, 0.5f, 2.0f, 1.5f};
    wild.saturate();
    EXPECT_EQ(wild, (Color{0.0f, 0.5f, 1.0f, 1.0f}));
}

TEST(Color, InterpolationGivesTheFirstAtOne)
{
    const Color3 a{1, 0, 0};
    const Color3 b{0, 0, 1};
    struct Case {
        float t;
        Color3 expected;
    };
    const Case cases[] = {{1.0f, {1, 0, 0}}, {0.0f, {0, 0, 1}}, {0.25f, {0.25f, 0, 0.75f}}};
    for (const Case& c : cases) {
        const Color3 mixed = interpolate_color3(a, b, c.t);
        EXPECT_FLOAT_EQ(mixed.r, c.expected.r);
        EXPECT_FLOAT_EQ(mixed.g, c.expected.g);
        EXPECT_FLOAT_EQ(mixed.b, c.expected.b);
    }
    EXPECT_EQ(interpolate(Color{1, 1, 1, 1}, Color{0, 0, 0, 0}, 0.5f), (Color{0.5f, 0.5f, 0.5f, 0.5f}));
}

TEST(Color, TextFormAlphaIsOptional)
{
    struct Case {
        const char* text;
        Color expected;
        const char* written;
    };
    const Case cases[] = {
        {"(1, 0.5, 0)", {1, 0.5f, 0, 1}, "(1, 0.5, 0)"},
        {"(0.25,0.5,0.75,0.5)", {0.25f, 0.5f, 0.75f, 0.5f}, "(0.25, 0.5, 0.75, 0.5)"},
        {"( 0 , 0 , 0 , 1 )", {0, 0, 0, 1}, "(0, 0, 0)"},
    };
    for (const Case& c : cases) {
        StringStream in(c.text);
        Color color;
        read_color(in, color);
        EXPECT_EQ(color, c.expected) << c.text;
        EXPECT_TRUE(in.is_eof());

        StringStream out;
        write_color(out, color);
        EXPECT_EQ(out.str(), c.written);

        StringStream again(out.str());
        Color read_back;
        read_color(again, read_back);
        EXPECT_EQ(read_back, color);
    }
}

TEST(Color, TextReadErrors)
{
    for (const char* text : {"(1, 2)", "(1, 2, 3, 4, 5)", "1, 2, 3)", "(1, 2, 3"}) {
        StringStream in(text);
        Color color;
        EXPECT_THROW(read_color(in, color), IOException) << text;
    }
}

TEST(Color, Color3TextRead)
{
    StringStream in("(0.5, 1, 0)");
    Color3 color;
    in >> color;
    EXPECT_FLOAT_EQ(color.r, 0.5f);
    EXPECT_FLOAT_EQ(color.g, 1.0f);
    EXPECT_FLOAT_EQ(color.b, 0.0f);

    StringStream four("(0.5, 1, 0, 1)");
    EXPECT_THROW(four >> color, IOException);
}

}
}
