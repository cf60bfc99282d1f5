#pragma once

// Runs the real game in this process, as `make run` starts it, and drives it like a player.
//
// The game runs from the build's own tree (build/bin: the test program sits beside "vimo",
// "default.root" and "data/"), on SDL's offscreen video driver and the dummy audio driver
// that ctest sets, with a fresh personal folder. The whole game flow runs inside the
// scheduler's loop, in nested modal loops, so a test cannot step it from outside: instead it
// writes a script of steps first, then calls `run`. Every 10 ms of scheduler time the driver
// calls the current step; a step that answers true is done and the next one starts. Steps
// that act (push an input event) answer true at once; steps that wait answer true when their
// condition holds. A step still waiting after its time limit fails the script: the driver
// records what it waited for and ends the game. Reading state (frames, the Game's fields)
// happens inside the steps, on the game's own thread.
//
//     GameDriver driver;
//     driver.wait_for("the intro", [] { return top_frame_is<IntroFrame>(); })
//           .press_key(SDLK_SPACE)
//           .wait_for("the title", [] { return top_frame_is<TitleFrame>(); })
//           .close_window();
//     EXPECT_EQ(driver.run(), 0);
//     EXPECT_EQ(driver.failure(), "");
//
// The window starts without the focus (no desktop gives it one offscreen); the script's first
// step gives it, as a desktop does when a program's window opens. One driver runs at a time.
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/vector2.h"
#include "game/shell/app/game.h"
#include "game/shell/app/vimo.h"
#include "tests/base/temp_dir.h"

namespace kq {
class Field;
class GameFrame;
}

namespace kq::test {

class GameDriver
{
public:
    /// A step: true once it is done.
    using Step = std::function<bool()>;

    /// A script that starts by giving the window the focus.
    GameDriver();
    ~GameDriver();
    GameDriver(const GameDriver&) = delete;
    GameDriver& operator=(const GameDriver&) = delete;

    /// Waits until the condition holds (asked every 10 ms), at most `limit_ms`.
    GameDriver& wait_for(std::string what, std::function<bool()> condition, std::int64_t limit_ms = 10000);
    /// Lets the game run for that long.
    GameDriver& pause(std::int64_t ms);
    /// Runs the callable once (to read or record state).
    GameDriver& then(std::function<void()> action);
    /// A left click at a point of the logical screen (1024 x 768).
    GameDriver& click(Vector2<int> point);
    /// A left click at the point `where` answers when the step runs (a control's place).
    GameDriver& click(std::function<Vector2<int>()> where);
    /// A point of the logical screen worked out when the step runs.
    using Point = std::function<Vector2<int>()>;
    /// The mouse moved to a point of the logical screen.
    GameDriver& move_mouse(Point point);
    GameDriver& move_mouse(Vector2<int> point)
    {
        return move_mouse([point] { return point; });
    }
    /// A mouse button (`SDL_BUTTON_LEFT`, `SDL_BUTTON_RIGHT`) pressed (`down`) or released at a
    /// point of the logical screen where the mouse already is.
    GameDriver& mouse_button(Point point, Uint8 button, bool down);
    /// A key pressed and released, with the modifiers held.
    GameDriver& press_key(SDL_Keycode key, Uint16 modifiers = KMOD_NONE);
    /// A key pressed (`down`) or released alone, as a held Shift is.
    GameDriver& key_state(SDL_Keycode key, bool down);
    /// Text typed (UTF-8), as the window's text input delivers it.
    GameDriver& type_text(std::string text);
    /// Any window event (focus, close...) for the game's window.
    GameDriver& window_event(SDL_WindowEventID event);
    /// The window's close button.
    GameDriver& close_window() { return window_event(SDL_WINDOWEVENT_CLOSE); }
    /// Skips every logo of the intro with a key, as an impatient player does, until the screen
    /// after the intro is on top.
    GameDriver& skip_intro();
    /// Presses the key every 300 ms, as a player who goes on wherever asked, until the
    /// condition holds (asked every 10 ms), at most `limit_ms`.
    GameDriver& press_until(std::string what, std::function<bool()> done, SDL_Keycode key = SDLK_RETURN,
                            std::int64_t limit_ms = 30000);
    /// Any step of the test's own.
    GameDriver& step(std::string what, Step step, std::int64_t limit_ms = 10000);

    /// Pushes a key's press and release at once: for a step of the test's own.
    void press(SDL_Keycode key, Uint16 modifiers = KMOD_NONE);
    /// Pushes the mouse's move to a point of the logical screen at once: for a step of the
    /// test's own.
    void push_motion(Vector2<int> point);
    /// Pushes a mouse button's press (`down`) or release at a point of the logical screen at
    /// once: for a step of the test's own.
    void push_button(Vector2<int> point, Uint8 button, bool down);

    /// Runs the game until it ends by itself; returns its exit code. A script not finished by
    /// then is a failure; the game is ended after a failed step.
    int run();

    /// What went wrong: the step that timed out or was left, else empty.
    const std::string& failure() const { return m_failure; }
    /// The personal folder the game used (its logs are there).
    std::string app_dir() const { return m_home.path() + "KQ/Vimo/"; }
    /// The text of the game's log of that name.
    std::string log(const std::string& name) const;

private:
    struct Entry
    {
        std::string what;
        Step step;
        std::int64_t limit_ms;
    };
    class DrivenVimo;

    void advance();
    void advance_script();
    void push(SDL_Event event);
    void push_key(SDL_Keycode key, Uint16 modifiers, bool down);

    TempDir m_home;
    std::string m_saved_home;
    bool m_had_home = false;
    std::vector<Entry> m_script;
    std::size_t m_next = 0;
    std::int64_t m_step_start = -1;
    bool m_in_step = false;
    std::string m_failure;
};

/// The game's frame on top of the stack, or null.
Frame* top_frame();

/// Whether the frame on top is a T.
template <class T>
bool top_frame_is()
{
    return dynamic_cast<T*>(top_frame()) != nullptr;
}

/// The game frame on top of the stack, or null.
GameFrame* game_frame();
/// The field of the game frame on top (there must be one).
Field& field();

}
