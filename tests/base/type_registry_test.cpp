#include "engine/base/type_registry.h"

#include <gtest/gtest.h>

#include "engine/base/class_base.h"
#include "engine/base/create.h"
#include "engine/base/enum_base.h"
#include "engine/base/enum_desc.h"
#include "engine/base/exception.h"
#include "engine/base/type_name.h"
#include "rtti_test_types.h"

namespace kq::test {

/// A class and an enum registered, by mistake, under one name.
class Clash
{
public:
    virtual ~Clash() = default;
};

enum class ClashKind { one };

}

KQ_TYPE_NAME(kq::test::Clash, "class kq::test::Clash");
KQ_TYPE_NAME(kq::test::ClashKind, "class kq::test::Clash");

namespace kq::rtti {
namespace {

TEST(TypeRegistry, UnknownNamesAreNullOrRaise)
{
    const StrCache unknown("class kq::test::NeverRegistered");
    EXPECT_EQ(TypeRegistry::find_type(unknown), nullptr);
    EXPECT_EQ(TypeRegistry::find_class(unknown), nullptr);
    EXPECT_EQ(TypeRegistry::find_enum(unknown), nullptr);
    try {
        TypeRegistry::get_type(unknown);
        FAIL();
    } catch (const RTTIException& e) {
        EXPECT_STREQ(e.what(), "kq.rtti: [class kq::test::NeverRegistered]  unregistered.");
    }
}

TEST(TypeRegistry, GetEnumRefusesAClass)
{
    test::register_test_shapes();
    try {
        TypeRegistry::get_enum(type_name<test::Shape>());
        FAIL();
    } catch (const RTTIException& e) {
        EXPECT_STREQ(e.what(), "kq.rtti: [class kq::test::Shape]  unregistered or not a enum.");
    }
}

TEST(TypeRegistry, TypeNamesAreInternedOnce)
{
    EXPECT_EQ(type_name<int>(), StrCache("int"));
    EXPECT_EQ(type_name<RefCounter>(), StrCache("struct kq::RefCounter"));
}

TEST(TypeRegistry, FoundationGroupRegistersSixTypes)
{
    struct Case
    {
        const char* name;
        bool is_class;
    };
    const Case cases[] = {
        {"int", false},
        {"float", false},
        {"bool", false},
        {"class std::basic_string<char,struct std::char_traits<char>,class std::allocator<char> >", false},
        {"class kq::FilePath", false},
        {"struct kq::RefCounter", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StrCache name(c.name);
        ASSERT_NE(TypeRegistry::find_type(name), nullptr);
        EXPECT_EQ(TypeRegistry::find_class(name) != nullptr, c.is_class);
        EXPECT_EQ(TypeRegistry::find_type(name)->name(), name);
    }
}

TEST(TypeRegistry, FundamentalsCastAndTestOnlyTheirOwnName)
{
    const TypeDesc& descriptor = TypeRegistry::get_type(type_name<int>());
    int value = 3;
    EXPECT_EQ(descriptor.cast(&value, type_name<int>()), &value);
    EXPECT_EQ(descriptor.cast(&value, type_name<float>()), nullptr);
    EXPECT_TRUE(descriptor.is_type(type_name<int>()));
    EXPECT_FALSE(descriptor.is_type(type_name<float>()));
}

TEST(TypeRegistry, AnAliasFindsTheSameTypeButNoClass)
{
    test::register_test_shapes();
    const TypeDesc& shape = TypeRegistry::get_type(type_name<test::Shape>());
    shape.add_alias("test_shape_alias");
    const StrCache alias("test_shape_alias");
    EXPECT_EQ(TypeRegistry::find_type(alias), &shape);
    EXPECT_EQ(TypeRegistry::find_class(alias), nullptr);

    auto* created = static_cast<test::Shape*>(create(alias));
    EXPECT_EQ(created->m_size, 7);
    delete created;
}

TEST(TypeRegistry, ADescriptorReplacedUnderItsNameStaysUsable)
{
    ClassBase& original = ClassDesc<test::Clash>::instance();
    EnumBase& replacing = EnumDesc<test::ClashKind>::instance();
    const StrCache name("class kq::test::Clash");
    EXPECT_EQ(TypeRegistry::find_type(name), &replacing);
    ASSERT_EQ(TypeRegistry::find_class(name), &original);
    EXPECT_TRUE(TypeRegistry::find_class(name)->is_type(name));
}

}
}
