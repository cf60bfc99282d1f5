#pragma once

#include <cstdint>

#include <string>
#include <vector>

#include "engine/host/window/input_state.h"
#include "engine/host/window/window_message.h"

namespace kq::host {

// The window functions of the host layer. Each needs a `VideoSystem` alive; the window ones
// need a handle that `create_window` gave and `destroy_window` has not taken back.

/// A rectangle of whole pixels; x, y is the top-left corner.
struct ClientRect
{
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    friend bool operator==(const ClientRect&, const ClientRect&) = default;
};

/// A point of whole pixels.
struct Point
{
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

/// One mode of the display.
struct DisplayMode
{
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    int frequency = 0;
};

/// Window modes: full screen covers the desktop with a borderless window (the display's own
/// mode is never changed); windowed has a caption, a close and a minimise button.
constexpr int mode_windowed = 0;
constexpr int mode_fullscreen = 1;

/// Opens a window whose client area is `rect` (in full screen: the desktop), titled with
/// `title` in the game's code page, ready for an OpenGL context, and gives its events to
/// `handler` from the pump on. Null when the system refuses.
WindowHandle create_window(const ClientRect& rect, MessageHandler handler, int mode,
                           const std::string& title);

/// Sends the window's last event (destroyed), closes it and forgets it; its events still in
/// the queue are dropped by the next pump.
void destroy_window(WindowHandle window);

/// Moves the client area to `rect` (screen pixels); a full-screen window stays as it is.
void set_client_rect(WindowHandle window, const ClientRect& rect);

/// Switches the window to the mode when its recorded mode differs.
void set_window_mode(WindowHandle window, int mode);

/// The window's recorded mode.
int window_mode(WindowHandle window);

/// The client area on the screen.
ClientRect client_rect_on_screen(WindowHandle window);

/// {0, 0, width, height} of the desktop; all 0 when the display cannot be read.
ClientRect desktop_rect();

/// The desktop's mode; all 0 when the display cannot be read.
DisplayMode current_display_mode();

/// Replaces `modes` with every mode the display offers; the desktop's mode is among them.
void display_modes(std::vector<DisplayMode>& modes);

/// Whether the cursor is over the client area, or the window has the mouse capture.
bool cursor_inside(WindowHandle window);

/// The cursor in the window's client pixels.
Point cursor_position(WindowHandle window);

/// Puts the cursor at a point of the window's client pixels.
void set_cursor_position(WindowHandle window, Point point);

/// Gives the window the mouse capture: the cursor counts as inside wherever it goes.
void set_capture(WindowHandle window);

/// Ends the mouse capture.
void release_capture();

/// Shows or hides the window.
void show_window(WindowHandle window, bool show);

/// Sets the picture the desktop shows for the window: `width` x `height` pixels of four bytes
/// each, red, green, blue, alpha, top row first. False when the system refused it.
bool set_window_icon(WindowHandle window, int width, int height, const std::uint8_t* rgba);

/// Whether the window is shown and not minimised.
bool is_window_shown(WindowHandle window);

/// Brings a shown window to the front, restoring it when minimised (what a second instance
/// of the game asks of the first).
void activate_window(WindowHandle window);

/// Shows a message with an OK button and waits for it; on standard error without a display.
void debug_message(const std::string& text);

}
