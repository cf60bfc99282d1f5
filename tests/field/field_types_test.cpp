#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/bstream.h"
#include "engine/base/buffer.h"
#include "engine/base/enum_base.h"
#include "engine/base/exception.h"
#include "engine/base/type_desc.h"
#include "engine/base/type_registry.h"
#include "game/field/field_types.h"

namespace kq {
namespace {

struct EnumTable
{
    const char* type;
    std::vector<std::pair<const char*, std::int32_t>> values;
};

const EnumTable field_enums[] = {
    {"enum kq::Item::Form", {{"circle", 0}, {"rect", 1}, {"polygons", 2}, {"octagon", 3}}},
    {"enum kq::Vimu::TrembleType", {{"scale", 0}, {"move", 1}}},
    {"enum kq::Bonus",
     {{"splinter", 0}, {"explode", 11}, {"cost_3x", 1}, {"shock_wave", 2}, {"accuracy", 3},
      {"slipperiness", 4}, {"powerful_strike", 5}, {"any_activator", 6}, {"magnetic", 7},
      {"spirit", 8}, {"treasure", 9}}},
    {"enum kq::Field::BonusEnd", {{"on_shot", 0}, {"on_turn", 1}}},
    {"enum kq::GameState", {{"fail", 1}, {"win", 2}, {"skip", 3}}},
    {"enum kq::IdolMood", {{"none", -1}, {"bad", 0}, {"normal", 1}, {"good", 2}}},
    {"enum kq::Condition", {{"true", 0}, {"false", 1}, {"has_trophy", 2}, {"has_not_trophy", 3}}},
};

TEST(FieldTypes, EveryEnumNameReadsAsItsValueAndBack)
{
    for (const auto& table : field_enums) {
        SCOPED_TRACE(table.type);
        const rtti::EnumBase& descriptor = rtti::TypeRegistry::get_enum(StrCache(table.type));
        EXPECT_EQ(descriptor.size(), 4u);
        for (const auto& [name, value] : table.values) {
            EXPECT_EQ(descriptor.value_of(name), value) << name;
            EXPECT_EQ(descriptor.name_of(value), name) << value;
        }
    }
}

TEST(FieldTypes, EveryEnumValueStreamsAsFourBytes)
{
    for (const auto& table : field_enums) {
        SCOPED_TRACE(table.type);
        const rtti::TypeDesc& descriptor = *rtti::TypeRegistry::find_type(StrCache(table.type));
        for (const auto& [name, value] : table.values) {
            StringBuffer buffer;
            BStream binary(buffer);
            descriptor.store_binary(binary, &value);
            const auto bits = static_cast<std::uint32_t>(value);
            EXPECT_EQ(buffer.str(), std::string({char(bits), char(bits >> 8), char(bits >> 16), char(bits >> 24)}))
                << name;
            binary.seek(0, seek_begin);
            std::int32_t read = 12345;
            descriptor.load_binary(binary, &read);
            EXPECT_EQ(read, value) << name;
        }
    }
}

TEST(FieldTypes, ValuesWithoutANameHaveNoText)
{
    struct Case
    {
        const char* type;
        std::int32_t value;
    };
    const Case cases[] = {
        {"enum kq::Bonus", 10}, {"enum kq::GameState", 0}, {"enum kq::IdolMood", -2}, {"enum kq::Condition", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const rtti::EnumBase& descriptor = rtti::TypeRegistry::get_enum(StrCache(c.type));
        try {
            descriptor.name_of(c.value);
            ADD_FAILURE() << "no error";
        } catch (const rtti::RTTIException& error) {
            EXPECT_EQ(error.message(), "[" + std::string(c.type) + "] enum value " + std::to_string(c.value) + " unregistered");
        }
    }
}

TEST(FieldTypes, OnlyTheConcretePursuitEffectsAreRegisteredAndAsSprites)
{
    EXPECT_EQ(rtti::TypeRegistry::find_type(StrCache("class kq::VimuPursueEffect")), nullptr)
        << "the pursuit base is never made by name";
    for (const char* name : {"class kq::SplinterEffect", "class kq::BonusBringEffect"}) {
        const rtti::TypeDesc* effect = rtti::TypeRegistry::find_type(StrCache(name));
        ASSERT_NE(effect, nullptr) << name;
        EXPECT_TRUE(effect->is_type(StrCache("class kq::Sprite"))) << name;
        EXPECT_FALSE(effect->is_type(StrCache("class kq::VimuPursueEffect"))) << name;
    }
}

TEST(FieldTypes, RegisteringTwiceChangesNothing)
{
    register_field_types();
    const rtti::EnumBase& bonus = rtti::TypeRegistry::get_enum(StrCache("enum kq::Bonus"));
    EXPECT_EQ(bonus.name_of(11), "explode");
    EXPECT_EQ(bonus.value_of("treasure"), 9);
}

}
}
