#pragma once

#include <functional>

namespace kq::host {

/// One window event: a code of `WindowEvent` and two arguments (`c` is always 0).
struct WindowMessage
{
    int type = 0;
    int a = 0;
    int b = 0;
    int c = 0;
    friend bool operator==(const WindowMessage&, const WindowMessage&) = default;
};

/// The event codes of `WindowMessage::type`, with what `a` and `b` carry.
enum WindowEvent : int
{
    event_destroyed = 1,    ///< the window was destroyed
    event_activated = 2,    ///< the window became active
    event_deactivated = 3,  ///< the window became inactive
    event_resized = 4,      ///< a, b: the new client width and height
    event_command = 5,      ///< a: 1 close, 2 toggle full screen
    event_key = 6,          ///< a: virtual-key code or mouse button 1/2/4; b: 0 down, 1 up, 2 double click
    event_char = 7,         ///< a: the typed character, one byte of the game's code page (0 to 255)
    event_wheel = 8,        ///< a: signed wheel rotation, 120 per notch, positive away from the user
    event_mouse_move = 9,   ///< a, b: the cursor in client pixels
    event_mouse_enter = 10, ///< the cursor entered the client area
    event_mouse_leave = 11, ///< the cursor left the client area
};

/// The two window commands of `event_command`.
constexpr int command_close = 1;
constexpr int command_toggle_fullscreen = 2;

/// Where a window's events go.
using MessageHandler = std::function<void(WindowMessage&)>;

}
