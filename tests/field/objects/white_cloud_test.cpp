#include <gtest/gtest.h>

#include "engine/base/random.h"
#include "game/field/objects/white_cloud.h"
#include "tests/field/field_object_fixture.h"

namespace kq {
namespace {

const char* const cloud_skin = R"(
    cloud "class kq::WhiteCloud" : item_keys { size [(200, 100)] density 1 }
)";

float uniform(int r, float a, float b)
{
    return a + float(r) * (b - a) / 32768.0f;
}

TEST(WhiteCloud, StartsAtARandomPlaceDriftingRight)
{
    test::FieldObjects objects(cloud_skin);
    random_seed(7);
    const int ry = random_next();
    const int rx = random_next();
    const int rv = random_next();
    random_seed(7);
    auto* cloud = objects.add<WhiteCloud>("cloud", {0, 0});
    ASSERT_NE(cloud, nullptr);
    EXPECT_NEAR(cloud->position().x, uniform(rx, 0, 1024), 1e-3f);
    EXPECT_NEAR(cloud->position().y, uniform(ry, 100, 668), 1e-3f);
    EXPECT_NEAR(cloud->velocity().x, uniform(rv, 15, 100), 1e-3f);
    EXPECT_EQ(cloud->velocity().y, 0.0f);
}

TEST(WhiteCloud, ReentersOnTheLeftOnceOffTheRight)
{
    test::FieldObjects objects(cloud_skin);
    auto* cloud = objects.add<WhiteCloud>("cloud", {0, 0});
    struct Case
    {
        float x;
        bool wraps;
    };
    for (const Case& c : {Case{1124.0f, false}, Case{1124.5f, true}, Case{-500.0f, false}, Case{1500.0f, true}}) {
        cloud->set_position({c.x, 300});
        cloud->set_velocity({-40, 0});
        random_seed(11);
        const int ry = random_next();
        const int rv = random_next();
        random_seed(11);
        cloud->update(16);
        if (c.wraps) {
            EXPECT_FLOAT_EQ(cloud->position().x, -100.0f) << c.x;
            EXPECT_NEAR(cloud->position().y, uniform(ry, 100, 668), 1e-3f) << c.x;
            EXPECT_NEAR(cloud->velocity().x, uniform(rv, 15, 100), 1e-3f) << c.x;
        } else {
            EXPECT_FLOAT_EQ(cloud->position().x, c.x) << c.x;
            EXPECT_FLOAT_EQ(cloud->velocity().x, -40.0f) << "pushed left, it keeps going: " << c.x;
        }
    }
}

TEST(WhiteCloud, SpeedsStayWithinTheirRange)
{
    test::FieldObjects objects(cloud_skin);
    auto* cloud = objects.add<WhiteCloud>("cloud", {0, 0});
    for (int i = 0; i < 200; ++i) {
        cloud->set_position({1200, 300});
        cloud->update(16);
        EXPECT_GE(cloud->velocity().x, 15.0f);
        EXPECT_LT(cloud->velocity().x, 100.0f);
        EXPECT_GE(cloud->position().y, 100.0f);
        EXPECT_LT(cloud->position().y, 668.0f);
    }
}

}
}
