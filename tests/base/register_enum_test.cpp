#include "engine/base/register_enum.h"

#include <gtest/gtest.h>

#include "engine/base/str_cache.h"
#include "engine/base/type_registry.h"

namespace kq::test {

enum class Side : std::int32_t
{
    begin = 0,
    end = 2,
};

}

KQ_TYPE_NAME(kq::test::Side, "enum kq::test::Side");

namespace kq::rtti {
namespace {

using test::Side;

// Names are added in order; a name given again for a value is the one written, and a second
// registration adds to the same descriptor.
TEST(RegisterEnum, AddsEveryNameAndWritesTheLastOfAValue)
{
    register_enum<Side>({{"begin", Side::begin}, {"end", Side::end}, {"left", Side::begin}});
    register_enum<Side>({{"right", Side::end}});
    EnumBase& side = TypeRegistry::get_enum(StrCache("enum kq::test::Side"));
    EXPECT_EQ(&side, &EnumDesc<Side>::instance());
    struct Case
    {
        const char* name;
        std::int32_t value;
    };
    for (const Case& c : {Case{"begin", 0}, Case{"left", 0}, Case{"end", 2}, Case{"right", 2}})
        EXPECT_EQ(side.value_of(c.name), c.value) << c.name;
    EXPECT_STREQ(side.name_of(0).c_str(), "left");
    EXPECT_STREQ(side.name_of(2).c_str(), "right");
}

}
}
