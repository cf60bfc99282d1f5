// The end of a mission in the real game, on a clock the test drives (every sleep of the
// scheduler moves it on at once): the coin offered after a failure, the music dimmed, the
// creation idol's reserve paid out after a win, the results written into the profile, then the
// end dialog and the frame's leave, in that order and at those times.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/art/text_sprite.h"
#include "engine/base/clock.h"
#include "engine/platform/audio.h"
#include "engine/ui/message_dialog.h"
#include "game/field/idols/creation_idol.h"
#include "game/shell/dialogs/end_game_dlg.h"
#include "game/shell/play/game_frame.h"
#include "game/shell/screens/title_frame.h"
#include "tests/base/manual_clock.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

Profile& player()
{
    return *Game::instance()->m_profile;
}

float music_volume()
{
    MusicInfo music;
    Audio::instance()->current_music(music);
    return music.volume;
}

CreationIdol* creation_idol()
{
    for (const SharedPtr<Idol>& idol : field().idols())
        if (auto* creation = dynamic_cast<CreationIdol*>(idol.get()))
            return creation;
    return nullptr;
}

// The texts rising on the field's top layer now.
std::vector<std::string> floating_texts()
{
    std::vector<std::string> texts;
    field().top_layer().children().walk([&texts](const SharedPtr<Sprite>& sprite) {
        if (auto* text = dynamic_cast<TextSprite*>(sprite.get()))
            texts.push_back(text->text());
    });
    return texts;
}

// The end dialog over the frames, or null.
EndGameDlg* end_dialog()
{
    for (Control* child : Game::instance()->frame_manager().children())
        if (auto* dialog = dynamic_cast<EndGameDlg*>(child))
            return dialog;
    return nullptr;
}

// The question the game frame asks now, or null.
MessageDialog* question()
{
    GameFrame* frame = game_frame();
    if (!frame)
        return nullptr;
    for (Control* child : frame->children())
        if (auto* dialog = dynamic_cast<MessageDialog*>(child))
            return dialog;
    return nullptr;
}

// Through the intro into the first mission of a new player with tips off, after `setup` has
// set the profile, with Return wherever the game asks (play, go on with the game, the map's
// story and play); the fade into the mission is over.
void start_first_mission(GameDriver& driver, const std::function<void(Profile&)>& setup)
{
    driver.skip_intro()
        .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
        .then([setup] {
            Game& game = *Game::instance();
            game.select_profile("Tester");
            player().new_game(0, game.m_score_table);
            player().tips = false;
            setup(player());
        })
        .press_until("the game frame", [] {
            return game_frame() && game_frame()->field() && !Game::instance()->frame_manager().is_fading();
        });
}

// Presses Space now and then until the end dialog has closed and the mission's frame has left.
GameDriver& leave_end_dialog(GameDriver& driver)
{
    auto last = std::make_shared<std::int64_t>(0);
    return driver.step("going on from the end dialog", [&driver, last] {
        // A lost mission comes back at once in a frame of its own, which is not ending.
        if (!end_dialog() && !(game_frame() && game_frame()->is_ending()))
            return true;
        if (time_ms() - *last > 500) {
            *last = time_ms();
            driver.press(SDLK_SPACE);
        }
        return false;
    }, 20000);
}

// What the end of a mission did, and when (milliseconds of the test's clock).
struct Timeline
{
    std::int64_t state_set = -1;
    float music_before = -1.0f;
    std::vector<std::int64_t> payments;
    std::vector<int> gains;
    float music_at_first_payment = -1.0f;
    std::vector<std::string> texts_at_first_payment;
    std::int64_t dialog_shown = -1;
    GameState result_at_dialog = GameState::running;
    bool frame_on_top_at_dialog = false;
    int profile_score_at_dialog = -1;
    int field_score_at_dialog = -2;
    int chapter_wins_at_dialog = -1;
    float music_at_dialog = -1.0f;
    bool mission_left = false;
};

