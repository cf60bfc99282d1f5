#pragma once

#include <cstdint>

#include "engine/base/rect.h"
#include "engine/base/service.h"
#include "engine/base/socket.h"
#include "engine/base/transform.h"
#include "engine/base/vector2.h"
#include "engine/platform/key.h"

namespace kq {

class Cursor;
class SkinPath;

/// A command of the window's own controls.
enum WindowCommand : std::int32_t
{
    window_close = 1,              ///< the close button, Alt+F4
    window_toggle_fullscreen = 2,  ///< Alt+Enter
};

/// The service "window": the game's one window, its size, its optional fixed logical (design)
/// size with the mapping between logical points and window pixels, its mode and the sockets
/// through which its input reaches the rest of the game. The host-bound part is `APIWindow`.
///
/// With a fixed logical size the logical area is fitted into the client area, centred, as
/// large as it fits keeping its shape (bars fill the rest).
class Window : public Service
{
public:
    /// Reads "fullscreen", "color_depth", "size" and "fixed" under the skin node (every key
    /// required: a missing one throws the skin's "node not found [").
    explicit Window(const SkinPath& node);

    /// Checks the display mode.
    void initialize() override;

    /// Shows the cursor over the window; null shows none.
    virtual void set_cursor(const Cursor* cursor) = 0;
    /// The cursor now, in logical coordinates (rounded half away from zero).
    virtual Vector2<int> mouse_position() = 0;
    /// Puts the cursor at a logical point.
    virtual void set_mouse_position(Vector2<int> point) = 0;
    /// Keeps the mouse's events while buttons are held outside the window.
    virtual void capture_mouse() = 0;
    /// Ends `capture_mouse`.
    virtual void release_mouse() = 0;
    /// Nothing to do on this host.
    virtual void set_keyboard_focus(bool focus) = 0;
    /// Shows or hides the window.
    virtual void show(bool show) = 0;
    /// Whether the window is shown and not minimised.
    virtual bool is_visible() = 0;
    /// Whether the window was last reported active.
    virtual bool is_active() = 0;
    /// Settles mode, size and colour depth against the display, then the mapping.
    virtual void check_display_mode() {}
    /// Puts the window into the mode.
    virtual void apply_mode() {}
    /// Remembers where the windowed window stands.
    virtual void store_window_position() {}
    /// Called after every mode change, before `on_changed`.
    virtual void on_mode_applied() {}

    /// The size the game lays out in: the logical size when fixed, else the client size.
    const Vector2<int>& size() const { return has_logical_size() ? m_logical_size : m_size; }
    /// The client area's size in pixels.
    const Vector2<int>& client_size() const { return m_size; }
    /// Whether the logical size is fixed.
    bool has_logical_size() const { return m_logical_size != Vector2<int>{-1, -1}; }
    /// Whether the window is (to be) full screen.
    bool is_fullscreen() const { return m_fullscreen; }
    /// Colour depth in bits per pixel.
    int color_depth() const { return m_color_depth; }
    /// The "max_display_frequency" setting.
    int max_display_frequency() const { return m_max_display_frequency; }
    /// Logical points to window pixels.
    const Transform& to_window_transform() const { return m_to_window; }
    /// Window pixels to logical points.
    const Transform& to_logical_transform() const { return m_to_logical; }

    /// A logical point as a window pixel, each coordinate rounded half away from zero.
    Vector2<int> to_window(Vector2<float> point) const;
    /// A window pixel as a logical point.
    Vector2<float> to_logical(Vector2<int> pixel) const;
    /// The part of the client area that shows the logical area (the whole area when not fixed).
    RectI viewport() const;

    /// Switches full screen on or off; the same value changes nothing and emits nothing.
    void set_fullscreen(bool fullscreen);
    /// Checks and applies the mode again, then emits `on_changed`.
    void reapply_mode();

    /// Window commands.
    Socket<void(WindowCommand)>& on_command() { return m_on_command; }
    /// Keys and mouse buttons.
    Socket<void(Key, KeyState)>& on_key() { return m_on_key; }
    /// Typed characters, in the game's code page.
    Socket<void(char)>& on_char() { return m_on_char; }
    /// Wheel rotation, 120 a notch.
    Socket<void(int)>& on_wheel() { return m_on_wheel; }
    /// The cursor came over the client area.
    Socket<void()>& on_mouse_enter() { return m_on_mouse_enter; }
    /// The cursor left the client area.
    Socket<void()>& on_mouse_leave() { return m_on_mouse_leave; }
    /// The cursor moved; logical point.
    Socket<void(Vector2<int>)>& on_mouse_move() { return m_on_mouse_move; }
    /// Size or mode changed.
    Socket<void()>& on_changed() { return m_on_changed; }
    /// The window was destroyed.
    Socket<void()>& on_destroy() { return m_on_destroy; }
    /// The window became active (true) or not.
    Socket<void(bool)>& on_activate() { return m_on_activate; }

protected:
    /// Computes both transforms from the sizes.
    void fit();

    Vector2<int> m_size;
    Vector2<int> m_logical_size{-1, -1};
    bool m_fullscreen = false;
    int m_color_depth = 0;
    int m_max_display_frequency = 60;
    Transform m_to_logical;
    Transform m_to_window;

private:
    Socket<void(WindowCommand)> m_on_command;
    Socket<void(Key, KeyState)> m_on_key;
    Socket<void(char)> m_on_char;
    Socket<void(int)> m_on_wheel;
    Socket<void()> m_on_mouse_enter;
    Socket<void()> m_on_mouse_leave;
    Socket<void(Vector2<int>)> m_on_mouse_move;
    Socket<void()> m_on_changed;
    Socket<void()> m_on_destroy;
    Socket<void(bool)> m_on_activate;
};

}
