// A mission played in the real game as a player meets it: from the title screen's main menu
// over the travel map into the game frame of the current player's mission, aimed and shot with the mouse, ended, and back.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/base/clock.h"
#include "engine/ui/message_dialog.h"
#include "game/shell/dialogs/ingame_dlg.h"
#include "game/shell/dialogs/ingame_options_dlg.h"
#include "game/shell/play/game_frame.h"
#include "game/shell/progress/save_file.h"
#include "game/shell/screens/progress_frame.h"
#include "game/shell/screens/title_frame.h"
#include "tests/shell/game_driver.h"
#include "tests/shell/profile_dialogs.h"

namespace kq::test {
namespace {

// Closes the tips on screen with Return, as a player reads them, until none is left.
GameDriver& close_tips(GameDriver& driver)
{
    auto last = std::make_shared<std::int64_t>(0);
    return driver.step("closing the tips", [&driver, last] {
        if (Game::instance()->tip_pages().empty())
            return true;
        if (time_ms() - *last > 300) {
            *last = time_ms();
            driver.press(SDLK_RETURN);
        }
        return false;
    });
}

// Through the intro to the title, then, with Return wherever the game asks (play, the new
// game's mode, the map's story and tip, the map's play), into the first mission, its tips read
// and its panels in place.
GameDriver& start_first_mission(GameDriver& driver)
{
    driver.skip_intro()
        .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
        .press_until("the game frame", [] { return game_frame() && game_frame()->field(); })
        .pause(1600);
    return close_tips(driver);
}

// From here on the player has tips off: none comes between the test's inputs.
GameDriver& tips_off(GameDriver& driver)
{
    return driver.then([] { Game::instance()->m_profile->tips = false; });
}

// A launchable piece standing still, not under an awning, nearest the screen's centre.
Vector2<int> still_piece()
{
    Vector2<int> best{-1, -1};
    float best_distance = 1e9f;
    for (const auto& [group, piece] : field().pieces()) {
        if (!piece->is_launchable() || piece->is_off_ground() || field().is_under_awning(piece->position()))
            continue;
        const Vector2<float> p = piece->position();
        const float d = std::hypot(p.x - 512.0f, p.y - 384.0f);
        if (d < best_distance) {
            best_distance = d;
            best = {int(std::lround(p.x)), int(std::lround(p.y))};
        }
    }
    return best;
}

// Counts the field's launches once the mission runs.
struct Launches
{
    int count = 0;
    void listen(GameDriver& driver)
    {
        driver.then([this] { field().on_launch().connect([this] { ++count; }, this); });
    }
};

// What the game reached, recorded by a step for the test to check after the run.
template <class T>
using Seen = std::shared_ptr<T>;

TEST(GameFrame, AnAimReleasedMoreThan20PixelsFromItsPressLaunches)
{
    // Each case: where the pointer goes after the press, released at the last point.
    struct Case
    {
        const char* title;
        std::vector<Vector2<int>> path;
        bool launched;
        bool still_held;
    };
    const Case cases[] = {
        {"released on the spot", {{0, 0}}, false, true},
        {"released exactly 20 pixels away", {{20, 0}}, false, true},
        {"dragged out 30 pixels and back within 20", {{30, 0}, {10, 0}}, false, false},
        {"released 21 pixels away", {{0, 21}}, true, false},
        {"released 60 pixels away", {{40, 0}, {60, 0}}, true, false},
    };
    GameDriver driver;
    tips_off(start_first_mission(driver));
    Launches launches;
    launches.listen(driver);
    auto at = std::make_shared<Vector2<int>>();
    std::vector<int> launched(std::size(cases), -1);
    std::vector<int> held(std::size(cases), -1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        driver
            .wait_for("a still piece", [at] {
                *at = still_piece();
                return at->x >= 0 && !field().shot_in_flight() && !field().held_item();
            }, 20000)
            .then([&launches, &launched, i] { launched[i] = -launches.count; })
            // The pointer comes over the piece from a little way off, as a hand moves it.
            .move_mouse([at] { return Vector2<int>{at->x - 5, at->y - 5}; })
            .move_mouse([at] { return *at; })
            .mouse_button([at] { return *at; }, SDL_BUTTON_LEFT, true)
            .pause(100);
        for (const Vector2<int>& offset : c.path)
            driver.move_mouse([at, offset] { return Vector2<int>{at->x + offset.x, at->y + offset.y}; }).pause(50);
        const Vector2<int> last = c.path.back();
        driver.mouse_button([at, last] { return Vector2<int>{at->x + last.x, at->y + last.y}; }, SDL_BUTTON_LEFT, false)
            .pause(100)
            .then([&launches, &launched, &held, i] {
                launched[i] += launches.count;
                held[i] = field().held_item() ? 1 : 0;
                // Let go of an aim still held, for the next case.
                field().release_held_item();
            });
    }
    driver.close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].title);
        EXPECT_EQ(launched[i], cases[i].launched ? 1 : 0);
        EXPECT_EQ(held[i], cases[i].still_held ? 1 : 0);
    }
}

