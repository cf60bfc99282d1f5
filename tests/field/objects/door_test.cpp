#include <gtest/gtest.h>

#include <cmath>

#include "game/field/objects/door.h"
#include "tests/field/field_object_fixture.h"

namespace kq {
namespace {

const char* const door_skin = R"(
    door_keys : item_keys { size [(80, 10)] density 1 }
    still "class kq::Door" : door_keys { rotate_step 0 }
    quarter "class kq::Door" : door_keys { rotate_step 1.5707964 }
    back "class kq::Door" : door_keys { rotate_step -0.5 }
    broken "class kq::Door" : door_keys { }
)";

TEST(Door, TurnsByItsStepOnEveryClick)
{
    struct Case
    {
        const char* path;
        int clicks;
        float angle;
    };
    const Case cases[] = {
        {"still", 3, 0.3f},
        {"quarter", 1, 0.3f + 1.5707964f},
        {"quarter", 4, 0.3f + 4 * 1.5707964f},  // round again, the angle not wrapped
        {"back", 2, 0.3f - 1.0f},
    };
    for (const Case& c : cases) {
        test::FieldObjects objects(door_skin);
        auto* door = objects.add<Door>(c.path, {300, 200}, 0.3f);
        door->set_velocity({20, 0});
        EXPECT_TRUE(door->is_clickable()) << c.path;
        for (int i = 0; i < c.clicks; ++i)
            door->activate();
        EXPECT_NEAR(door->angle(), c.angle, 1e-5f) << c.path << " x" << c.clicks;
        EXPECT_NEAR(door->position().x, 300.0f, 1e-4f) << c.path;
        EXPECT_NEAR(door->position().y, 200.0f, 1e-4f) << c.path;
        EXPECT_NEAR(door->velocity().x, 20.0f, 1e-4f) << "speeds are kept";
    }
}

TEST(Door, NeedsItsStep)
{
    test::FieldObjects objects(door_skin);
    EXPECT_NE(test::error_of([] { test::item_at("broken"); }).find("node not found ["), std::string::npos);
}

}
}
