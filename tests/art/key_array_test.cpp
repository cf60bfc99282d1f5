#include "engine/art/key_array.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "art_test_support.h"
#include "engine/base/bstream.h"
#include "engine/base/buffer.h"
#include "engine/base/string_stream.h"
#include "engine/platform/texture.h"
#include "engine/res/res_handle.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

KeyArray from_text(const std::string& text)
{
    StringStream stream(text);
    KeyArray array;
    array.read_text(stream);
    return array;
}

std::string to_text(const KeyArray& array)
{
    StringStream stream;
    array.write_text(stream);
    return stream.str();
}

}

TEST(KeyArray, TextFormReadsEachTypeAndWritesItBack)
{
    const struct Case {
        const char* text;
        const char* type;
        std::uint32_t count;
    } cases[] = {
        {"float { 1.5 -2 }", "float", 2},
        {"int { 10h 3 }", "int", 2},
        {"\"\" { }", "", 0},
        {"float { }", "float", 0},
        {"texture_resh { \"a.png\" 16 }", "class kq::ResHandle<class kq::Texture>", 1},
    };
    for (const Case& c : cases) {
        const KeyArray array = from_text(c.text);
        EXPECT_EQ(std::string(array.type_name().c_str()), c.type) << c.text;
        EXPECT_EQ(array.count(), c.count) << c.text;
        const KeyArray again = from_text(to_text(array));
        EXPECT_EQ(again.type_name(), array.type_name()) << to_text(array);
        EXPECT_EQ(again.count(), array.count()) << to_text(array);
    }
    EXPECT_EQ(*static_cast<const int*>(from_text("int { 10h 3 }").element(0)), 16);
    const KeyArray handle = from_text("texture_resh { \"a.png\" 16 }");
    const auto& texture = *static_cast<const ResHandle<Texture>*>(handle.element(0));
    EXPECT_EQ(texture.path(), "a.png");
    EXPECT_EQ(texture.key().m_flags, 16);
    EXPECT_EQ(from_text("\"\" { }").data(), nullptr);
}

TEST(KeyArray, TextErrorsNameTheProblem)
{
    const struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"nosuchtype { 1 }", "unregistered"},
        {"float 1 }", "must be '{'"},
        {"float { 1 2", "end of file"},
        {"float { 1 x }", "invalid number 'x'"},
    };
    for (const Case& c : cases)
        EXPECT_THAT(error_of([&] { from_text(c.text); }), HasSubstr(c.message)) << c.text;
}

TEST(KeyArray, CopiesAreDeepAndFloatsConvert)
{
    VectorD<float> values;
    values.resize(3);
    values[0] = 1.0f;
    values[2] = 3.0f;
    KeyArray a = KeyArray::floats(values);
    a.bend = 0.25f;
    KeyArray b = a;
    *static_cast<float*>(b.element(0)) = 9.0f;
    EXPECT_EQ(*static_cast<const float*>(a.element(0)), 1.0f);
    EXPECT_EQ(b.bend, 0.25f);
    EXPECT_EQ(b.to_floats().size(), 3u);
    EXPECT_EQ(b.to_floats()[2], 3.0f);
    EXPECT_EQ(KeyArray::of_int(4).to_floats().size(), 0u) << "ints are not taken as floats";

    // Handles are copied through their type: each copy holds its own key.
    KeyArray handles = from_text("texture_resh { \"a.png\" 0 \"b.png\" 0 }");
    KeyArray copy;
    copy = handles;
    handles.clear();
    EXPECT_EQ(handles.count(), 0u);
    EXPECT_EQ(static_cast<const ResHandle<Texture>*>(copy.element(1))->path(), "b.png");

    EXPECT_EQ(copy.element_array(1).count(), 1u);
    EXPECT_EQ(static_cast<const ResHandle<Texture>*>(copy.element_array(1).element(0))->path(), "b.png");
    EXPECT_EQ(static_cast<const ResHandle<Texture>*>(copy.element_array(5).element(0))->path(), "")
        << "a missing element gives a default one";
    EXPECT_EQ(KeyArray().element_array(0).type(), nullptr);
}

TEST(KeyArray, BinaryFormRoundTripsAndRefusesDamage)
{
    const KeyArray source = from_text("int { 7 -1 }");
    const std::string bytes = own_bytes(source);
    KeyArray read;
    load_bytes(read, bytes);
    ASSERT_EQ(read.count(), 2u);
    EXPECT_EQ(*static_cast<const int*>(read.element(1)), -1);

    KeyArray untyped;
    load_bytes(untyped, own_bytes(KeyArray()));
    EXPECT_EQ(untyped.type(), nullptr);

    // The name's header, then a count far beyond what is left.
    const std::string header = bytes.substr(0, bytes.size() - 12);
    const struct Damage {
        std::string bytes;
        const char* message;
    } damaged[] = {
        {header + le32(0x40000000), "unexpected end of buffer."},
        {header + le32(2) + le32(7), "unexpected end of buffer."},
        {bytes.substr(0, 3), "unexpected end of buffer."},
    };
    for (const Damage& d : damaged) {
        KeyArray broken;
        EXPECT_THAT(error_of([&] { load_bytes(broken, d.bytes); }), HasSubstr(d.message));
        EXPECT_EQ(broken.count(), 0u);
    }
}

}
