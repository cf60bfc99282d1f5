#include <gtest/gtest.h>

#include <string>

#include "engine/base/exception.h"
#include "engine/res/skin_path.h"
#include "game/shell/progress/catalogue.h"
#include "tests/res/test_skin_environment.h"

namespace kq {
namespace {

const char* const sprite_keys = R"(
    sprite_keys { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(32, 32)] rotation 0
        scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
        tex_adress 0 inherit 96 }
    chapter_keys { background "" overground "" trophy "" cloud_appear_period 500 haze_level 0.25
        quality_target 70 name "A chapter" }
    mission_keys { path [{ }] map_sprite "" map_sprite_post false }
)";

// The catalogue's node over the keys above.
test::TestSkinEnvironment catalogue(const std::string& missions)
{
    return test::TestSkinEnvironment(std::string(sprite_keys) + "missions {" + missions + "}");
}

const char* const three_chapters = R"(
    chapter_count 3
    chapter1 : chapter_keys {
        name "Academy"
        mission_count 2
        win <state_sprite> "class kq::Sprite" : sprite_keys { }
        skip <state_sprite> "class kq::Sprite" : sprite_keys { }
        mission1 : mission_keys { position [(10, 20)] }
        mission2 : mission_keys {
            position [(30, 40)]
            path [{ (1, 1) (2, 2) }]
            map_sprite "class kq::Sprite" : sprite_keys { }
            map_sprite_post true
            hello <pre_event> { image "class kq::Sprite" : sprite_keys { } text "Hello" condition has_trophy }
            again <pre_event> { image "" text "Again" condition true }
            bye <post_event> { image "" text "Bye" condition has_not_trophy }
        }
    }
    chapter2 : chapter_keys {
        mission_count 2
        mission1 : mission_keys { position [(100, 0)] path [{ (0, 0) (60, 0) }] }
        mission2 : mission_keys { position [(100, 30)] }
    }
    chapter3 : chapter_keys {
        mission_count 1
        cloud_appear_period 7
        mission1 : mission_keys { position [(130, 70)] path [{ (100, 30) (100, 70) }] }
    }
)";

TEST(CatalogueTest, ReadsChaptersMissionsEventsAndStateSprites)
{
    auto skin = catalogue(three_chapters);
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    ASSERT_EQ(chapters.size(), 3u);

    const Chapter& academy = chapters.at(1);
    EXPECT_EQ(academy.name, "Academy");
    EXPECT_EQ(academy.quality_target, 70);
    EXPECT_EQ(academy.cloud_appear_period, 500);
    EXPECT_FLOAT_EQ(academy.haze_level, 0.25f);
    EXPECT_FALSE(academy.background);
    EXPECT_FALSE(academy.trophy);
    ASSERT_EQ(academy.state_sprites.size(), 2u);
    EXPECT_TRUE(academy.state_sprites.at(GameState::win));
    EXPECT_TRUE(academy.state_sprites.at(GameState::skip));
    ASSERT_EQ(academy.missions.size(), 2u);

    const Mission& first = academy.missions.at(1);
    EXPECT_EQ(first.position, (Vector2<int>{10, 20}));
    EXPECT_EQ(first.path, (std::vector<Vector2<float>>{{10, 20}}));
    EXPECT_TRUE(first.pre_event.empty());
    EXPECT_FALSE(first.map_sprite);

    const Mission& second = academy.missions.at(2);
    EXPECT_EQ(second.path, (std::vector<Vector2<float>>{{1, 1}, {2, 2}, {30, 40}}));
    EXPECT_TRUE(second.map_sprite);
    EXPECT_TRUE(second.map_sprite_post);
    ASSERT_EQ(second.pre_event.size(), 2u);
    EXPECT_EQ(second.pre_event[0].text, "Hello");
    EXPECT_TRUE(second.pre_event[0].image);
    EXPECT_EQ(second.pre_event[0].condition, Condition::has_trophy);
    EXPECT_EQ(second.pre_event[1].text, "Again");
    EXPECT_FALSE(second.pre_event[1].image);
    EXPECT_EQ(second.pre_event[1].condition, Condition::always);
    ASSERT_EQ(second.post_event.size(), 1u);
    EXPECT_EQ(second.post_event[0].condition, Condition::has_not_trophy);
    EXPECT_EQ(chapters.at(3).cloud_appear_period, 7);
}