TEST(GameFrame, AWonMissionIsWrittenBackIntoTheProfileAndSavedOnce)
{
    GameDriver driver;
    start_first_mission(driver);
    auto shown_score = std::make_shared<int>(-1);
    auto final_score = std::make_shared<int>(-1);
    auto menu_opened = std::make_shared<bool>(false);
    auto result_after_second_state = std::make_shared<GameState>(GameState::running);
    driver
        .then([] { field().add_progress(500); })
        .wait_for("the score shown", [shown_score] {
            *shown_score = game_frame()->top_panel().score();
            return *shown_score == field().progress();
        })
        .then([] { field().set_game_state(GameState::win); })
        .wait_for("the end of the mission", [] { return game_frame()->is_ending(); })
        .then([&driver] { driver.press(SDLK_ESCAPE); })
        .pause(200)
        .then([menu_opened] {
            *menu_opened = Game::instance()->hider_holds() > 0;
            // A state announced again once the end has begun changes nothing.
            game_frame()->on_game_state(GameState::fail);
        })
        .wait_for("the result", [final_score, result_after_second_state] {
            if (game_frame()->result() == GameState::running)
                return false;
            *result_after_second_state = game_frame()->result();
            *final_score = field().progress();
            return true;
        });
    auto last = std::make_shared<std::int64_t>(0);
    driver.step("going on from the end dialog", [&driver, last] {
        if (top_frame_is<ProgressFrame>())
            return true;
        if (time_ms() - *last > 500) {
            *last = time_ms();
            driver.press(SDLK_SPACE);
        }
        return false;
    }, 20000);
    auto profile = std::make_shared<Profile>();
    auto saved = std::make_shared<SaveData>();
    auto loaded = std::make_shared<bool>(false);
    driver
        .then([profile, saved, loaded] {
            Game& game = *Game::instance();
            *profile = *game.m_profile;
            *loaded = SaveFile(Game::save_file_path()).load(game.m_chapters, *saved);
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_GT(*shown_score, 0);
    EXPECT_FALSE(*menu_opened) << "Escape opened the menu while the mission ended";
    EXPECT_EQ(*result_after_second_state, GameState::win);
    EXPECT_GT(*final_score, *shown_score) << "the creation idol's reserve pays on a win";
    EXPECT_EQ(profile->score, *final_score);
    EXPECT_EQ(profile->chapter_wins, 1);
    EXPECT_EQ(profile->mission, 2) << "the map moves a won mission's player on";
    ASSERT_TRUE(*loaded);
    ASSERT_EQ(saved->profiles.size(), 1u);
    EXPECT_EQ(saved->profiles.front().score, *final_score);
    EXPECT_EQ(saved->profiles.front().chapter_quality, profile->chapter_quality);
}

TEST(GameFrame, KeysOneToFiveChooseAPowerupOnThePressAndTheCursorFollowsTheMode)
{
    struct Case
    {
        SDL_Keycode key;
        Key code;
        GameMode mode;
        const char* over_nothing;
        const char* over_a_piece;
        // Left with a right press (undo) or, in stop mode, a double click (apply).
        bool left_by_double_click;
    };
    const Case cases[] = {
        {SDLK_3, key_3, GameMode::hand, "cant_take", "can_take", false},
        {SDLK_4, key_4, GameMode::fireball, "fireball", "fireball", false},
        {SDLK_5, key_5, GameMode::bolt, "bolt", "bolt", false},
        {SDLK_2, key_2, GameMode::strikes, "default", "can_launch", true},
    };
    const Vector2<int> nothing{60, 120};
    struct Seen
    {
        GameMode after_release_and_double = GameMode::aim;
        GameMode after_press = GameMode::aim;
        std::string over_nothing, over_a_piece, hardware;
        GameMode after_right_press = GameMode::hand;
        int highlight = -2;
    };
    auto seen = std::make_shared<std::vector<Seen>>(std::size(cases));
    auto piece = std::make_shared<Vector2<int>>();
    std::string aim_cursor;

    GameDriver driver;
    tips_off(start_first_mission(driver));
    driver.then([] {
        for (Powerup p : {Powerup::clock, Powerup::hand, Powerup::fireball, Powerup::bolt})
            field().add_powerup(p, 1, false);
    });
    driver.move_mouse(nothing).pause(100).then([&aim_cursor] { aim_cursor = game_frame()->cursor_state().c_str(); });
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        Seen& s = (*seen)[i];
        driver
            .then([&c, &s] {
                game_frame()->on_key(c.code, state_up);
                game_frame()->on_key(c.code, state_double_click);
                s.after_release_and_double = field().mode();
            })
            .press_key(c.key)
            .wait_for("the powerup's mode", [&c] { return field().mode() == c.mode; })
            .then([&s] { s.after_press = field().mode(); });
        driver
            .move_mouse(nothing)
            .pause(100)
            .then([&s, piece] {
                s.over_nothing = game_frame()->cursor_state().c_str();
                s.hardware = game_frame()->cursor().path();
                *piece = still_piece();
            })
            .move_mouse([piece] { return *piece; })
            .pause(100)
            .then([&s] { s.over_a_piece = game_frame()->cursor_state().c_str(); })
            .move_mouse(nothing)
            .pause(50);
        const Uint8 button = c.left_by_double_click ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
        for (int press = 0; press < (c.left_by_double_click ? 2 : 1); ++press)
            driver.mouse_button([nothing] { return nothing; }, button, true)
                .mouse_button([nothing] { return nothing; }, button, false);
        driver
            .wait_for("the mode left", [] { return field().mode() == GameMode::aim; })
            .pause(50)
            .then([&s] {
                s.after_right_press = field().mode();
                s.highlight = game_frame()->top_panel().highlight();
            });
    }
    driver.close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(aim_cursor, "default");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const Seen& s = (*seen)[i];
        SCOPED_TRACE(c.over_a_piece);
        EXPECT_EQ(s.after_release_and_double, GameMode::aim) << "a release or double click chose the powerup";
        EXPECT_EQ(s.after_press, c.mode);
        EXPECT_EQ(s.over_nothing, c.over_nothing);
        EXPECT_EQ(s.over_a_piece, c.over_a_piece);
        EXPECT_EQ(s.hardware, std::string("cursors/") + c.over_nothing + ".cur");
        EXPECT_EQ(s.after_right_press, GameMode::aim) << "the mode was not left";
        EXPECT_EQ(s.highlight, -1);
    }
}

