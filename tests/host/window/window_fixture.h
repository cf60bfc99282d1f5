#pragma once

// A real window on the test's video driver, whose events the test collects.
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "engine/host/window/event_pump.h"
#include "engine/host/window/platform_window.h"
#include "engine/host/window/sdl_window.h"
#include "engine/host/window/video.h"

namespace kq::host {

inline void PrintTo(const WindowMessage& m, std::ostream* out)
{
    *out << "{" << m.type << ", " << m.a << ", " << m.b << "}";
}

}

namespace kq::test {

class WindowTest : public testing::Test
{
protected:
    using Messages = std::vector<host::WindowMessage>;

    void SetUp() override
    {
        ASSERT_TRUE(m_video.ready()) << host::VideoSystem::last_error();
        open(host::mode_windowed);
    }

    void TearDown() override
    {
        if (m_window)
            host::destroy_window(m_window);
        host::release_capture();
        host::input_state() = host::InputState{};
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    /// Opens the window anew in the mode, with what creation itself queued taken away.
    void open(int mode)
    {
        if (m_window)
            host::destroy_window(m_window);
        m_window = host::create_window({40, 30, 320, 240}, [this](host::WindowMessage& m) { m_messages.push_back(m); },
                                       mode, "test \xE9");
        ASSERT_NE(m_window, nullptr) << host::VideoSystem::last_error();
        pump();
    }

    Uint32 id() const { return SDL_GetWindowID(host::sdl_window(m_window)); }

    /// Runs one pump; the events handed out since the last call.
    Messages pump()
    {
        m_dropped = host::pump(m_window);
        Messages taken;
        taken.swap(m_messages);
        return taken;
    }

    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

    SDL_Event key(bool down, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = KMOD_NONE, Uint8 repeat = 0)
    {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = id();
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.sym = sym;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = mod;
        return event;
    }

    SDL_Event window_event(Uint8 what, int data1 = 0, int data2 = 0)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = id();
        event.window.event = what;
        event.window.data1 = data1;
        event.window.data2 = data2;
        return event;
    }

    SDL_Event text(const char* utf8)
    {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = id();
        SDL_strlcpy(event.text.text, utf8, sizeof event.text.text);
        return event;
    }

    SDL_Event button(bool down, Uint8 which, int x = 5, int y = 6, Uint8 clicks = 1)
    {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = id();
        event.button.button = which;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = clicks;
        event.button.x = x;
        event.button.y = y;
        return event;
    }

    SDL_Event motion(int x, int y)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = id();
        event.motion.x = x;
        event.motion.y = y;
        return event;
    }

    SDL_Event wheel(int y, float precise_y = 0.0f, Uint32 direction = SDL_MOUSEWHEEL_NORMAL)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.windowID = id();
        event.wheel.y = y;
        event.wheel.preciseY = precise_y;
        event.wheel.direction = direction;
        return event;
    }

    host::VideoSystem m_video;
    host::WindowHandle m_window = nullptr;
    Messages m_messages;
    int m_dropped = 0;
};

}
