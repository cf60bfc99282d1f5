#include "engine/host/window/event_pump.h"

#include <cmath>

#include <SDL.h>

#include "engine/host/system/clock.h"
#include "engine/host/window/code_page_1252.h"
#include "engine/host/window/host_cursor.h"
#include "engine/host/window/key_codes.h"
#include "engine/host/window/platform_window.h"
#include "engine/host/window/sdl_window.h"
#include "engine/host/window/window_records.h"

namespace kq::host {

namespace {

constexpr int wheel_step = 120;
constexpr int state_down = 0;
constexpr int state_up = 1;

/// Counts the events that found no handler.
class Dispatch
{
public:
    void send(WindowHandle window, int type, int a = 0, int b = 0)
    {
        if (!send_event(window, type, a, b))
            ++m_dropped;
    }
    void drop() { ++m_dropped; }
    int dropped() const { return m_dropped; }

private:
    int m_dropped = 0;
};

// After a key that the system keeps for itself (Alt chords, F10) the text it types is not
// the game's either.
bool g_text_after_system_key = false;

WindowHandle window_of(Uint32 window_id)
{
    return window_handle(SDL_GetWindowFromID(window_id));
}

void set_key(int vk, bool down)
{
    if (vk > 0 && vk < 256)
        input_state().key_down[vk] = down;
}

void update_activation(WindowHandle window, Dispatch& dispatch)
{
    WindowRecord* record = find_record(window);
    if (!record) {
        dispatch.drop();
        return;
    }
    const bool active = input_state().focus == window && !record->minimised;
    if (active == record->active)
        return;
    record->active = active;
    const int mode = record->mode;
    dispatch.send(window, active ? event_activated : event_deactivated);
    if (mode & mode_fullscreen) {
        // A full-screen window gives the desktop back while another program is active.
        if (active) {
            SDL_RestoreWindow(sdl_window(window));
            SDL_RaiseWindow(sdl_window(window));
        } else {
            SDL_MinimizeWindow(sdl_window(window));
        }
    }
}

void on_window_event(const SDL_WindowEvent& event, Dispatch& dispatch)
{
    const WindowHandle window = window_of(event.windowID);
    InputState& state = input_state();
    WindowRecord* record = find_record(window);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        dispatch.send(window, event_command, command_close);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        dispatch.send(window, event_resized, event.data1, event.data2);
        break;
    case SDL_WINDOWEVENT_ENTER:
        state.mouse_window = window;
        break;
    case SDL_WINDOWEVENT_LEAVE:
        if (state.mouse_window == window)
            state.mouse_window = nullptr;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        state.focus = window;
        update_activation(window, dispatch);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (state.focus == window)
            state.focus = nullptr;
        // Keys released while another program has the keyboard never reach us.
        state.release_keys();
        update_activation(window, dispatch);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        if (record)
            record->minimised = event.event == SDL_WINDOWEVENT_MINIMIZED;
        update_activation(window, dispatch);
        break;
    default:
        break;
    }
}

void on_key(const SDL_KeyboardEvent& event, Dispatch& dispatch)
{
    const WindowHandle window = window_of(event.windowID);
    const int vk = virtual_key(event.keysym.sym, event.keysym.scancode);
    const bool down = event.type == SDL_KEYDOWN;
    set_key(vk, down);
    if (vk == 0)
        return;
    // The right Alt key is AltGr on many layouts, which types characters: only the left one
    // makes system chords.
    const bool alt = (event.keysym.mod & KMOD_LALT) != 0;
    const bool system_key = alt || event.keysym.scancode == SDL_SCANCODE_LALT || vk == vk_f10;
    if (system_key) {
        if (!down)
            return;
        g_text_after_system_key = true;
        if (alt && !event.repeat && vk == vk_return)
            dispatch.send(window, event_command, command_toggle_fullscreen);
        else if (alt && !event.repeat && vk == vk_f4)
            dispatch.send(window, event_command, command_close);
        return;
    }
    if (down)
        g_text_after_system_key = false;
    dispatch.send(window, event_key, vk, down ? state_down : state_up);
    // The characters of these keys come from the keys themselves, not from typed text.
    if (down && (vk == vk_return || vk == vk_back || vk == vk_escape))
        dispatch.send(window, event_char, vk);
}

void on_text(const SDL_TextInputEvent& event, Dispatch& dispatch)
{
    if (g_text_after_system_key)
        return;
    const WindowHandle window = window_of(event.windowID);
    for (char byte : utf8_to_code_page(event.text))
        dispatch.send(window, event_char, static_cast<unsigned char>(byte));
}

int mouse_key(Uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT:
        return 1;
    case SDL_BUTTON_RIGHT:
        return 2;
    case SDL_BUTTON_MIDDLE:
        return 4;
    default:
        return 0;
    }
}

void on_mouse_button(const SDL_MouseButtonEvent& event, Dispatch& dispatch)
{
    const int key = mouse_key(event.button);
    if (key == 0 || event.which == SDL_TOUCH_MOUSEID)
        return;
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    set_key(key, down);
    input_state().mouse_x = event.x;
    input_state().mouse_y = event.y;
    // Windows of this layer take no double clicks: each click is a press and a release.
    dispatch.send(window_of(event.windowID), event_key, key, down ? state_down : state_up);
}

void on_mouse_motion(const SDL_MouseMotionEvent& event, Dispatch& dispatch)
{
    if (event.which == SDL_TOUCH_MOUSEID)
        return;
    input_state().mouse_x = event.x;
    input_state().mouse_y = event.y;
    dispatch.send(window_of(event.windowID), event_mouse_move, event.x, event.y);
}

void on_wheel(const SDL_MouseWheelEvent& event, Dispatch& dispatch)
{
    int delta = event.preciseY != 0.0f ? static_cast<int>(std::lround(event.preciseY * wheel_step))
                                       : event.y * wheel_step;
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED)
        delta = -delta;
    if (delta != 0)
        dispatch.send(window_of(event.windowID), event_wheel, delta);
}

void translate(const SDL_Event& event, Dispatch& dispatch)
{
    switch (event.type) {
    case SDL_WINDOWEVENT:
        on_window_event(event.window, dispatch);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        on_key(event.key, dispatch);
        break;
    case SDL_TEXTINPUT:
        on_text(event.text, dispatch);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        on_mouse_button(event.button, dispatch);
        break;
    case SDL_MOUSEMOTION:
        on_mouse_motion(event.motion, dispatch);
        break;
    case SDL_MOUSEWHEEL:
        on_wheel(event.wheel, dispatch);
        break;
    default:
        // Events of no window (the quit request, devices) are not the window's.
        break;
    }
}

}

int pump(WindowHandle window)
{
    Dispatch dispatch;
    if (WindowRecord* record = find_record(window)) {
        const bool inside = cursor_inside(window);
        if (inside != record->inside) {
            record->inside = inside;
            dispatch.send(window, inside ? event_mouse_enter : event_mouse_leave);
        }
    }
    SDL_Event event;
    while (SDL_PollEvent(&event))
        translate(event, dispatch);
    animate_cursor(monotonic_ms());
    return dispatch.dropped();
}

}