TEST(GameFrame, AnIdleHoldStopsTheFieldWithoutMakingUpTheTimeLater)
{
    GameDriver driver;
    tips_off(start_first_mission(driver));
    auto before = std::make_shared<int>(0);
    auto held = std::make_shared<int>(-1);
    auto after = std::make_shared<int>(-1);
    driver
        .then([before] {
            Game::instance()->hold_idle();
            *before = field().field_time();
        })
        .pause(300)
        .then([before, held] {
            *held = field().field_time() - *before;
            Game::instance()->release_idle();
            *before = field().field_time();
        })
        .wait_for("a step", [before] { return field().field_time() != *before; })
        .then([before, after] { *after = field().field_time() - *before; })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(*held, 0);
    EXPECT_GT(*after, 0);
    // A busy machine may run a few steps before the check sees them; making up the hold would
    // add all of its 300 ms.
    EXPECT_LT(*after, 300);
}

TEST(GameFrame, QualityIsTheMetersShareOfItsMaximumAndZeroWithoutOne)
{
    struct Case { int meter, max, quality; };
    for (const Case& c : {Case{300, 600, 50}, Case{600, 600, 100}, Case{599, 600, 99}, Case{100, 0, 0},
                          Case{100, -5, 0}, Case{2000000000, 2000000000, 100}})
        EXPECT_EQ(GameFrame::quality_of(c.meter, c.max), c.quality) << c.meter << " of " << c.max;
}

