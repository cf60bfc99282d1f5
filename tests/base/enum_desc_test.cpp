#include "engine/base/enum_desc.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/base/exception.h"

#include "engine/base/string_stream.h"

namespace kq::test {

enum Align
{
    align_begin = 0,
    align_center = 1,
    align_end = 2,
};

enum class Transparency
{
    none = 0,
    self = 16,
    childs = 32,
    full = 48,
};

}

KQ_TYPE_NAME(kq::test::Align, "enum kq::test::Align");
KQ_TYPE_NAME(kq::test::Transparency, "enum kq::test::Transparency");

namespace kq::rtti {
namespace {

using test::Align;
using test::Transparency;

class EnumDescTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Several names per value: every name reads, the last one added writes.
        EnumBase& align = EnumDesc<Align>::instance();
        for (auto [name, value] : {std::pair{"begin", 0}, {"center", 1}, {"end", 2}, {"left", 0}, {"top", 0},
                                   {"right", 2}, {"bottom", 2}})
            align.add(name, value);
        EnumBase& transparency = EnumDesc<Transparency>::instance();
        for (auto [name, value] : {std::pair{"none", 0}, {"self", 16}, {"childs", 32}, {"full", 48}})
            transparency.add(name, value);
    }
};

TEST_F(EnumDescTest, EveryNameReadsAndTheLastNameWrites)
{
    struct Case
    {
        const char* name;
        Align value;
        const char* written;
    };
    const Case cases[] = {
        {"begin", test::align_begin, "top"}, {"left", test::align_begin, "top"},
        {"top", test::align_begin, "top"},   {"center", test::align_center, "center"},
        {"end", test::align_end, "bottom"},  {"bottom", test::align_end, "bottom"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StringStream in(c.name);
        Align value = test::align_center;
        in >> value;
        EXPECT_EQ(value, c.value);
        StringStream out;
        out << value;
        EXPECT_EQ(out.str(), c.written);
    }
}

TEST_F(EnumDescTest, UnknownNamesAndValuesRaise)
{
    struct Case
    {
        std::function<void()> call;
        const char* text;
    };
    const Case cases[] = {
        {[] { StringStream in("Center"); Align a; in >> a; },
         "kq.rtti: [enum kq::test::Align] enum string interpretation [Center] unregistered."},
        {[] { StringStream in("1"); Align a; in >> a; },
         "kq.rtti: [enum kq::test::Align] enum string interpretation [1] unregistered."},
        {[] { StringStream out; out << static_cast<Transparency>(8); },
         "kq.rtti: [enum kq::test::Transparency] enum value 8 unregistered"},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.text;
        } catch (const RTTIException& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
    }
}

TEST_F(EnumDescTest, InstanceReturnsTheRegisteredDescriptor)
{
    EXPECT_EQ(&EnumDesc<Align>::instance(), TypeRegistry::find_enum(type_name<Align>()));
    EXPECT_EQ(&EnumDesc<Align>::instance(), &TypeRegistry::get_enum(type_name<Align>()));
    EXPECT_EQ(TypeRegistry::find_class(type_name<Align>()), nullptr);
}

TEST_F(EnumDescTest, ValueOperations)
{
    const TypeDesc& descriptor = EnumDesc<Transparency>::instance();
    EXPECT_EQ(descriptor.size(), 4u);
    Transparency value = Transparency::full;
    EXPECT_EQ(descriptor.construct(nullptr), nullptr);
    descriptor.construct(&value);
    EXPECT_EQ(value, Transparency::none);

    StringStream out;
    const Transparency childs = Transparency::childs;
    descriptor.store_text(out, &childs);
    EXPECT_EQ(out.str(), "childs");

    StringBuffer buffer;
    BStream binary(buffer);
    descriptor.store_binary(binary, &childs);
    EXPECT_EQ(buffer.str(), std::string("\x20\0\0\0", 4));
    binary.seek(0, seek_begin);
    descriptor.load_binary(binary, &value);
    EXPECT_EQ(value, Transparency::childs);
}

TEST_F(EnumDescTest, AShortBinaryValueIsLeftUnchanged)
{
    StringBuffer buffer(std::string("\x10\0\0", 3));
    BStream binary(buffer);
    Transparency value = Transparency::full;
    try {
        EnumDesc<Transparency>::instance().load_binary(binary, &value);
        FAIL();
    } catch (const IOException& e) {
        EXPECT_TRUE(e.message().ends_with("unexpected end of buffer.")) << e.message();
    }
    EXPECT_EQ(value, Transparency::full);
}

}
}
