// The Game's players as the screens use them: profiles chosen, made and deleted, their
// settings applied, and the save file read at the start and written at the end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/platform/audio.h"
#include "engine/ui/ui.h"
#include "game/shell/app/game.h"
#include "game/shell/progress/save_data.h"
#include "game/shell/screens/title_frame.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

GameDriver& at_title(GameDriver& driver)
{
    return driver.skip_intro().wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); });
}

TEST(GameProfiles, SelectMakesOrAppliesAProfileAndDeleteForgetsIt)
{
    GameDriver driver;
    int changes = 0;
    at_title(driver).then([&] {
        Game& game = *Game::instance();
        game.delete_profile("Player");  // the first start's player
        game.m_profile_changed.connect([&] { ++changes; }, &changes);
        Audio& audio = *Audio::instance();
        audio.set_group_volume(0.3f, 1);

        game.select_profile("");
        EXPECT_EQ(game.m_profile, nullptr);
        EXPECT_EQ(changes, 0);

        game.select_profile("ann");
        ASSERT_NE(game.m_profile, nullptr);
        EXPECT_EQ(game.m_profile->name, "ann");
        EXPECT_EQ(game.m_profile_name, "ann");
        EXPECT_EQ(game.m_profile->fullscreen, game.window().is_fullscreen());
        EXPECT_FLOAT_EQ(game.m_profile->music_volume, 0.3f);
        EXPECT_EQ(changes, 1);

        game.select_profile("bob");
        game.m_profile->music_volume = 0.8f;
        game.m_profile->hardware_cursors = !game.ui().hw_cursor();
        game.select_profile("ann");
        game.select_profile("bob");
        EXPECT_FLOAT_EQ(audio.group_volume(1), 0.8f);
        EXPECT_EQ(game.ui().hw_cursor(), game.m_profile->hardware_cursors);
        EXPECT_EQ(changes, 4);
        EXPECT_EQ(game.m_profiles.size(), 2u);

        game.delete_profile("nobody");
        game.delete_profile("bob");
        EXPECT_EQ(game.m_profile, nullptr);
        EXPECT_EQ(game.m_profile_name, "");
        EXPECT_EQ(game.find_profile("bob"), nullptr);
        EXPECT_NE(game.find_profile("ann"), nullptr);
        game.m_profile_changed.disconnect(&changes);
    }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
}

TEST(GameProfiles, TheSaveFileIsReadAtTheStartAndWrittenAtTheEnd)
{
    GameDriver driver;
    SaveData stored;
    Profile& kim = stored.profiles.emplace_back();
    kim.name = "kim";
    kim.score = 300;
    stored.profile_name = "zed";  // no such profile: made at the start
    stored.score_table = {{"old", 10}};
    std::filesystem::create_directories(driver.app_dir());
    std::ofstream(driver.app_dir() + "game.cfg", std::ios::binary) << write_save_data(stored);

    at_title(driver).then([&] {
        Game& game = *Game::instance();
        ASSERT_EQ(game.m_profiles.size(), 2u);
        EXPECT_EQ(game.m_profiles.front().name, "kim");
        EXPECT_EQ(game.m_profiles.back().name, "zed");
        EXPECT_EQ(game.m_profile, &game.m_profiles.back());
        EXPECT_EQ(game.m_score_table, (ScoreTable{{"old", 10}}));
        std::vector<ScoreEntry> list;
        game.build_score_list(list);
        EXPECT_EQ(list, (std::vector<ScoreEntry>{{"kim", 300}, {"old", 10}, {"zed", 0}}));
        game.m_profile->score = 50;
    }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");

    SaveData saved;
    read_save_data(read_bytes(driver.app_dir() + "game.cfg"), saved);
    ASSERT_EQ(saved.profiles.size(), 2u);
    EXPECT_EQ(saved.profiles.back().score, 50);
    EXPECT_EQ(saved.profile_name, "zed");
}

TEST(GameProfiles, ADamagedFileIsSetAsideAndTheGameStartsWithTheSkinsScores)
{
    GameDriver driver;
    std::filesystem::create_directories(driver.app_dir());
    std::ofstream(driver.app_dir() + "game.cfg", std::ios::binary) << "\x01\x05";
    at_title(driver).then([&] {
        Game& game = *Game::instance();
        // Nothing of the file: only the player a first start makes.
        ASSERT_EQ(game.m_profiles.size(), 1u);
        EXPECT_EQ(game.m_profile, &game.m_profiles.front());
        EXPECT_EQ(game.m_profile->name, "Player");
        EXPECT_EQ(game.m_profile->score, 0);
        EXPECT_EQ(game.m_score_table.count("Ada"), 1u);
    }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(read_bytes(driver.app_dir() + "game.cfg.bad"), "\x01\x05");
    EXPECT_TRUE(std::filesystem::exists(driver.app_dir() + "game.cfg"));
}

}
}