TEST(GameFrameEnd, TheMusicDimsThenAWinPaysTheReserveEvery70MsThenTheResultsAreKeptBeforeTheEndDialog)
{
    // The first mission's creation idol has 3 production turns left at the end. A turn of the
    // reserve pays 50 points a piece of a production; at difficulty 0 the score gains them as
    // they are.
    constexpr int turns_left = 3;
    struct Case
    {
        GameState state;
        bool paid;
    };
    const Case cases[] = {{GameState::win, true}, {GameState::skip, false}, {GameState::fail, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.state));
        Timeline seen;
        int last_score = 0;
        int production_count = 0;
        {
            ManualClock clock;
            GameDriver driver;
            start_first_mission(driver, [](Profile& profile) { profile.powerups[std::size_t(Powerup::coin)] = 0; });
            driver.then([&seen, &last_score, &production_count, &c] {
                CreationIdol* idol = creation_idol();
                ASSERT_TRUE(idol);
                production_count = idol->production_count();
                while (idol->production_turns() > turns_left)
                    idol->take_production_turn();
                last_score = field().progress();
                field().on_progress_changed().connect([&seen, &last_score] {
                    seen.payments.push_back(time_ms());
                    seen.gains.push_back(field().progress() - last_score);
                    last_score = field().progress();
                    if (seen.payments.size() == 1) {
                        seen.music_at_first_payment = music_volume();
                        seen.texts_at_first_payment = floating_texts();
                    }
                }, &seen);
                seen.music_before = music_volume();
                seen.state_set = time_ms();
                field().set_game_state(c.state);
            });
            driver.wait_for("the end dialog", [&seen] {
                if (!end_dialog())
                    return false;
                seen.dialog_shown = time_ms();
                seen.result_at_dialog = game_frame() ? game_frame()->result() : GameState::running;
                seen.frame_on_top_at_dialog = game_frame() != nullptr;
                seen.profile_score_at_dialog = player().score;
                seen.field_score_at_dialog = game_frame() ? field().progress() : -1;
                seen.chapter_wins_at_dialog = player().chapter_wins;
                seen.music_at_dialog = music_volume();
                return true;
            }, 20000);
            leave_end_dialog(driver).then([&seen] { seen.mission_left = true; }).close_window();
            EXPECT_EQ(driver.run(), 0);
            EXPECT_EQ(driver.failure(), "");
        }

        const int unit = production_count * 50;
        ASSERT_GT(unit, 0);
        ASSERT_EQ(seen.payments.size(), c.paid ? std::size_t(turns_left) : 0u);
        for (std::size_t i = 0; i < seen.payments.size(); ++i) {
            EXPECT_EQ(seen.gains[i], unit) << "payment " << i;
            if (i > 0) {
                EXPECT_EQ(seen.payments[i] - seen.payments[i - 1], 70) << "payment " << i;
            }
        }
        if (c.paid) {
            // The music is dimmed, and the frame waits half a second, before the reserve.
            EXPECT_GE(seen.payments.front() - seen.state_set, 500);
            EXPECT_LT(seen.payments.front() - seen.state_set, 600);
            EXPECT_FLOAT_EQ(seen.music_at_first_payment, seen.music_before / 2.0f);
            EXPECT_EQ(seen.texts_at_first_payment, std::vector<std::string>{"+ " + std::to_string(unit * turns_left)});
            // The last turn's pause ends before the dialog.
            EXPECT_GE(seen.dialog_shown - seen.payments.back(), 70);
        } else {
            EXPECT_GE(seen.dialog_shown - seen.state_set, 500) << "the dimmed music's pause";
        }
        EXPECT_FLOAT_EQ(seen.music_at_dialog, seen.music_before / 2.0f);
        EXPECT_TRUE(seen.frame_on_top_at_dialog) << "the frame left before its end dialog";
        EXPECT_EQ(seen.result_at_dialog, c.state);
        EXPECT_EQ(seen.profile_score_at_dialog, seen.field_score_at_dialog) << "the score is kept before the dialog";
        EXPECT_EQ(seen.chapter_wins_at_dialog, c.state == GameState::win ? 1 : 0);
        EXPECT_TRUE(seen.mission_left);
    }
}

TEST(GameFrameEnd, AFailureWithACoinAsksForItAndSpendingItSkipsTheMission)
{
    struct Case
    {
        const char* title;
        int lives;
        int coins;
        const char* asked;  // the question's node; null: none
        SDL_Keycode answer;
        GameState result;
        int coins_after;  // the profile's, once the end dialog shows
    };
    const Case cases[] = {
        {"a coin and lives, spent", 2, 1, "dialogs.coin_request", SDLK_RETURN, GameState::skip, 0},
        {"a coin and lives, kept", 2, 1, "dialogs.coin_request", SDLK_ESCAPE, GameState::fail, 1},
        {"a coin and no lives: spent whatever the answer", 0, 1, "dialogs.coin_forced", SDLK_ESCAPE, GameState::skip,
         0},
        {"no coin", 2, 0, nullptr, SDLK_RETURN, GameState::fail, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::vector<std::string> asked;
        GameState result = GameState::running;
        int coins_after = -1;
        {
            ManualClock clock;
            GameDriver driver;
            start_first_mission(driver, [&c](Profile& profile) {
                profile.lives = c.lives;
                profile.powerups[std::size_t(Powerup::coin)] = c.coins;
            });
            driver.then([] { field().set_game_state(GameState::fail); });
            // Answers each question once, until the end dialog shows.
            driver.step("the end dialog", [&driver, &c, &asked, &result] {
                if (MessageDialog* dialog = question()) {
                    const std::string node = dialog->path().text();
                    if (asked.empty() || asked.back() != node) {
                        asked.push_back(node);
                        driver.press(c.answer);
                    }
                    return false;
                }
                if (!end_dialog())
                    return false;
                result = game_frame() ? game_frame()->result() : GameState::running;
                return true;
            }, 20000);
            driver.then([&coins_after] { coins_after = player().powerups[std::size_t(Powerup::coin)]; })
                .close_window();
            EXPECT_EQ(driver.run(), 0);
            EXPECT_EQ(driver.failure(), "");
        }
        const std::vector<std::string> expected =
            c.asked ? std::vector<std::string>{c.asked} : std::vector<std::string>{};
        EXPECT_EQ(asked, expected);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(coins_after, c.coins_after);
    }
}

}
}
