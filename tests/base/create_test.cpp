#include "engine/base/create.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/base/class_desc.h"
#include "rtti_test_types.h"

namespace kq::test {

/// Its default construction fails.
struct Unbuildable
{
    Unbuildable() { throw std::runtime_error("refused"); }
    Unbuildable(const Unbuildable&) = default;
    virtual ~Unbuildable() = default;
};

}

KQ_TYPE_NAME(kq::test::Unbuildable, "struct kq::test::Unbuildable");

namespace kq::rtti {
namespace {

TEST(Create, BuildsTheDefaultObjectOfTheNamedClass)
{
    test::register_test_shapes();
    auto* circle = static_cast<test::Circle*>(create(type_name<test::Circle>()));
    EXPECT_EQ(circle->m_size, 7);
    delete circle;
    auto* number = static_cast<int*>(create(type_name<int>()));
    EXPECT_EQ(*number, 0);
    delete number;
}

TEST(Create, UnknownAndAbstractClassesRaise)
{
    test::register_test_shapes();
    struct Case
    {
        StrCache name;
        const char* text;
    };
    const Case cases[] = {
        {StrCache("class kq::test::Unknown"),
         "kq.rtti: [class kq::test::Unknown] type descriptor not found, unable to create instance."},
        {type_name<test::Abstract>(), "kq.rtti: [class kq::test::Abstract] is abstract type"},
    };
    for (const Case& c : cases) {
        try {
            create(c.name);
            ADD_FAILURE() << c.text;
        } catch (const RTTIException& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
    }
}

// The sanitizer build shows the memory of a failed construction is given back.
TEST(Create, AFailedConstructionPassesItsErrorOn)
{
    ClassDesc<test::Unbuildable>::instance();
    EXPECT_THROW(create(type_name<test::Unbuildable>()), std::runtime_error);
}

}
}
