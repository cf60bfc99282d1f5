#include "engine/platform/key.h"

#include <gtest/gtest.h>

#include "engine/base/enum_desc.h"
#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/tstream.h"
#include "engine/base/type_registry.h"

namespace kq {
namespace {

TEST(Key, NamesAreRegisteredInTheirOrderWithTheirCodes)
{
    const rtti::EnumBase& names = rtti::TypeRegistry::get_enum(type_name<Key>());
    struct Case { const char* name; std::int32_t value; };
    const Case cases[] = {
        {"key_mouse_left", 1}, {"key_mouse_right", 2}, {"key_mouse_middle", 4}, {"key_none", 0},
        {"key_1", 0x31}, {"key_9", 0x39}, {"key_0", 0x30}, {"key_f2", 0x71}, {"key_f3", 0x72},
        {"key_f6", 0x75}, {"key_f12", 0x7B}, {"key_escape", 0x1B}, {"key_enter", 0x0D},
        {"key_space", 0x20}, {"key_a", 0x41}, {"key_m", 0x4D}, {"key_z", 0x5A},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(names.value_of(c.name), c.value) << c.name;
        EXPECT_EQ(names.name_of(c.value), c.name);
    }
}

TEST(Key, TextFormUsesTheNamesAndRefusesCodesWithout)
{
    StringBuffer in("key_f10 key_mouse_middle");
    TStream reader(in);
    Key key = key_none;
    reader >> key;
    EXPECT_EQ(key, 0x79);
    reader >> key;
    EXPECT_EQ(key, key_mouse_middle);

    StringBuffer out("");
    TStream writer(out);
    writer << key_space;
    EXPECT_THROW(writer << static_cast<Key>(0x70), Exception);  // F1 has no name
}

}
}
