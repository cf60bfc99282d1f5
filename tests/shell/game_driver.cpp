#include "tests/shell/game_driver.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/base/clock.h"
#include "engine/base/mainframe.h"
#include "engine/host/window/sdl_window.h"
#include "engine/platform/api_window.h"
#include "game/shell/play/game_frame.h"
#include "game/shell/screens/intro_frame.h"

namespace kq::test {

namespace {

constexpr std::int64_t driver_period_ms = 10;

}

/// The game with the driver's task beside its own from the start on.
class GameDriver::DrivenVimo : public Vimo
{
public:
    explicit DrivenVimo(GameDriver& driver) : m_driver(driver) {}

    void start() override
    {
        Vimo::start();
        Mainframe::add_task([this] { m_driver.advance(); }, reinterpret_cast<Mainframe::TaskId>(&m_driver),
                            driver_period_ms, Mainframe::periodic);
    }

    void shutdown() override
    {
        if (Mainframe::instance())
            Mainframe::remove_task(reinterpret_cast<Mainframe::TaskId>(&m_driver));
        Vimo::shutdown();
    }

private:
    GameDriver& m_driver;
};

GameDriver::GameDriver()
{
    if (const char* home = std::getenv("XDG_DATA_HOME")) {
        m_saved_home = home;
        m_had_home = true;
    }
    ::setenv("XDG_DATA_HOME", m_home.path().c_str(), 1);
    window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
}

GameDriver::~GameDriver()
{
    if (m_had_home)
        ::setenv("XDG_DATA_HOME", m_saved_home.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

GameDriver& GameDriver::step(std::string what, Step step, std::int64_t limit_ms)
{
    m_script.push_back({std::move(what), std::move(step), limit_ms});
    return *this;
}

GameDriver& GameDriver::wait_for(std::string what, std::function<bool()> condition, std::int64_t limit_ms)
{
    return step("waiting for " + what, std::move(condition), limit_ms);
}

GameDriver& GameDriver::pause(std::int64_t ms)
{
    auto until = std::make_shared<std::int64_t>(-1);
    return step(
        "pause", [until, ms] {
            if (*until < 0)
                *until = time_ms() + ms;
            return time_ms() >= *until;
        },
        ms + 10000);
}

GameDriver& GameDriver::then(std::function<void()> action)
{
    return step("action", [action = std::move(action)] {
        action();
        return true;
    });
}

GameDriver& GameDriver::click(Vector2<int> point)
{
    return click([point] { return point; });
}

GameDriver& GameDriver::click(std::function<Vector2<int>()> where)
{
    return step("click", [this, where] {
        const Vector2<int> point = where();
        push_motion(point);
        push_button(point, SDL_BUTTON_LEFT, true);
        push_button(point, SDL_BUTTON_LEFT, false);
        return true;
    });
}

GameDriver& GameDriver::move_mouse(Point point)
{
    return step("mouse move", [this, point = std::move(point)] {
        push_motion(point());
        return true;
    });
}

GameDriver& GameDriver::mouse_button(Point point, Uint8 button, bool down)
{
    return step("mouse button", [this, point = std::move(point), button, down] {
        push_button(point(), button, down);
        return true;
    });
}

void GameDriver::push_motion(Vector2<int> point)
{
    const Vector2<int> pixel = Game::instance()->window().to_window(Vector2<float>{float(point.x), float(point.y)});
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = pixel.x;
    event.motion.y = pixel.y;
    push(event);
}

void GameDriver::push_button(Vector2<int> point, Uint8 button, bool down)
{
    const Vector2<int> pixel = Game::instance()->window().to_window(Vector2<float>{float(point.x), float(point.y)});
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = pixel.x;
    event.button.y = pixel.y;
    push(event);
}

GameDriver& GameDriver::press_key(SDL_Keycode key, Uint16 modifiers)
{
    return step("key", [this, key, modifiers] {
        press(key, modifiers);
        return true;
    });
}

void GameDriver::press(SDL_Keycode key, Uint16 modifiers)
{
    push_key(key, modifiers, true);
    push_key(key, modifiers, false);
}

GameDriver& GameDriver::key_state(SDL_Keycode key, bool down)
{
    return step("key state", [this, key, down] {
        push_key(key, KMOD_NONE, down);
        return true;
    });
}

void GameDriver::push_key(SDL_Keycode key, Uint16 modifiers, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym = {SDL_GetScancodeFromKey(key), key, modifiers, 0};
    push(event);
}

GameDriver& GameDriver::type_text(std::string text)
{
    return step("text", [this, text] {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        text.copy(event.text.text, sizeof(event.text.text) - 1);
        push(event);
        return true;
    });
}

GameDriver& GameDriver::press_until(std::string what, std::function<bool()> done, SDL_Keycode key,
                                    std::int64_t limit_ms)
{
    auto last = std::make_shared<std::int64_t>(-1);
    return step(
        "pressing keys until " + what, [this, last, done = std::move(done), key] {
            if (done())
                return true;
            if (*last < 0 || time_ms() - *last > 300) {
                *last = time_ms();
                press(key);
            }
            return false;
        },
        limit_ms);
}

GameDriver& GameDriver::skip_intro()
{
    auto skipped = std::make_shared<Frame*>(nullptr);
    return step(
        "the end of the intro", [this, skipped] {
            Frame* top = top_frame();
            if (dynamic_cast<IntroFrame*>(top)) {
                // A key each logo (the next may take the memory of the last: key by time).
                if (*skipped != top) {
                    *skipped = top;
                    press(SDLK_SPACE);
                }
                return false;
            }
            *skipped = nullptr;
            return top && top->path().text() != "shell.black_frame";
        },
        20000);
}

GameDriver& GameDriver::window_event(SDL_WindowEventID id)
{
    return step("window event", [this, id] {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = id;
        push(event);
        return true;
    });
}

void GameDriver::push(SDL_Event event)
{
    const auto* window = static_cast<const APIWindow*>(&Game::instance()->window());
    const Uint32 id = SDL_GetWindowID(host::sdl_window(window->handle()));
    switch (event.type) {
    case SDL_MOUSEMOTION: event.motion.windowID = id; break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: event.button.windowID = id; break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: event.key.windowID = id; break;
    case SDL_TEXTINPUT: event.text.windowID = id; break;
    default: event.window.windowID = id; break;
    }
    SDL_PushEvent(&event);
}

void GameDriver::advance()
{
    // A step that runs a nested loop (pushing a frame that loads first) holds the script
    // until it returns: the loop's own calls here would run that step again.
    if (m_in_step)
        return;
    m_in_step = true;
    advance_script();
    m_in_step = false;
}

void GameDriver::advance_script()
{
    // Acting steps follow one another in one call; a waiting step returns until it holds.
    while (m_next < m_script.size()) {
        Entry& entry = m_script[m_next];
        if (m_step_start < 0)
            m_step_start = time_ms();
        if (!entry.step()) {
            if (time_ms() - m_step_start <= entry.limit_ms)
                return;
            m_failure = "timed out " + entry.what;
            m_next = m_script.size();
            Mainframe::quit();
            return;
        }
        ++m_next;
        m_step_start = -1;
    }
}

int GameDriver::run()
{
    DrivenVimo vimo(*this);
    const int code = vimo.run();
    if (m_failure.empty() && m_next < m_script.size())
        m_failure = "the game ended " + m_script[m_next].what;
    return code;
}

std::string GameDriver::log(const std::string& name) const
{
    std::ifstream file(app_dir() + name + ".log", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

Frame* top_frame()
{
    Game* game = Game::instance();
    return game ? game->frame_manager().top() : nullptr;
}

GameFrame* game_frame()
{
    return dynamic_cast<GameFrame*>(top_frame());
}

Field& field()
{
    return *game_frame()->field();
}

}