// Where a dialog of kind T stands among the screen's top controls beside the hider.
enum class Layer { absent, under_hider, over_hider };

template <class T>
Layer layer_of()
{
    Control& hider = Game::instance()->hider();
    if (!hider.parent())
        return Layer::absent;
    Layer layer = Layer::absent;
    bool hider_seen = false;
    hider.parent()->for_each_child([&](Control* child) {
        if (child == &hider)
            hider_seen = true;
        else if (dynamic_cast<T*>(child))
            layer = hider_seen ? Layer::over_hider : Layer::under_hider;
    });
    return layer;
}

template <class T>
T* top_child()
{
    T* found = nullptr;
    Game::instance()->hider().parent()->for_each_child([&](Control* child) {
        if (T* dialog = dynamic_cast<T*>(child))
            found = dialog;
    });
    return found;
}

// The menu, its options and its question each wait for the hider's cover to come first.
template <class T>
GameDriver& see_layer(GameDriver& driver, const char* what, Seen<Layer> seen)
{
    return driver.wait_for(what, [seen] {
        *seen = layer_of<T>();
        return *seen != Layer::absent;
    });
}

TEST(GameFrame, TheInGameMenuAndItsDialogsStandOverTheDimmingCover)
{
    GameDriver driver;
    tips_off(start_first_mission(driver));
    auto menu = std::make_shared<Layer>(Layer::absent);
    auto options = std::make_shared<Layer>(Layer::absent);
    auto question = std::make_shared<Layer>(Layer::absent);
    driver.press_key(SDLK_ESCAPE);
    see_layer<IngameDlg>(driver, "the menu", menu)
        .click([] { return centre_of(top_child<IngameDlg>()->options_button()); });
    see_layer<IngameOptionsDlg>(driver, "the menu's options", options)
        .press_key(SDLK_ESCAPE)
        .wait_for("the game again", [] { return Game::instance()->hider_holds() == 0; })
        .press_key(SDLK_ESCAPE)
        .wait_for("the menu again", [] { return layer_of<IngameDlg>() != Layer::absent; })
        .click([] { return centre_of(top_child<IngameDlg>()->exit_button()); });
    see_layer<MessageDialog>(driver, "the question before leaving", question)
        .press_key(SDLK_ESCAPE)
        .wait_for("the game again", [] { return Game::instance()->hider_holds() == 0; })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(*menu, Layer::over_hider);
    EXPECT_EQ(*options, Layer::over_hider);
    EXPECT_EQ(*question, Layer::over_hider);
}

}
}
