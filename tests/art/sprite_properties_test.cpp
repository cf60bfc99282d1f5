#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/art/sprite.h"
#include "engine/base/type_name.h"
#include "tests/base/log_capture.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

std::vector<std::int32_t> listed(Sprite& sprite, std::int32_t id)
{
    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> append = [&ids](std::int32_t found) { ids.push_back(found); };
    sprite.property(property_list, id, &append);
    return ids;
}

}

TEST(SpriteProperties, TableDescribesEachProperty)
{
    Sprite sprite;
    EXPECT_EQ(listed(sprite, all_properties),
              (std::vector<std::int32_t>{1000, 1001, 1002, 1010, 1011, 1020, 1021, 1022, 1030}));
    EXPECT_EQ(listed(sprite, SP_ALPHA), (std::vector<std::int32_t>{1021}));
    EXPECT_TRUE(listed(sprite, 4242).empty());

    const struct Case {
        std::int32_t id;
        const char* label;
        std::int32_t count;
        StrCache type;
    } cases[] = {
        {SP_POSITION, "Position(X,Y)", 2, type_name<float>()}, {SP_ROTATION, "Rotation", 1, type_name<float>()},
        {SP_SCALE, "Scale(X,Y)", 2, type_name<float>()},       {SP_SIZE, "Size(X,Y)", 2, type_name<float>()},
        {SP_PIVOT, "Pivot(X,Y)", 2, type_name<float>()},       {SP_COLOR, "Color(R,G,B)", 3, type_name<float>()},
        {SP_ALPHA, "Alpha", 1, type_name<float>()},            {1022, "Blend", 1, type_name<int>()},
        {SP_VISIBLE, "Visible", 1, type_name<bool>()},         {all_properties, "Position(X,Y)", 2, type_name<float>()},
    };
    for (const Case& c : cases) {
        std::string label;
        std::int32_t count = 0;
        StrCache type;
        bool exists = false;
        sprite.property(property_label, c.id, &label);
        sprite.property(property_count, c.id, &count);
        sprite.property(property_type, c.id, &type);
        sprite.property(property_exists, c.id, &exists);
        EXPECT_EQ(label, c.label) << c.id;
        EXPECT_EQ(count, c.count) << c.id;
        EXPECT_EQ(type, c.type) << c.id;
        EXPECT_TRUE(exists) << c.id;
    }
}

TEST(SpriteProperties, SettersClampAndGettersReadBack)
{
    Sprite sprite;
    sprite.set_alpha(0.75f);
    const struct Case {
        std::int32_t id;
        std::vector<float> set;
        std::vector<float> expected;
    } cases[] = {
        {SP_POSITION, {3, -4}, {3, -4}},
        {SP_ROTATION, {7.5f}, {7.5f}},
        {SP_SCALE, {0, -0.0001f}, {0.001f, -0.001f}},
        {SP_SIZE, {12, 13}, {12, 13}},
        {SP_PIVOT, {6, 6.5f}, {6, 6.5f}},
        {SP_COLOR, {2, -1, 0.5f}, {1, 0, 0.5f}},
        {SP_ALPHA, {1.5f}, {1}},
        {SP_ALPHA, {0.25f}, {0.25f}},
    };
    for (const Case& c : cases) {
        std::vector<float> value = c.set;
        sprite.property(property_set, c.id, value.data());
        std::vector<float> read(c.expected.size(), -99.0f);
        sprite.property(property_get, c.id, read.data());
        EXPECT_EQ(read, c.expected) << c.id;
    }
    EXPECT_FLOAT_EQ(sprite.color().a, 0.25f) << "setting the colour keeps alpha";

    sprite.set_render_state(0x100 | 3);
    std::int32_t blend = 9;
    sprite.property(property_set, 1022, &blend);
    EXPECT_EQ(sprite.render_state(), 0x101u) << "only the blend bits change";
    blend = 0;
    sprite.property(property_get, 1022, &blend);
    EXPECT_EQ(blend, 1);

    bool visible = false;
    sprite.property(property_set, SP_VISIBLE, &visible);
    EXPECT_EQ(sprite.hidden(), 1);
    visible = true;
    sprite.property(property_get, SP_VISIBLE, &visible);
    EXPECT_FALSE(visible);
}

TEST(SpriteProperties, UnknownIdsReachTheBase)
{
    LogCapture log;
    Sprite sprite;
    float value = 5;
    sprite.property(property_get, 4242, &value);
    EXPECT_EQ(value, 5.0f);
    bool exists = false;
    sprite.property(property_exists, 4242, &exists);
    EXPECT_FALSE(exists);
    EXPECT_THAT(log.text("error"), HasSubstr("\nProperty not found.\n"));
}

}
