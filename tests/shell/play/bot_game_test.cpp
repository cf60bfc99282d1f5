// The game the developer's tools play a mission in (a profile's game over a profile of their
// own, as the playing bot builds it) and the game a player plays it in (the game frame's,
// over the Game's current profile) award the same levels for the same progress: the
// profile's upgrade steps, 50,000 then 80,000 and 30,000 more each step at the first
// difficulty, dearer by half and by double at the other two.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base/clock.h"
#include "game/field/field.h"
#include "game/shell/play/game_frame.h"
#include "game/shell/play/profile_field_game.h"
#include "game/shell/progress/profile.h"
#include "game/shell/screens/title_frame.h"
#include "tests/base/manual_clock.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

// What a game awarded for a run of progress: the level after each gain and the coins the
// field's powerups gained with it.
struct Awards
{
    std::vector<int> levels;
    std::vector<int> coins;

    friend bool operator==(const Awards&, const Awards&) = default;
};

// The gains of progress units a field is paid, one after another: at the first difficulty
// they stop just short of each of the first four steps' totals (50,000, 130,000, 240,000,
// 380,000), then reach it.
const std::vector<int> gains = {49999, 1, 79999, 1, 25000, 84999, 1, 139999, 1};

// Pays the field the gains and records what its game made of them.
Awards pay(Field& field)
{
    Awards awards;
    const int coins_before = field.powerups(Powerup::coin);
    for (int units : gains) {
        field.add_progress(units);
        awards.levels.push_back(field.game().level_from_value(field.progress()));
        awards.coins.push_back(field.powerups(Powerup::coin) - coins_before);
    }
    return awards;
}

// The levels the profile's upgrade steps give for the same run, from a progress of 0.
std::vector<int> expected_levels(int difficulty)
{
    std::vector<int> levels;
    long long progress = 0;
    for (int units : gains) {
        // The field pays 5 points for each 500 units' worth, raised by half a difficulty.
        progress += (100LL + 50 * difficulty) * units / 500 * 5;
        int level = 0;
        long long cost = 0;
        while (cost + Profile::step_cost(level + 1, difficulty) <= progress)
            cost += Profile::step_cost(++level, difficulty);
        levels.push_back(level);
    }
    return levels;
}

TEST(BotGame, TheBotsGameAndThePlayersGameAwardTheSameLevelsForTheSameProgress)
{
    EXPECT_EQ(Profile::step_cost(1, 0), 50000);
    EXPECT_EQ(Profile::step_cost(2, 0), 80000);
    for (int difficulty = 0; difficulty < Profile::difficulty_count; ++difficulty) {
        SCOPED_TRACE("difficulty " + std::to_string(difficulty));
        Awards player;
        Awards bot;
        {
            ManualClock clock;
            GameDriver driver;
            driver.skip_intro()
                .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
                .then([difficulty] {
                    Game& game = *Game::instance();
                    game.select_profile("Tester");
                    game.m_profile->new_game(difficulty, game.m_score_table);
                    game.m_profile->tips = false;
                })
                .press_until("the game frame", [] {
                    return game_frame() && game_frame()->field() && !Game::instance()->frame_manager().is_fading();
                })
                .then([&player, &bot, difficulty] {
                    player = pay(field());
                    // The bot's game, as the playing bot builds it, on a field of its own.
                    Profile profile;
                    profile.difficulty = difficulty;
                    ProfileFieldGame game(profile);
                    Field bots_field(FieldSettings{}, game);
                    bot = pay(bots_field);
                })
                .close_window();
            EXPECT_EQ(driver.run(), 0);
            EXPECT_EQ(driver.failure(), "");
        }
        EXPECT_EQ(player.levels, expected_levels(difficulty));
        EXPECT_EQ(player.coins, player.levels);
        EXPECT_TRUE(bot == player);
    }
}

}
}
