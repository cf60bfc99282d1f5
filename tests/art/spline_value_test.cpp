#include "engine/art/spline_value.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "art_test_support.h"
#include "engine/base/bstream.h"
#include "engine/base/string_stream.h"
#include "spline_test_support.h"

namespace kq {
namespace {

using test::error_of;
using test::near;
using test::vec;

// Vectors of different lengths combine over the left operand; what the right one lacks is 0.
// Under the address sanitizer a read past either vector fails here too.
TEST(SplineValue, VectorsOfDifferentLengthsStayWithinBoth)
{
    using Op = std::function<VectorD<float>(const VectorD<float>&, const VectorD<float>&)>;
    const Op sum = [](const auto& a, const auto& b) { return spline_value::sum(a, b); };
    const Op difference = [](const auto& a, const auto& b) { return spline_value::difference(a, b); };
    const Op blend = [](const auto& a, const auto& b) { return spline_value::blend(a, b, 0.5f); };
    const Op add_to = [](VectorD<float> a, const auto& b) { spline_value::add_to(a, b); return a; };
    const Op subtract_from = [](VectorD<float> a, const auto& b) { spline_value::subtract_from(a, b); return a; };
    struct Case {
        const char* name;
        Op op;
        VectorD<float> a, b;
        std::initializer_list<float> expected;
    };
    const VectorD<float> six = vec({1, 2, 3, 4, 5, 6});  // on the heap, past the inline room
    const Case cases[] = {
        {"sum, shorter right", sum, vec({1, 2, 3}), vec({10}), {11, 2, 3}},
        {"sum, longer right", sum, vec({1}), six, {2}},
        {"difference, equal", difference, vec({5, 5}), vec({1, 2}), {4, 3}},
        {"difference, empty right", difference, six, vec({}), {1, 2, 3, 4, 5, 6}},
        {"difference, empty left", difference, vec({}), six, {}},
        {"blend, shorter right", blend, vec({2, 4}), vec({4}), {3, 4}},
        {"add_to, longer right", add_to, vec({1, 1}), six, {2, 3}},
        {"subtract_from, heap left", subtract_from, six, vec({1, 1}), {0, 1, 3, 4, 5, 6}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(near(c.op(c.a, c.b), c.expected)) << c.name;
    EXPECT_TRUE(near(spline_value::product(vec({1, -2}), 3.0f), {3, -6}));
}

TEST(SplineValue, BinaryFormsHaveTheirFixedSizesAndReadBack)
{
    StringBuffer buffer;
    BStream out(buffer);
    spline_value::store(out, vec({1.5f, -2}));
    EXPECT_EQ(buffer.str(), test::le32(2) + test::le32(0x3FC00000) + test::le32(0xC0000000));
    spline_value::store(out, Vector2<float>{3, 4});
    spline_value::store(out, Color{0.25f, 0.5f, 0.75f, 1});
    EXPECT_EQ(buffer.str().size(), 12u + 8u + 16u);

    StringBuffer readable(buffer.str());
    BStream in(readable);
    VectorD<float> v = vec({9, 9, 9, 9, 9, 9});
    Vector2<float> p;
    Color c;
    spline_value::load(in, v);
    spline_value::load(in, p);
    spline_value::load(in, c);
    EXPECT_TRUE(near(v, {1.5f, -2}));
    EXPECT_EQ(p, (Vector2<float>{3, 4}));
    EXPECT_EQ(c, (Color{0.25f, 0.5f, 0.75f, 1}));
}

// A damaged element count is refused before anything is allocated for it.
TEST(SplineValue, ElementCountsAreCheckedAgainstWhatIsLeft)
{
    const std::string cases[] = {
        test::le32(0xFFFFFFFF) + test::le32(0),
        test::le32(2) + test::le32(0),
        test::le32(1) + "ab",
    };
    for (const std::string& bytes : cases) {
        VectorD<float> v;
        StringBuffer buffer(bytes);
        BStream stream(buffer);
        EXPECT_NE(error_of([&] { spline_value::load(stream, v); }).find("unexpected end of buffer."),
                  std::string::npos);
    }
}

TEST(SplineValue, TextFormsReadBackAsWritten)
{
    StringStream out;
    spline_value::write_text(out, vec({1, 2.5f, -3}));
    out << " ";
    spline_value::write_text(out, Vector2<float>{1, 2});
    out << " ";
    spline_value::write_text(out, Color{1, 1, 1, 1});
    out << " ";
    spline_value::write_text(out, Color{0, 0, 0, 0});
    EXPECT_EQ(out.str(), "{1 2.5 -3} (1,2) (1, 1, 1) (0, 0, 0, 0)");

    StringStream in(out.str());
    VectorD<float> v;
    Vector2<float> p;
    Color opaque, clear;
    spline_value::read_text(in, v);
    spline_value::read_text(in, p);
    spline_value::read_text(in, opaque);
    spline_value::read_text(in, clear);
    EXPECT_TRUE(near(v, {1, 2.5f, -3}));
    EXPECT_EQ(p, (Vector2<float>{1, 2}));
    EXPECT_EQ(opaque, (Color{1, 1, 1, 1}));
    EXPECT_EQ(clear, (Color{0, 0, 0, 0}));
}

// Bad numbers and a missing end are the stream's errors, naming the stream and the line.
TEST(SplineValue, TextErrorsNameTheirPlace)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"{1\n x}", "at line 2) invalid number 'x'."},
        {"{1 2", "unexcepted end of file reached."},
        {"", "unexcepted end of file reached."},
    };
    for (const Case& c : cases) {
        StringStream in(c.text);
        VectorD<float> v;
        EXPECT_NE(error_of([&] { spline_value::read_text(in, v); }).find(c.message), std::string::npos)
            << c.text;
    }
}

// A key time that cannot be ordered among the others is refused in both forms.
TEST(SplineValue, KeyTimesMustBeNumbers)
{
    for (const char* text : {"nan", "-nan", "zero"}) {
        StringStream in(text);
        EXPECT_NE(error_of([&] { spline_value::read_time(in); }).find("invalid number"), std::string::npos) << text;
    }
    StringStream infinite("inf");
    EXPECT_EQ(spline_value::read_time(infinite), std::numeric_limits<float>::infinity());

    StringBuffer buffer(test::le32(0x7FC00000));
    BStream stream(buffer);
    EXPECT_NE(error_of([&] { spline_value::read_time(stream); }).find("invalid key time."), std::string::npos);
}

}
}
