// A mission played in the real game as a player meets it: from the title screen into the game
// frame of the current player's mission, aimed and shot with the mouse, ended, and back.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/shell/game_frame.h"
#include "game/shell/save_file.h"
#include "game/shell/title_frame.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

GameFrame* game_frame()
{
    return dynamic_cast<GameFrame*>(top_frame());
}

Field& field()
{
    return *game_frame()->field();
}

// Through the intro to the title, then into the first mission, its panels in place.
GameDriver& start_first_mission(GameDriver& driver)
{
    return driver.skip_intro()
        .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
        .press_key(SDLK_RETURN)
        .wait_for("the game frame", [] { return game_frame() && game_frame()->field(); })
        .pause(1600);
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
    start_first_mission(driver);
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

}
}
