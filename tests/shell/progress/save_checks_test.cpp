#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/shell/progress/save_checks.h"
#include "tests/base/log_capture.h"

namespace kq {
namespace {

Chapters catalogue_of(std::initializer_list<int> mission_counts)
{
    Chapters chapters;
    int number = 0;
    for (int count : mission_counts) {
        Chapter& chapter = chapters[++number];
        for (int m = 1; m <= count; ++m)
            chapter.missions[m];
    }
    return chapters;
}

TEST(SaveChecksTest, OutOfRangeValuesAreClampedAndLogged)
{
    const Chapters chapters = catalogue_of({2, 3});
    struct Case
    {
        const char* what;
        void (*damage)(Profile&);
        void (*repair)(Profile&);
    };
    const Case cases[] = {
        {"difficulty high", [](Profile& p) { p.difficulty = 7; }, [](Profile& p) { p.difficulty = 2; }},
        {"difficulty low", [](Profile& p) { p.difficulty = -1; }, [](Profile& p) { p.difficulty = 0; }},
        {"effect volume", [](Profile& p) { p.effect_volume = 3.0f; }, [](Profile& p) { p.effect_volume = 1.0f; }},
        {"music volume", [](Profile& p) { p.music_volume = -1.0f; }, [](Profile& p) { p.music_volume = 0.0f; }},
        {"volume not a number", [](Profile& p) { p.music_volume = std::numeric_limits<float>::quiet_NaN(); },
         [](Profile& p) { p.music_volume = 0.5f; }},
        {"volume infinite", [](Profile& p) { p.effect_volume = std::numeric_limits<float>::infinity(); },
         [](Profile& p) { p.effect_volume = 0.5f; }},
        {"lives", [](Profile& p) { p.lives = -3; }, [](Profile& p) { p.lives = 0; }},
        {"lives huge", [](Profile& p) { p.lives = 2000000000; }, [](Profile& p) { p.lives = 9999; }},
        {"powerups", [](Profile& p) { p.powerups = {-1, 5, 100000, 0, -7}; },
         [](Profile& p) { p.powerups = {0, 5, 9999, 0, 0}; }},
        {"quality", [](Profile& p) { p.chapter_quality = 130; }, [](Profile& p) { p.chapter_quality = 100; }},
        {"wins", [](Profile& p) { p.chapter_wins = -1; }, [](Profile& p) { p.chapter_wins = 0; }},
        {"chapter beyond the catalogue", [](Profile& p) { p.chapter = 3; }, [](Profile& p) { p.clear_game(); }},
        {"chapter below 0", [](Profile& p) { p.chapter = -2; }, [](Profile& p) { p.clear_game(); }},
        {"mission beyond the chapter", [](Profile& p) { p.mission = 4; }, [](Profile& p) { p.clear_game(); }},
        {"mission 0", [](Profile& p) { p.mission = 0; }, [](Profile& p) { p.clear_game(); }},
    };
    for (const Case& c : cases) {
        Profile good;
        good.name = "ann";
        good.chapter = 2;
        good.mission = 3;
        good.lives = 4;
        good.score = 800;
        good.trophies[2] = true;
        SaveData data;
        Profile& damaged = data.profiles.emplace_back(good);
        c.damage(damaged);
        Profile expected = damaged;
        c.repair(expected);

        test::LogCapture logs;
        EXPECT_GE(correct_save_data(data, chapters), 1) << c.what;
        EXPECT_EQ(data.profiles.front(), expected) << c.what;
        EXPECT_NE(logs.text("game").find("game.cfg: profile [ann]: "), std::string::npos) << c.what;
    }
}

TEST(SaveChecksTest, GoodDataIsLeftAlone)
{
    SaveData data;
    Profile& p = data.profiles.emplace_back();
    p.name = "  Ann \xE9";
    p.chapter = 1;
    p.mission = 2;
    data.profiles.emplace_back().name = "bob";  // no game: its mission does not matter
    data.profile_name = "bob";
    data.score_table = {{"cid", 5}};
    const SaveData before = data;
    test::LogCapture logs;
    EXPECT_EQ(correct_save_data(data, catalogue_of({2})), 0);
    EXPECT_EQ(data.profiles, before.profiles);
    EXPECT_EQ(data.profile_name, "bob");
    EXPECT_EQ(data.score_table, before.score_table);
    EXPECT_EQ(logs.text("game"), "\n");
}

TEST(SaveChecksTest, NamesKeepPrintableBytesUpToTheLimitAndBadOrRepeatedOnesGo)
{
    SaveData data;
    for (const char* name : {"an\x01n\x7F", "bob", "  \t ", "bob", "", "abcdefghijklmnopqrstuvwxyz"})
        data.profiles.emplace_back().name = name;
    data.profiles.emplace_back().name = std::string("b\0ob", 4);
    data.profile_name = std::string("\x02" "abcdefghijklmnopqrstuvwxyz");
    data.score_table = {{"ann\n", 7}, {" ", 3}, {"eve", 1}};
    test::LogCapture logs;
    EXPECT_GT(correct_save_data(data, {}), 0);
    std::vector<std::string> names;
    for (const Profile& p : data.profiles)
        names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"ann", "bob", "abcdefghijklmnopqrst"}));
    EXPECT_EQ(data.profile_name, "abcdefghijklmnopqrst");
    EXPECT_EQ(data.score_table, (ScoreTable{{"ann", 7}, {"eve", 1}}));
    EXPECT_NE(logs.text("game").find("repeats an earlier name, dropped"), std::string::npos);
    EXPECT_NE(logs.text("game").find("no valid name, dropped"), std::string::npos);

    EXPECT_EQ(clean_profile_name(std::string(40, 'x')).size(), profile_name_limit);
    EXPECT_TRUE(is_valid_profile_name(" \x80"));
    EXPECT_FALSE(is_valid_profile_name(" \x1F "));
}

}
}
