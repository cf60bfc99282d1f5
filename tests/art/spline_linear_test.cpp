#include "engine/art/spline_linear.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "art_test_support.h"
#include "engine/art/spline_cubic.h"
#include "engine/art/spline_curve.h"
#include "engine/base/bstream.h"
#include "engine/base/string_stream.h"
#include "engine/base/type_desc.h"
#include "engine/base/type_registry.h"
#include "spline_test_support.h"

namespace kq {
namespace {

using test::error_of;
using test::near;
using test::vec;
using Linear = LinearSpline<float, VectorD<float>>;

Linear spline_of(std::initializer_list<std::pair<float, VectorD<float>>> keys)
{
    Linear spline;
    for (const auto& [time, value] : keys)
        spline.set_key(time, value);
    return spline;
}

TEST(LinearSpline, ValuesInsideAndOutsideTheKeys)
{
    const Linear two = spline_of({{0, vec({0})}, {1, vec({10})}});
    const Linear three = spline_of({{0, vec({0, 0})}, {1, vec({10, 20})}, {3, vec({0, 40})}});
    const Linear one = spline_of({{2, vec({7, 8})}});
    struct Case {
        const Linear* spline;
        float t;
        std::initializer_list<float> expected;
    };
    const Case cases[] = {
        {&two, -1, {0}},     {&two, 0, {0}},        {&two, 0.25f, {2.5f}},  {&two, 1, {10}},
        {&two, 5, {10}},     {&three, 1, {10, 20}}, {&three, 2, {5, 30}},   {&three, 3, {0, 40}},
        {&three, 0.5f, {5, 10}}, {&one, -100, {7, 8}}, {&one, 2, {7, 8}},   {&one, 100, {7, 8}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(near(c.spline->value(c.t), c.expected)) << "t = " << c.t;
}

TEST(LinearSpline, NearestTimeGivesATieToTheEarlierKey)
{
    const Linear spline = spline_of({{0, vec({0})}, {1, vec({1})}, {3, vec({3})}});
    const std::pair<float, float> cases[] = {{-5, 0}, {0, 0}, {0.5f, 0}, {0.6f, 1}, {2, 1}, {2.1f, 3}, {9, 3}};
    for (const auto& [t, expected] : cases)
        EXPECT_EQ(spline.nearest_time(t), expected) << "t = " << t;
}

TEST(LinearSpline, KeyEditing)
{
    Linear spline = spline_of({{1, vec({1})}, {2, vec({2})}});
    spline.set_key(1, vec({5}));
    EXPECT_EQ(spline.size(), 2u);
    EXPECT_TRUE(near(spline.value(1), {5}));

    spline.move_key(2, 2);
    EXPECT_TRUE(near(spline.value(2), {2}));
    spline.move_key(3, 4);  // no key at 3: a default key appears at 4
    EXPECT_EQ(spline.keys().count(3), 0u);
    ASSERT_EQ(spline.keys().count(4), 1u);
    EXPECT_TRUE(spline.keys().at(4).empty());
    spline.move_key(1, 2);  // replaces the key at 2
    EXPECT_EQ(spline.size(), 2u);
    EXPECT_TRUE(near(spline.value(2), {5}));

    EXPECT_EQ(spline.erase_key(4), 1u);
    EXPECT_EQ(spline.erase_key(4), 0u);
    spline.clear();
    EXPECT_TRUE(spline.empty());
}

TEST(LinearSpline, OffsetAndKeyCopies)
{
    Linear spline = spline_of({{0, vec({1, 2})}, {1, vec({3})}});
    spline.offset(vec({10}));  // a shorter delta leaves the other elements alone
    EXPECT_TRUE(near(spline.value(0), {11, 2}));
    EXPECT_TRUE(near(spline.value(1), {13}));

    Linear::KeyMap keys;
    spline.get_keys(keys);
    EXPECT_EQ(keys.size(), 2u);
    Linear copy;
    copy.set_keys(keys);
    EXPECT_TRUE(near(copy.value(0), {11, 2}));
    // A spline given its own key map keeps it.
    copy.set_keys(copy.keys());
    copy.get_keys(const_cast<Linear::KeyMap&>(copy.keys()));
    EXPECT_EQ(copy.size(), 2u);
}

TEST(LinearSpline, BinaryForm)
{
    const Linear spline = spline_of({{0, vec({1})}, {0.5f, vec({2, 3})}});
    const std::string bytes = test::own_bytes(spline);
    EXPECT_EQ(bytes, test::le32(2) + test::le32(0) + test::le32(1) + test::le32(0x3F800000) +
                         test::le32(0x3F000000) + test::le32(2) + test::le32(0x40000000) + test::le32(0x40400000));
    Linear read = spline_of({{7, vec({7})}});
    test::load_bytes(read, bytes);
    EXPECT_EQ(read.size(), 2u);
    EXPECT_TRUE(near(read.value(0.5f), {2, 3}));
}

// A count that promises more keys than the bytes hold: the keys read whole before stay.
TEST(LinearSpline, ShortBinaryKeepsTheKeysReadBefore)
{
    const std::string one_key = test::le32(0) + test::le32(1) + test::le32(0x3F800000);
    struct Case {
        std::string bytes;
        std::uint32_t keys_left;
    };
    const Case cases[] = {
        {test::le32(3) + one_key, 1},
        {test::le32(2) + one_key + test::le32(0x3F800000), 2},  // time of the second, no value
        {test::le32(1), 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        Linear spline = spline_of({{9, vec({9})}});
        EXPECT_NE(error_of([&] { test::load_bytes(spline, c.bytes); }).find("unexpected end of buffer."),
                  std::string::npos);
        EXPECT_EQ(spline.size(), c.keys_left);
        EXPECT_EQ(spline.keys().count(9), 0u);
    }
}

TEST(LinearSpline, TextFormReadsBackAsWritten)
{
    Linear spline;
    StringStream in("{0, {1 2} 1, {3 4}}");
    spline.read_text(in);
    EXPECT_EQ(spline.size(), 2u);
    EXPECT_TRUE(near(spline.value(0), {1, 2}));
    EXPECT_TRUE(near(spline.value(1), {3, 4}));

    StringStream out;
    spline.write_text(out);
    EXPECT_EQ(out.str(), "{0, {1 2} 1, {3 4}}");

    StringStream empty_in("{}");
    spline.read_text(empty_in);
    EXPECT_TRUE(spline.empty());
    StringStream empty_out;
    spline.write_text(empty_out);
    EXPECT_EQ(empty_out.str(), "{}");
}

TEST(LinearSpline, TextErrorsKeepTheKeysReadBefore)
{
    struct Case {
        const char* text;
        const char* message;
        std::uint32_t keys_left;
    };
    const Case cases[] = {
        {"{0, {1} 1 {2}}", "unexpected symbol '{', must be ','.", 1},
        {"{0, {1} 1, {2}", "unexcepted end of file reached.", 2},
        {"{0, {1} one, {2}}", "invalid number 'one'.", 1},
        {"{0, {1} 1, {2 x}}", "invalid number 'x'.", 1},
        {"{0, {1} nan, {2}}", "invalid number 'nan'.", 1},
    };
    for (const Case& c : cases) {
        Linear spline;
        StringStream in(c.text);
        EXPECT_NE(error_of([&] { spline.read_text(in); }).find(c.message), std::string::npos) << c.text;
        EXPECT_EQ(spline.size(), c.keys_left) << c.text;
    }
}

// The float-vector kinds are created, copied and streamed by their registered names, with
// no registered base.
TEST(LinearSpline, KindsRegisteredUnderTheirNames)
{
    using Held = SharedPtr<Spline<float, VectorD<float>>>;
    struct Case {
        const char* name;
        Held spline;
        const char* text;  // what the text form of the copy writes
    };
    Held linear(new Linear(spline_of({{0, vec({1})}, {1, vec({2})}})));
    Held cubic(new CubicSpline<float, VectorD<float>>());
    Held curve(new CurveSpline<float, VectorD<float>>());
    for (const Held& kind : {cubic, curve}) {
        kind->set_key(0, vec({1}));
        kind->set_key(1, vec({2}));
    }
    const Case cases[] = {
        {"class kq::LinearSpline<float,class kq::VectorD<float> >", linear, "{0, {1} 1, {2}}"},
        {"class kq::CubicSpline<float,class kq::VectorD<float> >", cubic, ""},
        {"class kq::CurveSpline<float,class kq::VectorD<float> >", curve, ""},
    };
    for (const Case& c : cases) {
        StringBuffer buffer;
        BStream out(buffer);
        write_binary(out, c.spline);
        EXPECT_NE(buffer.str().find(c.name), std::string::npos) << c.name;
        StringBuffer readable(buffer.str());
        BStream in(readable);
        Held read;
        read_binary(in, read);
        ASSERT_TRUE(read) << c.name;
        const Spline<float, VectorD<float>>& read_kind = *read;
        const Spline<float, VectorD<float>>& written_kind = *c.spline;
        EXPECT_EQ(typeid(read_kind), typeid(written_kind)) << c.name;
        EXPECT_TRUE(near(read->value(0.5f), {1.5f})) << c.name;

        const rtti::TypeDesc* desc = rtti::TypeRegistry::find_type(StrCache(c.name));
        ASSERT_TRUE(desc) << c.name;
        EXPECT_FALSE(desc->is_type(StrCache("class kq::SpriteBase"))) << c.name;
        void* memory = ::operator new(desc->size());
        auto* copy = static_cast<Spline<float, VectorD<float>>*>(desc->copy(c.spline.get(), memory));
        EXPECT_TRUE(near(copy->value(1), {2})) << c.name;
        StringStream text;
        desc->store_text(text, copy);
        EXPECT_EQ(text.str(), c.text) << c.name;
        desc->destroy(copy);
        ::operator delete(memory);
    }
}

TEST(LinearSpline, VectorPathsInTextAndBinary)
{
    LinearSpline<float, Vector2<float>> path;
    StringStream in("{0, (1,2) 0.5, (3,4)}");
    path.read_text(in);
    EXPECT_EQ(path.value(0.25f), (Vector2<float>{2, 3}));
    StringStream out;
    path.write_text(out);
    EXPECT_EQ(out.str(), "{0, (1,2) 0.5, (3,4)}");
    EXPECT_EQ(test::own_bytes(path).size(), 4u + 12u * 2);

    StringStream broken("{0, (1,2) 0.5, (3,4 1, (5,6)}");
    EXPECT_NE(error_of([&] { path.read_text(broken); }).find("must be ')'"), std::string::npos);
    EXPECT_EQ(path.size(), 1u);
}

TEST(LinearSpline, ColourFade)
{
    LinearSpline<float, Color> fade;
    fade.set_key(0, Color{1, 1, 1, 1});
    fade.set_key(0.15f, Color{0, 0, 0, 1});
    fade.set_key(0.3f, Color{0, 0, 0, 0});
    const std::pair<float, Color> cases[] = {
        {0.075f, {0.5f, 0.5f, 0.5f, 1}}, {0.225f, {0, 0, 0, 0.5f}}, {0.3f, {0, 0, 0, 0}}, {7, {0, 0, 0, 0}}};
    for (const auto& [t, expected] : cases) {
        const Color c = fade.value(t);
        for (auto [actual, want] : {std::pair{c.r, expected.r}, {c.g, expected.g}, {c.b, expected.b}, {c.a, expected.a}})
            EXPECT_NEAR(actual, want, 1e-6f) << "t = " << t;
    }

    StringStream out;
    fade.write_text(out);
    EXPECT_EQ(out.str(), "{0, (1, 1, 1) 0.150000006, (0, 0, 0) 0.300000012, (0, 0, 0, 0)}");
    LinearSpline<float, Color> read;
    StringStream in(out.str());
    read.read_text(in);
    EXPECT_EQ(read.keys(), fade.keys());
    EXPECT_EQ(test::own_bytes(fade).size(), 4u + 20u * 3);
}

}
}