TEST(CatalogueTest, RouteRunsFromChapterTwoThroughEveryPathPoint)
{
    auto skin = catalogue(three_chapters);
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    TravelPath route;
    route.set_key(-5.0f, {9, 9});  // cleared first
    build_travel_route(chapters, route);

    EXPECT_EQ(chapters.at(1).missions.at(1).distance, 0.0f);
    EXPECT_EQ(chapters.at(1).missions.at(2).distance, 0.0f);
    EXPECT_FLOAT_EQ(chapters.at(2).missions.at(1).distance, 100.0f);
    EXPECT_FLOAT_EQ(chapters.at(2).missions.at(2).distance, 130.0f);
    // The first point repeats the previous position: one key at that distance.
    EXPECT_FLOAT_EQ(chapters.at(3).missions.at(1).distance, 200.0f);
    std::vector<std::pair<float, Vector2<float>>> keys;
    for (const auto& [distance, record] : route.keys())
        keys.emplace_back(distance, record.value);
    const std::vector<std::pair<float, Vector2<float>>> expected{
        {0, {0, 0}}, {60, {60, 0}}, {100, {100, 0}}, {130, {100, 30}}, {170, {100, 70}}, {200, {130, 70}}};
    EXPECT_EQ(keys, expected);
}

TEST(CatalogueTest, NoChaptersOrOnlyChapterOneLeavesTheRouteEmpty)
{
    for (const char* count : {"chapter_count 0", "chapter_count -2"}) {
        auto skin = catalogue(count);
        Chapters chapters;
        read_catalogue(SkinPath("missions"), chapters);
        EXPECT_TRUE(chapters.empty());
    }
    auto skin = catalogue(R"(chapter_count 1
        chapter1 : chapter_keys { mission_count 1 mission1 : mission_keys { position [(5, 5)] path [{ (1, 2) }] } })");
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    TravelPath route;
    build_travel_route(chapters, route);
    EXPECT_TRUE(route.keys().empty());
    EXPECT_EQ(chapters.at(1).missions.at(1).distance, 0.0f);
}

TEST(CatalogueTest, BrokenCataloguesFailNamingTheNode)
{
    struct Case
    {
        const char* missions;
        const char* message;
    };
    const Case cases[] = {
        {"chapter_count 1 chapter1 : chapter_keys { mission_count 0 }",
         "chapter without missions [missions.chapter1.mission_count]"},
        {"chapter_count 1 chapter1 : chapter_keys { mission_count 1 cloud_appear_period 0 }",
         "cloud period must be above 0 [missions.chapter1.cloud_appear_period]"},
        {"chapter_count 2 chapter1 : chapter_keys { mission_count 1 mission1 : mission_keys { position [(1, 1)] } }",
         "node not found [missions.chapter2.background]"},
        {"chapter_count 1 chapter1 : chapter_keys { mission_count 2 mission1 : mission_keys { position [(1, 1)] } }",
         "node not found [missions.chapter1.mission2.position]"},
        {"chapter_count 1 chapter1 : chapter_keys { mission_count 1 lose <state_sprite> \"\" "
         "mission1 : mission_keys { position [(1, 1)] } }",
         "enum string interpretation [lose]"},
    };
    for (const Case& c : cases) {
        auto skin = catalogue(c.missions);
        Chapters chapters;
        try {
            read_catalogue(SkinPath("missions"), chapters);
            ADD_FAILURE() << "no error for " << c.missions;
        } catch (const Exception& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST(CatalogueTest, AMissionNoFurtherAlongTheRouteFailsNamingIt)
{
    auto skin = catalogue(R"(chapter_count 3
        chapter1 : chapter_keys { mission_count 1 mission1 : mission_keys { position [(5, 5)] } }
        chapter2 : chapter_keys { mission_count 1 mission1 : mission_keys { position [(50, 5)] } }
        chapter3 : chapter_keys { mission_count 1 mission1 : mission_keys { position [(50, 5)] } })");
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    TravelPath route;
    try {
        build_travel_route(chapters, route);
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.what()).find("[missions.chapter3.mission1]"), std::string::npos) << error.what();
    }
}

}
}
